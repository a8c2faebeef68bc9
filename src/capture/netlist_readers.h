#pragma once
// The rules that find the components in the netlist and component files of other design
// tools. Each reads the file's lines (8-bit text, see vb/ansi.h) in file order and gives
// one entry per component; a field whose extraction fails stays empty.
#include <string>
#include <vector>

#include "vb/text_lines.h"

namespace capture {

struct NetlistEntry {
  std::string designator, footprint, comment;
};

// Protel 99 SE / Altium Designer: a line that is exactly "[" starts a component block of
// three lines (designator, footprint, comment), each taken whole.
struct ComponentBlock {
  size_t bracketLine;  // index of the "[" line; the fields are the three lines after it
  size_t designatorLine() const { return bracketLine + 1; }
  size_t footprintLine() const { return bracketLine + 2; }
  size_t commentLine() const { return bracketLine + 3; }
};
std::vector<ComponentBlock> componentBlocks(const vb::LineTexts& lines);
std::vector<NetlistEntry> readProtel99se(const vb::LineTexts& lines);

// OrCAD Protel2: records of 58 lines starting "DESIGNATOR", looked for only at line
// indexes 2, 60, 118, ... of the lines before the first "(" line.
std::vector<NetlistEntry> readProtel2(const vb::LineTexts& lines);

// The one-line formats (OrCAD Allegro, Mentor EE, PCAD and PADS output).
std::vector<NetlistEntry> readAllegro(const vb::LineTexts& lines);
std::vector<NetlistEntry> readMentor(const vb::LineTexts& lines);
std::vector<NetlistEntry> readPcad(const vb::LineTexts& lines);
std::vector<NetlistEntry> readPads2k(const vb::LineTexts& lines);

}  // namespace capture
