#include "capture/part_category_rules.h"

#include <array>

#include "vb/text.h"

namespace capture {

namespace {

// One way a rule holds: the designator begins with the prefix (and, where asked, ends
// in a digit).
struct PrefixTest {
  std::string_view prefix;
  bool endsInDigit = false;
};

struct PartCategoryRule {
  std::array<PrefixTest, 4> tests;  // any of them; unused entries have an empty prefix
  std::string_view category;
  std::string_view unlessBegins;  // a longer prefix that keeps its earlier category
};

const std::array<PartCategoryRule, 16> kPartCategoryRules = {{
    {{{{"R"}}}, "Resister", ""},
    {{{{"C", true}, {"E"}, {"BC"}}}, "Capacitor", ""},
    {{{{"CARD"}, {"USB"}, {"MINI"}}}, "Jack", ""},
    {{{{"CO"}, {"CN"}, {"J"}}}, "Connector", ""},
    {{{{"U", true}, {"IC"}}}, "Chip", "USB"},
    {{{{"F"}}}, "Fuse", ""},
    {{{{"FB"}}}, "FB", ""},
    {{{{"D"}, {"ZD"}, {"Z"}, {"LED"}}}, "Diode", ""},
    {{{{"L"}}}, "Inductance", "LED"},
    {{{{"Q"}}}, "Triode", ""},
    {{{{"Y"}, {"X"}}}, "Crystal", ""},
    {{{{"JP"}}}, "Jumper", ""},
    {{{{"TP"}}}, "Test", ""},
    {{{{"ANT"}}}, "Antenna", ""},
    {{{{"S"}, {"SW"}}}, "Switch", ""},
    {{{{"B"}}}, "SMT-MARK", "BC"},
}};

bool holds(const PartCategoryRule& rule, std::string_view d) {
  if (!rule.unlessBegins.empty() && vb::startsWith(d, rule.unlessBegins)) return false;
  const bool endsInDigit = !d.empty() && d.back() >= '0' && d.back() <= '9';
  for (const PrefixTest& t : rule.tests)
    if (!t.prefix.empty() && vb::startsWith(d, t.prefix) && (!t.endsInDigit || endsInDigit)) return true;
  return false;
}

}  // namespace

std::string partCategory(std::string_view designator) {
  const std::string d = vb::ucase(designator);
  std::string_view category;
  for (const PartCategoryRule& rule : kPartCategoryRules)
    if (holds(rule, d)) category = rule.category;
  return std::string(category);
}

}  // namespace capture
