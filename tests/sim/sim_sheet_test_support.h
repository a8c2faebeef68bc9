#pragma once
// A started stand-in spreadsheet with one new workbook, for the sheet tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/spreadsheet.h"
#include "sim/faults.h"
#include "sim/sim_spreadsheet.h"
#include "vb/error.h"

namespace sim_sheet_test {

namespace xl = platform::xl;
using vb::Table;
using vb::Variant;

inline Table tableOf(std::initializer_list<std::initializer_list<Variant>> rows) {
  long cols = 0;
  for (const auto& r : rows) cols = std::max(cols, static_cast<long>(r.size()));
  Table t(static_cast<long>(rows.size()), cols);
  long i = 1;
  for (const auto& r : rows) {
    long j = 1;
    for (const auto& v : r) t(i, j++) = v;
    ++i;
  }
  return t;
}

inline const Variant kNA{vb::ErrorValue{vb::kErrNA}};

class SheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    book = app->addWorkbook();
    sheet = book->sheet(1);
  }
  // Column `col` of rows r1..r2 as a one-column table.
  std::vector<Variant> column(long col, long r1, long r2) {
    std::vector<Variant> out;
    for (long r = r1; r <= r2; ++r) out.push_back(sheet->get(r, col));
    return out;
  }

  sim::Faults faults;
  platform::Files files;
  std::shared_ptr<sim::SimSpreadsheet> app = sim::makeSimSpreadsheet("Excel.Application", faults, files);
  xl::WorkbookPtr book;
  xl::SheetPtr sheet;
};

}  // namespace sim_sheet_test
