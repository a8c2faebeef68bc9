// The .xlsx and .csv readers on any bytes in a file: the first byte picks the extension,
// the rest is the file; see workbook_round_trip.h for what is checked. The .xls reader
// has a target of its own (fuzz_xls_files), since it reads in a child process, which
// costs more than the reading of most inputs here.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "workbook_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kExtensions[] = {".xlsx", ".csv"};
  const std::string ext = kExtensions[data[0] % 2];
  const std::string path = fuzz::writeFile(fuzz::scratchDir() / ("book" + ext), fuzz::bytes(data + 1, size - 1));
  fuzz::checkWorkbookFile(path, ext);
  return 0;
}
