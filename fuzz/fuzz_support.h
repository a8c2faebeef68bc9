#pragma once
// What the fuzz targets share: a broken invariant stops the run with a readable reason
// (libFuzzer then saves the input), and a private folder for the files a target writes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz {

// Control bytes of a detail are shown as \xHH.
[[noreturn]] inline void broken(const char* invariant, const std::string& detail = "") {
  std::string shown;
  for (unsigned char c : detail) {
    if (c < 0x20 && c != '\n') {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      shown += hex;
    } else {
      shown += static_cast<char>(c);
    }
  }
  std::fprintf(stderr, "invariant broken: %s\n%s\n", invariant, shown.c_str());
  std::abort();
}

#define FUZZ_CHECK(cond, detail)              \
  do {                                        \
    if (!(cond)) ::fuzz::broken(#cond, detail); \
  } while (0)

inline std::string bytes(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// A folder of this process under the system's temporary folder, made on first use.
inline const std::filesystem::path& scratchDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = std::filesystem::temp_directory_path() /
                              ("velmora-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(scratchDir(), ec);
    });
    return d;
  }();
  return dir;
}

inline std::string writeFile(const std::filesystem::path& p, std::string_view content) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out.flush()) broken("the scratch file can be written", p.string());
  return p.string();
}

}  // namespace fuzz
