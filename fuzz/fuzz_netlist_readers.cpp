// The six netlist part-list rules on any bytes, split into lines as "Create" splits a
// file: no crash or hang; a Protel 99 SE entry for exactly each "[" line that starts a
// block; every field a whole line or a part of one line of the input.
#include <cstdint>
#include <string>
#include <vector>

#include "capture/netlist_readers.h"
#include "fuzz_support.h"
#include "vb/text_lines.h"

namespace {

using capture::NetlistEntry;
using Lines = vb::LineTexts;

std::string_view lineAt(const Lines& lines, size_t i) { return i < lines.size() ? lines[i] : ""; }

void checkProtel99se(const Lines& lines) {
  const std::vector<NetlistEntry> entries = capture::readProtel99se(lines);
  const std::vector<capture::ComponentBlock> blocks = capture::componentBlocks(lines);
  FUZZ_CHECK(entries.size() == blocks.size(), "");
  // Counted here on its own: a "[" line starts a block unless it is one of the three
  // field lines of the block before.
  size_t expected = 0;
  size_t fieldsUntil = 0;  // the lines before this index belong to a block already
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i < fieldsUntil || lines[i] != "[") continue;
    FUZZ_CHECK(expected < blocks.size() && blocks[expected].bracketLine == i, "line " + std::to_string(i));
    ++expected;
    fieldsUntil = i + 4;
  }
  FUZZ_CHECK(expected == blocks.size(), "");
  for (size_t k = 0; k < entries.size(); ++k) {
    const size_t at = blocks[k].bracketLine;
    FUZZ_CHECK(entries[k].designator == lineAt(lines, at + 1), "entry " + std::to_string(k));
    FUZZ_CHECK(entries[k].footprint == lineAt(lines, at + 2), "entry " + std::to_string(k));
    FUZZ_CHECK(entries[k].comment == lineAt(lines, at + 3), "entry " + std::to_string(k));
  }
}

void checkProtel2(const Lines& lines) {
  const std::vector<NetlistEntry> entries = capture::readProtel2(lines);
  // Only the lines before the first "(" count; a record is cut there.
  size_t kept = 0;
  while (kept < lines.size() && lines[kept] != "(") ++kept;
  auto field = [&](size_t i) { return i < kept ? lines[i] : ""; };
  size_t k = 0;
  for (size_t j = 2; j < kept; j += 58) {
    if (lines[j] != "DESIGNATOR") continue;
    FUZZ_CHECK(k < entries.size(), "record at line " + std::to_string(j));
    FUZZ_CHECK(entries[k].designator == field(j + 1), "record at line " + std::to_string(j));
    FUZZ_CHECK(entries[k].footprint == field(j + 3), "record at line " + std::to_string(j));
    FUZZ_CHECK(entries[k].comment == field(j + 5), "record at line " + std::to_string(j));
    ++k;
  }
  FUZZ_CHECK(k == entries.size(), "");
}

// A one-line rule gives at most one entry per line, in file order, each field a piece
// of that line.
void checkOneLine(const char* name, const Lines& lines, const std::vector<NetlistEntry>& entries) {
  FUZZ_CHECK(entries.size() <= lines.size(), name);
  size_t line = 0;
  for (size_t k = 0; k < entries.size(); ++k, ++line) {
    const NetlistEntry& e = entries[k];
    auto holds = [&](std::string_view text) {
      return text.find(e.designator) != std::string_view::npos && text.find(e.footprint) != std::string_view::npos &&
             text.find(e.comment) != std::string_view::npos;
    };
    while (line < lines.size() && !holds(lines[line])) ++line;
    FUZZ_CHECK(line < lines.size(), std::string(name) + ": entry " + std::to_string(k) + " \"" + e.designator +
                                        "\" / \"" + e.footprint + "\" / \"" + e.comment + "\" is no piece of a line");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Lines lines = vb::splitLineTexts(fuzz::bytes(data, size));
  checkProtel99se(lines);
  checkProtel2(lines);
  checkOneLine("Allegro", lines, capture::readAllegro(lines));
  checkOneLine("Mentor", lines, capture::readMentor(lines));
  checkOneLine("PCAD", lines, capture::readPcad(lines));
  checkOneLine("PADS", lines, capture::readPads2k(lines));
  return 0;
}
