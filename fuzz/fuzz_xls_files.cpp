// The .xls reader on any bytes as the file, as the program reads one: the compound file
// rebuilt here, libfreexl reading the copy in a child process; see workbook_round_trip.h
// for what is checked.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "workbook_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::writeFile(fuzz::scratchDir() / "book.xls", fuzz::bytes(data, size));
  fuzz::checkWorkbookFile(path, ".xls");
  return 0;
}
