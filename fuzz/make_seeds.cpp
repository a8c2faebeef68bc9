// make_fuzz_seeds SEEDS: writes the seeds beyond the program's limits (beyond_limits.h)
// into the seed folders of run.sh: packages for fuzz_workbook_files, designs for
// fuzz_design_file, and sessions for fuzz_session that open these files (and a long
// .csv text), which that target puts in every run's folder.
#include <cstdio>
#include <filesystem>
#include <string>

#include "beyond_limits.h"
#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;

const char* const kSessions[][2] = {
    {"open_beyond_limits.session",
     "spreadsheet start Excel.Application\n"
     "spreadsheet open big_merge.xlsx\n"
     "spreadsheet open column_ranges.xlsx\n"
     "spreadsheet open column_ranges_stored.xlsx\n"
     "spreadsheet open long_texts.xlsx\n"
     "spreadsheet open long_text.csv\n"
     "save out\n"},
    {"create_from_long_texts.session",
     "spreadsheet start Excel.Application\n"
     "spreadsheet open long_texts.xlsx\n"
     "pick Tool.Combo1 Excel\n"
     "answer yes\n"
     "answer input \"\"\n"
     "click Tool.Command1\n"
     "expect spreadsheet visible\n"},
    {"create_from_deep_design.session",
     "spreadsheet start Excel.Application\n"
     "pads start PowerPCB.Application deep_design_256.pcb\n"
     "pick Tool.Combo1 Layout\n"
     "answer no\n"
     "answer input \"\"\n"
     "click Tool.Command1\n"
     "pads save PowerPCB.Application saved.pcb\n"
     "pads start PowerLogic.Application deep_design_256.pcb\n"
     "pads start PowerLogic.Application deep_design_257.pcb\n"},
    {"open_too_deep_designs.session",
     "pads start PowerPCB.Application deep_parts_3000.pcb\n"
     "pads start PowerLogic.Application deep_attributes_300.pcb\n"},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds SEEDS\n");
    return 2;
  }
  const fs::path seeds = argv[1];
  for (const char* dir : {"workbook", "design", "session"}) fs::create_directories(seeds / dir);
  // The packages with the byte that picks .xlsx first. The long .csv text is no seed: a
  // seed of 32 KB would let every input grow as long, and the readers of most would take
  // ten times as long; the session target opens it.
  for (const fuzz::NamedBytes& w : fuzz::beyondLimitWorkbooks())
    if (fs::path(w.name).extension() == ".xlsx") fuzz::writeFile(seeds / "workbook" / ("0-" + w.name), '\0' + w.bytes);
  for (const fuzz::NamedBytes& d : fuzz::beyondLimitDesigns()) fuzz::writeFile(seeds / "design" / d.name, d.bytes);
  for (const auto& [name, text] : kSessions) fuzz::writeFile(seeds / "session" / name, text);
  return 0;
}
