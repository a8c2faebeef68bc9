// Block writes and reads of a large part list through the spreadsheet interface, as the
// list importers and the report pipeline do them.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/workbook_helpers.h"
#include "sim/faults.h"
#include "sim/sim_spreadsheet.h"

namespace {

namespace xl = platform::xl;

constexpr long kRows = 100000;
constexpr long kCols = 13;

// Texts in the first six columns (codes, values, packages, designators), numbers after.
vb::Table partList() {
  vb::Table t(kRows, kCols);
  const char* packages[] = {"0402", "0603", "R-0805", "SOT-23", "QFN-32"};
  for (long r = 1; r <= kRows; ++r) {
    t(r, 1) = std::to_string(r);
    t(r, 2) = std::to_string(r % 97) + "K";
    t(r, 3) = packages[r % 5];
    t(r, 4) = "1";
    t(r, 5) = "R" + std::to_string(r);
    t(r, 6) = "RES";
    for (long c = 7; c <= kCols; ++c) t(r, c) = static_cast<double>(r * c) / 8.0;
  }
  return t;
}

struct Program {
  sim::Faults faults;
  platform::Files files;
  std::shared_ptr<sim::SimSpreadsheet> app = sim::makeSimSpreadsheet("Excel.Application", faults, files);
  xl::SheetPtr sheet;
  Program() {
    sheet = app->addWorkbook()->sheet(2);
    platform::textFirst(sheet->columns("A:F"));
  }
};

void BlockWrite(benchmark::State& state) {
  const vb::Table t = partList();
  std::unique_ptr<Program> p;
  for (auto _ : state) {
    state.PauseTiming();
    p = std::make_unique<Program>();  // the previous sheet is freed outside the timing
    state.ResumeTiming();
    p->sheet->cell(2, 1).resize(kRows, kCols).setValues(t);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BlockWrite)->Unit(benchmark::kMillisecond);

void BlockRead(benchmark::State& state) {
  Program p;
  p.sheet->cell(2, 1).resize(kRows, kCols).setValues(partList());
  for (auto _ : state) {
    vb::Table back = p.sheet->cell(2, 1).resize(kRows, kCols).values();
    benchmark::DoNotOptimize(back);
  }
  state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BlockRead)->Unit(benchmark::kMillisecond);

// The used range read back in one step, as the report pipeline reads sheet 2.
void UsedRangeRead(benchmark::State& state) {
  Program p;
  p.sheet->cell(1, 1).resize(kRows, kCols).setValues(partList());
  for (auto _ : state) {
    vb::Table back = p.sheet->usedRange().values();
    benchmark::DoNotOptimize(back);
  }
}
BENCHMARK(UsedRangeRead)->Unit(benchmark::kMillisecond);

// The report sort: three keys over the whole list, header row kept.
void SortThreeKeys(benchmark::State& state) {
  const vb::Table t = partList();
  std::unique_ptr<Program> p;
  xl::SortSpec sorting;
  sorting.keys = {{3, 1}, {2, 1}, {7, 2}};
  sorting.header = xl::xlYes;
  for (auto _ : state) {
    state.PauseTiming();
    p = std::make_unique<Program>();
    p->sheet->cell(1, 1).resize(kRows, kCols).setValues(t);
    state.ResumeTiming();
    p->sheet->cell(1, 1).resize(kRows, kCols).sort(sorting);
  }
}
BENCHMARK(SortThreeKeys)->Unit(benchmark::kMillisecond);

// The plain data of the workbook, as saving it takes it.
void WorkbookToData(benchmark::State& state) {
  Program p;
  p.sheet->cell(1, 1).resize(kRows, kCols).setValues(partList());
  for (auto _ : state) {
    formats::WorkbookData d = sim::toData(*p.app->activeWorkbook());
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(WorkbookToData)->Unit(benchmark::kMillisecond);

}  // namespace
