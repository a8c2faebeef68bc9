// The cost of "Create" from a generated Protel netlist: the part list alone, the change
// report with both sorts, and the whole flow to the category BOM. Each must grow no worse
// than n log n with the number of components.
#include <benchmark/benchmark.h>

#include "app/program.h"
#include "generated_netlist.h"
#include "capture/part_lists.h"
#include "normalise/change_report.h"
#include "normalise/designator_sort.h"
#include "sim/sim_programs.h"

namespace {

struct Run {
  sim::World world;
  app::Program program{world.programs, world.user, world.desktop, world.files};
  explicit Run(long n) {
    program.start();
    world.programs.runSpreadsheet("Excel.Application")->setVisible(true);
    program.tool().combo1.userType("Protel99se");
    world.user.answerFile(bench::generatedNetlist(n));
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
