// The cost of "Create" from a generated Protel netlist: the part list alone, the change
// report with both sorts, and the whole flow to the category BOM. Each must grow no worse
// than n log n with the number of components.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "app/program.h"
#include "capture/part_lists.h"
#include "normalise/change_report.h"
#include "normalise/designator_sort.h"
#include "sim/sim_programs.h"

namespace {

namespace fs = std::filesystem;

std::string netlist(long n) {
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

struct Run {
  sim::World world;
  app::Program program{world.programs, world.user, world.desktop, world.files};
  explicit Run(long n) {
    program.start();
    world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
    program.tool().combo1.userType("Protel99se");
    world.user.answerFile(netlist(n));
    world.user.answerInput("");
  }
};

void BM_NetlistPartList(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Run run(state.range(0));
    state.ResumeTiming();
    capture::listFromNetlist(run.program.tool().context(), *capture::findNetlistSource("Protel99se"));
  }
  state.SetComplexityN(state.range(0));
}

void BM_ChangeReportAndSorts(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Run run(state.range(0));
    platform::ToolContext& t = run.program.tool().context();
    capture::listFromNetlist(t, *capture::findNetlistSource("Protel99se"));
    state.ResumeTiming();
    platform::ReportFlow f{t, t.state.spreadsheetApp->activeWorkbook()};
    auto saved = normalise::writeChangeReport(f, normalise::kCreateLayout);
    normalise::sortByDesignator(f);
    normalise::sortChangeReport(f, normalise::kCreateLayout, saved);
  }
  state.SetComplexityN(state.range(0));
}

void BM_CreateWhole(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Run run(state.range(0));
    state.ResumeTiming();
    run.program.tool().create();
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_NetlistPartList)->Arg(20000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ChangeReportAndSorts)->Arg(10000)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_CreateWhole)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
