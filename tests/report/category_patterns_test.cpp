// The category passes of the category BOM and which category claims a designator.
#include <gtest/gtest.h>

#include "report/category_patterns.h"
#include "vb/text.h"

namespace {

using report::categoryPasses;

// The name of the first pass that claims the designator (tested upper-cased), "" for none.
std::string categoryOf(const std::string& designator, int prefixCount) {
  auto passes = categoryPasses(prefixCount);
  int i = report::firstClaimingPass(vb::ucase(designator), passes);
  return i < 0 ? "" : passes[static_cast<size_t>(i)].name;
}

TEST(CategoryPatterns, FirstClaimingCategory) {
  struct Case {
    const char* designator;
    int prefixCount;
    const char* category;
  };
  const Case cases[] = {
      // Floating patterns: letters anywhere after the start.
      {"IR1", 0, "Resister"},  // *R[0-9]* comes before Triode
      {"CR1", 0, "Resister"},
      {"1U5", 0, "Chip"},
      {"RP1", 0, "VOL"},  // R[!P] leaves RP alone
      {"u7", 0, "Chip"},
      {"R12", 0, "Resister"},
      {"C5", 0, "Capacitor"},
      {"LED3", 0, "Diode"},
      {"X1", 0, "Crystal"},
      {"2X1", 0, "Unknow"},  // X[0-9]* stays anchored
      {"模块2", 0, "Chip"},
      {"J1", 0, "Jumper"},
      {"ABC", 0, "Unknow"},
      {"", 0, ""},  // a claimed (empty) designator: not even Unknow
      {"IR1", -1, "Resister"},
      // Anchored patterns and board passes.
      {"IR1", 1, "Triode"},
      {"CR1", 1, "Unknow"},
      {"1U5", 1, "Chip-1"},
      {"2U5", 1, "Unknow"},
      {"2U5", 2, "Chip-2"},
      {"1VR2", 1, "VOL1"},
      {"1R5", 1, "Resister-1"},
      {"1RP5", 1, "VOL1"},
      {"LEDA", 1, "Diode"},
      {"1LED3", 1, "Diode-1"},
      {"1LEDA", 1, "Unknow"},  // the board pass wants digits after LED
      {"12U5", 12, "Chip-12"},
      {"U5", 3, "Chip"},
      {"", 1, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(categoryOf(c.designator, c.prefixCount), c.category) << c.designator << " / " << c.prefixCount;
}

TEST(CategoryPatterns, PassesInOrder) {
  auto none = categoryPasses(0);
  ASSERT_EQ(none.size(), 17u);
  EXPECT_EQ(none[0].name, "Chip");
  EXPECT_EQ(none[0].patterns, (std::vector<std::string>{"*U[0-9]*", "*IC[0-9]*", "*模块*"}));
  EXPECT_EQ(none[15].name, "Unknow");
  EXPECT_EQ(none[15].patterns, (std::vector<std::string>{"?*"}));
  EXPECT_EQ(none[16].name, "Total:");
  EXPECT_TRUE(none[16].patterns.empty());

  auto two = categoryPasses(2);
  ASSERT_EQ(two.size(), 17u + 2 * 15u);
  EXPECT_EQ(two[0].patterns, (std::vector<std::string>{"U[0-9]*", "IC[0-9]*", "模块*"}));
  std::vector<std::string> names;
  for (size_t i = 30; i < 45; ++i) names.push_back(two[i].name);
  EXPECT_EQ(names, (std::vector<std::string>{"Chip-2", "Resister-2", "Connector-2", "Capacitor-2", "Inductance-2",
                                             "Diode-2", "Triode-2", "Crystal-2", "Antenna-2", "Switch-2", "KEY-2",
                                             "VOL2", "Fuse-2", "Jack-2", "Jumper-2"}));
  EXPECT_EQ(two[20].patterns, (std::vector<std::string>{"1D[0-9]*", "1ZD[0-9]*", "1LED[0-9]*"}));
  EXPECT_EQ(two[42].patterns, (std::vector<std::string>{"2FB*"}));
  EXPECT_EQ(two[45].name, "Unknow");
  EXPECT_EQ(two[46].name, "Total:");
}

TEST(CategoryPatterns, MatchesCategory) {
  EXPECT_TRUE(report::matchesCategory("R5", {"C[0-9]*", "R[0-9]*"}));
  EXPECT_FALSE(report::matchesCategory("r5", {"R[0-9]*"}));  // the caller upper-cases
  EXPECT_FALSE(report::matchesCategory("R5", {}));
  EXPECT_FALSE(report::matchesCategory("", {"*"}));
}

}  // namespace
