// The part categories of the "Format BOM" PADS Layout list.
#include <gtest/gtest.h>

#include <algorithm>

#include "capture/part_category_rules.h"
#include "report/part_category_order.h"

namespace {

TEST(PartCategoryRules, CategoryOfEachDesignator) {
  struct Case {
    const char* designator;
    const char* category;
  };
  const Case cases[] = {
      {"R12", "Resister"},    {"RP1", "Resister"},   {"C5", "Capacitor"},   {"E3", "Capacitor"},
      {"BC1", "Capacitor"},   {"CA", ""},            {"B1", "SMT-MARK"},    {"CN1", "Connector"},
      {"CON2", "Connector"},  {"J4", "Connector"},   {"JP1", "Jumper"},     {"CARD1", "Jack"},
      {"MINI2", "Jack"},      {"USB", "Jack"},       {"USB1", "Jack"},      {"U7", "Chip"},
      {"IC3", "Chip"},        {"U", ""},             {"F1", "Fuse"},        {"FB2", "FB"},
      {"D1", "Diode"},        {"ZD2", "Diode"},      {"Z1", "Diode"},       {"LED5", "Diode"},
      {"L3", "Inductance"},   {"Q2", "Triode"},      {"Y1", "Crystal"},     {"X2", "Crystal"},
      {"TP9", "Test"},        {"ANT1", "Antenna"},   {"S1", "Switch"},      {"SW3", "Switch"},
      {"K1", ""},             {"T1", ""},            {"M2", ""},            {"ic3", "Chip"},
      {"usb1", "Jack"},       {"bc1", "Capacitor"},  {"", ""},              {"C", ""},
  };
  for (const Case& c : cases) {
    const std::string category = capture::partCategory(c.designator);
    EXPECT_EQ(category, c.category) << c.designator;
    // Every category given is one the split BOM prints (entries 1 to 16 of its order).
    if (!category.empty()) {
      auto end = report::kPartCategoryOrder.begin() + 16;
      EXPECT_NE(std::find(report::kPartCategoryOrder.begin(), end, category), end) << category;
    }
  }
}

}  // namespace
