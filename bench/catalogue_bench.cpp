// The material catalogue at size: "连接数据库" of a catalogue workbook of 100,000 entries,
// "自动匹配" of 5,000 grid rows against them, through the BOM window's buttons, and the
// rebuild of the catalogue sheet from 100,000 source entries behind the code box.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/program.h"
#include "app/tool_window.h"
#include "sim/sim_programs.h"
#include "sim/sim_spreadsheet.h"
#include "workbench/bom_view.h"

namespace {

namespace xl = platform::xl;

constexpr long kEntries = 100000;
constexpr int kGridRows = 5000;
const char* const kKinds[] = {"CHIP RES", "CHIP CAP", "INDUCTOR", "LED", "IC", "DIODE"};
const char* const kPackages[] = {"0402", "0603", "0805", "1206", "SOT-23"};

// Entry k: a kind and a package in its name, a value made of k in its rating.
// With sources, sheets 2 and 3 hold the same entries in the reverse order, so every
// rebuilt row takes its columns F to J from another row.
std::string catalogueFile(bool sources = false) {
  const std::string path =
      (std::filesystem::temp_directory_path() /
       (sources ? "velmora_bench_catalogue_sources.xlsx" : "velmora_bench_catalogue.xlsx"))
          .string();
  if (std::filesystem::exists(path)) return path;
  sim::Faults faults;
  platform::Files files;
  auto maker = sim::makeSimSpreadsheet("Excel.Application", faults, files);
  auto sheet = maker->addWorkbook()->sheet(1);
  vb::Table t(kEntries, 10);
  for (long k = 1; k <= kEntries; ++k) {
    t(k, 1) = static_cast<double>(k);
    t(k, 2) = "M-" + std::to_string(100000 + k);
    t(k, 3) = std::string(kKinds[k % 6]) + " " + kPackages[k % 5];
    t(k, 4) = std::to_string(k) + (k % 3 ? "K 1%" : "nF 50V");
    t(k, 5) = "PCS";
    t(k, 8) = 0.01 * static_cast<double>(k % 100);
    t(k, 9) = "SUPPLIER " + std::to_string(k % 40);
  }
  sheet->cell(3, 1).resize(kEntries, 10).setValues(t);
  if (sources) {
    const long onSecond = kEntries * 3 / 5;
    vb::Table second(onSecond, 4), third(kEntries - onSecond, 4);
    for (long k = 1; k <= kEntries; ++k) {
      const long from = kEntries + 1 - k;
      vb::Table& to = k <= onSecond ? second : third;
      const long row = k <= onSecond ? k : k - onSecond;
      for (long c = 1; c <= 4; ++c) to(row, c) = t(from, c + 1);
    }
    maker->activeWorkbook()->sheet(2)->cell(2, 1).resize(second.rows(), 4).setValues(second);
    maker->activeWorkbook()->sheet(3)->cell(2, 1).resize(third.rows(), 4).setValues(third);
  }
  sim::saveCopyAsXlsx(*maker->activeWorkbook(), path);
  return path;
}

struct Window {
  sim::World world;
  app::Program program{world.programs, world.user, world.desktop, world.files};
  workbench::BomView* view = nullptr;
  Window() {
    world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
    program.start();
    program.dispatch([&] { program.tool().command7.userClick(); });
    view = static_cast<workbench::BomView*>(program.existing("BOM_View"));
  }
  void connect(const std::string& path) {
    world.user.answerFile(path);
    program.dispatch([&] { view->control("Command3")->userClick(); });
  }
  // Rows of a BOM: every third the value and package of one entry (matched once or a few
  // times), the others values that no entry holds, so the whole catalogue is searched.
  void fillGrid() {
    ui::ListView& grid = view->bomGrid();
    grid.clearRows();
    for (int r = 1; r <= kGridRows; ++r) {
      const std::string n = std::to_string(r);
      const long k = r * 19L;
      std::string name = std::string("R-") + kPackages[k % 5], value = "Q" + n + "K";
      if (r % 3 == 0) value = std::to_string(k) + (k % 3 ? "K 1%" : "nF 50V");
      if (r % 7 == 0) name = "RES";
      grid.addRow({n, "", name, value, "", "2", "R" + n, "", "", "", ""});
    }
  }
};

void ConnectCatalogue(benchmark::State& state) {
  const std::string path = catalogueFile();
  Window w;
  for (auto _ : state) w.connect(path);
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(ConnectCatalogue)->Unit(benchmark::kMillisecond);

void AutoMatchGrid(benchmark::State& state) {
  Window w;
  w.connect(catalogueFile());
  for (auto _ : state) {
    state.PauseTiming();
    w.fillGrid();
    state.ResumeTiming();
    w.program.dispatch([&] { w.view->control("Command6")->userClick(); });
  }
  state.SetItemsProcessed(state.iterations() * kGridRows * kEntries);
}
BENCHMARK(AutoMatchGrid)->Unit(benchmark::kMillisecond);

// Each run rebuilds the same sheet again, so every iteration does the same work.
void RebuildCatalogueSheet(benchmark::State& state) {
  const std::string path = catalogueFile(true);
  Window w;
  w.view->text5.setText("戊");
  for (auto _ : state) {
    w.world.user.answerFile(path);
    w.program.dispatch([&] { w.view->text5.userDblClick(); });
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(RebuildCatalogueSheet)->Unit(benchmark::kMillisecond);

}  // namespace
