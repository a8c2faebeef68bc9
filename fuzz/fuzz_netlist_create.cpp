// "Create" through the toolbar on any bytes as a netlist file: the first byte picks the
// format, the rest is the file the dialog chooses. Every component the format's rule
// finds is listed on sheet 2 (in any order, since the designator sort follows), and
// PartCount says how many; nothing else is reported and the program goes on.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/program.h"
#include "capture/netlist_readers.h"
#include "fuzz_support.h"
#include "sim/sim_programs.h"
#include "vb/convert.h"
#include "vb/text_lines.h"

namespace {

using Reader = std::vector<capture::NetlistEntry> (*)(const vb::LineTexts&);

struct Format {
  const char* source;
  Reader read;
};
const Format kFormats[] = {
    {"Protel99se", capture::readProtel99se}, {"Protel2.dll", capture::readProtel2},
    {"Allegro.dll", capture::readAllegro},   {"Mentor.dll", capture::readMentor},
    {"Pcad.dll", capture::readPcad},         {"Pads2k.dll", capture::readPads2k},
};

using Row = std::tuple<std::string, std::string, std::string>;  // designator, footprint, comment

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Format& format = kFormats[data[0] % std::size(kFormats)];
  const std::string bytes = fuzz::bytes(data + 1, size - 1);
  const std::string path = fuzz::writeFile(fuzz::scratchDir() / "netlist.net", bytes);

  sim::World world;
  world.desktop.setProgramFolder(fuzz::scratchDir().string());
  app::Program program(world.programs, world.user, world.desktop, world.files);
  program.start();
  auto excel = world.programs.runSpreadsheet("Excel.Application");
  excel->setVisible(true);
  app::ToolWindow& tool = program.tool();
  program.dispatch([&] { tool.combo1.userType(format.source); });
  world.user.answerFile(path);
  world.user.answerInput("");
  program.dispatch([&] { tool.command1.userClick(); });

  FUZZ_CHECK(!program.ended(), format.source);
  std::string shown;
  for (const auto& m : world.user.messages()) shown += m.text + "\n";
  FUZZ_CHECK(world.user.messages().empty(), std::string(format.source) + ": " + shown);

  const std::vector<capture::NetlistEntry> entries = format.read(vb::splitLineTexts(bytes));
  const long n = static_cast<long>(entries.size());
  FUZZ_CHECK(tool.toolState().partCount == n,
             std::string(format.source) + ": PartCount " + std::to_string(tool.toolState().partCount) +
                 ", entries " + std::to_string(n));
  FUZZ_CHECK(excel->activeWorkbook() != nullptr, format.source);
  auto list = excel->activeWorkbook()->sheet(2);
  std::vector<Row> expected, listed;
  for (const auto& e : entries) expected.emplace_back(e.designator, e.footprint, e.comment);
  for (long r = 2; r <= n + 1; ++r)
    listed.emplace_back(vb::toText(list->get(r, 5)), vb::toText(list->get(r, 3)), vb::toText(list->get(r, 2)));
  FUZZ_CHECK(vb::toText(list->get(n + 2, 5)).empty(), format.source);
  std::sort(expected.begin(), expected.end());
  std::sort(listed.begin(), listed.end());
  if (expected != listed) {
    auto [a, b] = std::mismatch(expected.begin(), expected.end(), listed.begin());
    std::string detail = std::string(format.source) + ": entry \"" + std::get<0>(*a) + "\" / \"" + std::get<1>(*a) +
                         "\" / \"" + std::get<2>(*a) + "\" is listed as \"" + std::get<0>(*b) + "\" / \"" +
                         std::get<1>(*b) + "\" / \"" + std::get<2>(*b) + "\"";
    fuzz::broken("every entry is on sheet 2", detail);
  }
  return 0;
}
