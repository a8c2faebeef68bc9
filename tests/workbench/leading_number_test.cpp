// LeadingNumber, the number a text starts with, as the workbench sums and numbers texts.
#include <gtest/gtest.h>

#include "workbench/leading_number.h"

namespace {

TEST(LeadingNumberTest, ReadsTheNumberAtTheStartOfAText) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {"12", 12},        {"12abc", 12},     {"", 0},           {"abc", 0},        {"Total:", 0},
      {"1,500", 1},      {" 1 2 ", 12},     {"\t-\n3.5", -3.5}, {"1.2.3", 1.2},   {"2E3x", 2000},
      {"2E", 2},         {"+.5", 0.5},      {"&H10", 16},      {"&hFFFF", -1},    {"&O17", 15},
      {"&H10000", 65536}, {"&Hx", 0},       {"& H1", 1},       {"-", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(workbench::leadingNumber(c.text), c.expected) << '"' << c.text << '"';
}

}  // namespace
