// "Compare" of a BOM of n designators with a PADS Layout design of n parts, the duplicate
// checks, the alignment and the marks included. Every tenth part differs in value and the
// design lists its parts in another order than the BOM, so the sheet is rebuilt in full.
// It must grow no worse than n log n.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/program.h"
#include "sim/sim_programs.h"

namespace {

// A design file of n parts R1 ... Rn, listed from the last to the first.
std::string generatedDesign(long n) {
  namespace fs = std::filesystem;
  fs::path p = fs::temp_directory_path() / ("velmora-bench-compare-" + std::to_string(n) + ".pcb");
  if (fs::exists(p)) return p.string();
  std::ofstream out(p, std::ios::binary);
  out << R"({"name": "bench.pcb", "parts": [)";
  for (long i = n; i >= 1; --i) {
    out << R"({"name": "R)" << i << R"(", "decal": "R0603", "attributes": {"Value": ")" << (i % 10 == 0 ? "4K7" : "10K")
        << "\"}}" << (i > 1 ? "," : "");
  }
  out << "]}";
  return p.string();
}

struct Run {
  sim::World world;
  app::Program program{world.programs, world.user, world.desktop, world.files};
  explicit Run(long n) {
    program.start();
    auto excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
    auto book = excel->addWorkbook();
    // Sheet 1: BOM lines of ten designators each.
    const long lines = n / 10;
    vb::Table bom(lines + 1, 5);
    bom(1, 1) = "No";
    for (long l = 1; l <= lines; ++l) {
      std::string list;
      for (long k = 1; k <= 10; ++k) list += (k > 1 ? "," : "") + ("R" + std::to_string((l - 1) * 10 + k));
      bom(l + 1, 1) = static_cast<double>(l);
      bom(l + 1, 2) = "10K";
      bom(l + 1, 3) = "R0603";
      bom(l + 1, 5) = list;
    }
    book->sheet(1)->range("A1").resize(lines + 1, 5).setValues(bom);
    world.programs.runPads("PowerPCB.Application")->openDocument(generatedDesign(n));
    program.tool().combo1.userType("Layout");
  }
};

void BM_Compare(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Run run(state.range(0));
    state.ResumeTiming();
    run.program.dispatch([&] { run.program.tool().compare.userClick(); });
    if (run.world.user.messages().empty() ||
        run.world.user.messages().back().text != "对比结束!!!\n不同项目已经用红色标示!")
      state.SkipWithError("the comparison did not finish");
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK(BM_Compare)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
