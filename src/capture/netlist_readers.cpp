#include "capture/netlist_readers.h"

#include "vb/error.h"
#include "vb/text.h"

namespace capture {

namespace {

// Positions (from 1, 0 when absent) of the characters the one-line rules cut at.
struct Marks {
  long L, fb, lb, fc, lc, fx, fd;
  explicit Marks(std::string_view s)
      : L(vb::len(s)),
        fb(vb::instr(s, " ")),
        lb(vb::instrRev(s, " ")),
        fc(vb::instr(s, ",")),
        lc(vb::instrRev(s, ",")),
        fx(vb::instr(s, "!")),
        fd(vb::instr(s, ".")) {}
};

// The extractions of the rules; a negative length fails, and the field stays empty.
std::string leftPart(std::string_view s, long n) { return n < 0 ? "" : vb::left(s, n); }
std::string rightPart(std::string_view s, long n) { return n < 0 ? "" : vb::right(s, n); }
std::string midPart(std::string_view s, long from, long n) { return n < 0 || from < 1 ? "" : vb::mid(s, from, n); }

std::string lineAt(const vb::LineTexts& lines, size_t i) { return std::string(i < lines.size() ? lines[i] : ""); }

}  // namespace

std::vector<ComponentBlock> componentBlocks(const vb::LineTexts& lines) {
  std::vector<ComponentBlock> blocks;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != "[") continue;
    blocks.push_back({i});
    i += 3;  // the block's three lines are taken whole, whatever they hold
  }
  return blocks;
}

std::vector<NetlistEntry> readProtel99se(const vb::LineTexts& lines) {
  const std::vector<ComponentBlock> blocks = componentBlocks(lines);
  std::vector<NetlistEntry> out;
  out.reserve(blocks.size());
  for (const ComponentBlock& b : blocks)
    out.push_back({lineAt(lines, b.designatorLine()), lineAt(lines, b.footprintLine()), lineAt(lines, b.commentLine())});
  return out;
}

std::vector<NetlistEntry> readProtel2(const vb::LineTexts& lines) {
  size_t kept = 0;
  while (kept < lines.size() && lines[kept] != "(") ++kept;
  std::vector<NetlistEntry> out;
  for (size_t j = 2; j < kept; j += 58) {
    if (lines[j] != "DESIGNATOR") continue;
    auto field = [&](size_t k) { return std::string(j + k < kept ? lines[j + k] : ""); };
    out.push_back({field(1), field(3), field(5)});
  }
  return out;
}

std::vector<NetlistEntry> readAllegro(const vb::LineTexts& lines) {
  std::vector<NetlistEntry> out;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view s = lines[i];
    if (vb::contains(s, "$NETS")) break;
    if (vb::contains(s, "$PACKAGES")) continue;
    Marks m(s);
    out.push_back({rightPart(s, m.L - m.lb), leftPart(s, m.fc - 1), midPart(s, m.fc + 1, m.fx - m.lc - 1)});
  }
  return out;
}

std::vector<NetlistEntry> readMentor(const vb::LineTexts& lines) {
  std::vector<NetlistEntry> out;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string s = vb::trim(lines[i]);
    if (s.empty()) break;
    if (vb::contains(s, "# ")) continue;
    Marks m(s);
    out.push_back({leftPart(s, m.fb - 1), midPart(s, m.lb + 1, m.fc - m.lb - 1), rightPart(s, m.L - m.lc)});
  }
  return out;
}

std::vector<NetlistEntry> readPcad(const vb::LineTexts& lines) {
  std::vector<NetlistEntry> out;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view s = lines[i];
    if (!vb::contains(s, "{I")) continue;
    Marks m(s);
    out.push_back({rightPart(s, m.L - m.lb), midPart(s, m.fb + 1, m.fc - m.fb - 1),
                   midPart(s, m.fc + 1, m.fd - m.lc - 1)});
  }
  return out;
}

std::vector<NetlistEntry> readPads2k(const vb::LineTexts& lines) {
  std::vector<NetlistEntry> out;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view s = lines[i];
    if (s.empty()) break;
    if (vb::contains(s, "*PA")) continue;
    Marks m(s);
    out.push_back({leftPart(s, m.fb - 1), midPart(s, m.lb + 1, m.fc - m.lb - 1), rightPart(s, m.L - m.fc)});
  }
  return out;
}

}  // namespace capture
