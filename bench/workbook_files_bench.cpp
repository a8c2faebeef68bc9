// The workbook files of "Create": the whole command with the save of its workbook, the
// save alone, the open of the saved workbook, and, for comparison in the same run,
// libxlsxwriter writing the same cells (in its default mode and in its constant-memory
// mode). At 10,000 and 100,000 components of a generated Protel 99 SE netlist.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <unordered_map>

#include "app/program.h"
#include "formats/workbook_files.h"
#include "generated_netlist.h"
#include "sim/sim_programs.h"
#include "sim/sim_spreadsheet.h"

namespace {

namespace fs = std::filesystem;
namespace xl = platform::xl;

fs::path benchDir() {
  fs::path d = fs::temp_directory_path() / "velmora-bench-files";
  fs::create_directories(d);
  return d;
}

// "Create" played through the toolbar, leaving its workbook open.
struct Created {
  sim::World world;
  app::Program program{world.programs, world.user, world.desktop, world.files};
  std::shared_ptr<sim::SimSpreadsheet> excel;
  explicit Created(long n) {
    program.start();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    program.tool().combo1.userType("Protel99se");
    world.user.answerFile(bench::generatedNetlist(n));
    world.user.answerInput("");
    program.dispatch([this] { program.tool().command1.userClick(); });
    // "Create" ends without a word; a message is a failure, and a figure of it no figure.
    if (!world.user.messages().empty()) throw std::runtime_error("Create failed: " + world.user.messages()[0].text);
  }
  xl::Workbook& book() { return *excel->activeWorkbook(); }
};

std::string savedPath(long n) { return (benchDir() / ("created-" + std::to_string(n) + ".xlsx")).string(); }

void BM_CreateWithSave(benchmark::State& state) {
  for (auto _ : state) {
    Created run(state.range(0));
    sim::saveCopyAsXlsx(run.book(), savedPath(state.range(0)));
  }
  state.SetComplexityN(state.range(0));
}

void BM_Save(benchmark::State& state) {
  Created run(state.range(0));
  for (auto _ : state) sim::saveCopyAsXlsx(run.book(), savedPath(state.range(0)));
  state.SetComplexityN(state.range(0));
}

void BM_Open(benchmark::State& state) {
  {
    Created run(state.range(0));
    sim::saveCopyAsXlsx(run.book(), savedPath(state.range(0)));
  }
  for (auto _ : state) {
    sim::World world;
    auto excel = world.programs.runSpreadsheet("Excel.Application");
    benchmark::DoNotOptimize(excel->open(savedPath(state.range(0))));
  }
  state.SetComplexityN(state.range(0));
}

// The same cells with libxlsxwriter, from the workbook as plain data (not timed).
void writeWithLibxlsxwriter(const formats::WorkbookData& data, const std::string& path, bool constantMemory) {
  lxw_workbook_options options{};
  options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
  lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
  struct Hash {
    size_t operator()(const xl::Style& s) const { return formats::StyleHash()(s); }
  };
  std::unordered_map<xl::Style, lxw_format*, Hash> formats;
  auto formatOf = [&](const xl::Style& s) -> lxw_format* {
    if (s == xl::Style{}) return nullptr;
    auto [it, added] = formats.emplace(s, nullptr);
    if (!added) return it->second;
    lxw_format* f = workbook_add_format(wb);
    if (s.numberFormat != "General") format_set_num_format(f, s.numberFormat.c_str());
    if (s.bold) format_set_bold(f);
    if (s.fontSize != 11) format_set_font_size(f, s.fontSize);
    if (s.fill != xl::kNoFill) {
      format_set_pattern(f, LXW_PATTERN_SOLID);
      format_set_bg_color(f, static_cast<lxw_color_t>(s.fill));
    }
    if (s.wrap) format_set_text_wrap(f);
    if (s.left.lineStyle) format_set_border(f, LXW_BORDER_THIN);
    return it->second = f;
  };
  for (const formats::SheetData& sheet : data.sheets) {
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.name.c_str());
    std::vector<const formats::CellData*> cells;
    for (const auto& c : sheet.cells) cells.push_back(&c);
    std::stable_sort(cells.begin(), cells.end(), [](auto* a, auto* b) {
      return std::pair(a->row, a->col) < std::pair(b->row, b->col);
    });
    for (const formats::CellData* c : cells) {
      const auto row = static_cast<lxw_row_t>(c->row - 1);
      const auto col = static_cast<lxw_col_t>(c->col - 1);
      lxw_format* f = formatOf(c->style);
      if (c->value.isNumber()) worksheet_write_number(ws, row, col, c->value.number(), f);
      else if (c->value.isText() && !c->value.text().empty())
        worksheet_write_string(ws, row, col, c->value.text().c_str(), f);
      else if (f) worksheet_write_blank(ws, row, col, f);
    }
  }
  workbook_close(wb);
}

void libxlsxwriterSave(benchmark::State& state, bool constantMemory) {
  formats::WorkbookData data;
  {
    Created run(state.range(0));
    data = sim::toData(run.book());
  }
  const std::string path = (benchDir() / "libxlsxwriter.xlsx").string();
  for (auto _ : state) writeWithLibxlsxwriter(data, path, constantMemory);
  state.SetComplexityN(state.range(0));
}

void BM_LibxlsxwriterSave(benchmark::State& state) { libxlsxwriterSave(state, false); }
void BM_LibxlsxwriterConstantMemorySave(benchmark::State& state) { libxlsxwriterSave(state, true); }

BENCHMARK(BM_CreateWithSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Save)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Open)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LibxlsxwriterSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_LibxlsxwriterConstantMemorySave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
