#pragma once
// A Protel 99 SE netlist of n components, made once in the temporary folder: values such as
// "10K", "104" and "100nF", packages such as "0603", designators R1, R2, C3, ...
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

inline std::string generatedNetlist(long n) {
  namespace fs = std::filesystem;
  fs::path p = fs::temp_directory_path() / ("velmora-bench-" + std::to_string(n) + ".net");
  if (fs::exists(p)) return p.string();
  const char* values[] = {"10K", "4K7", "104", "100nF", "10UF/16V", "1K", "22P", "LM358", "10UH", "1N4148"};
  const char* prefixes[] = {"R", "R", "C", "C", "C", "R", "C", "U", "L", "D"};
  std::ofstream out(p, std::ios::binary);
  for (long i = 0; i < n; ++i) {
    int k = static_cast<int>(i % 10);
    out << "[\r\n" << prefixes[k] << (i + 1) << "\r\n" << (k < 7 ? "0603" : "SOIC8") << "\r\n" << values[k]
        << "\r\n\r\n\r\n\r\n]\r\n";
  }
  return p.string();
}

}  // namespace bench
