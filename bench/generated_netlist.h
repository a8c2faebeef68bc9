#pragma once
// A Protel 99 SE netlist of n components, made once in the temporary folder: values such as
// "10K", "104" and "100nF" in 40 variants each ("10K_0" ... "10K_39"), packages such as
// "0603", designators R1, R2, C3, ... With 400 distinct values, a line of the category BOM
// joins n / 400 designators, well within what a cell holds at 100,000 components.
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

inline std::string generatedNetlist(long n) {
  namespace fs = std::filesystem;
  fs::path p = fs::temp_directory_path() / ("velmora-bench-varied-" + std::to_string(n) + ".net");
  if (fs::exists(p)) return p.string();
  const char* values[] = {"10K", "4K7", "104", "100nF", "10UF/16V", "1K", "22P", "LM358", "10UH", "1N4148"};
  const char* prefixes[] = {"R", "R", "C", "C", "C", "R", "C", "U", "L", "D"};
  std::ofstream out(p, std::ios::binary);
  for (long i = 0; i < n; ++i) {
    int k = static_cast<int>(i % 10);
    out << "[\r\n" << prefixes[k] << (i + 1) << "\r\n" << (k < 7 ? "0603" : "SOIC8") << "\r\n" << values[k] << "_"
        << (i / 10) % 40 << "\r\n\r\n\r\n\r\n]\r\n";
  }
  return p.string();
}

}  // namespace bench
