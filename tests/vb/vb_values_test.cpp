// Tables of values and the skip-on-error failure mode.
#include <gtest/gtest.h>

#include <string>

#include "vb/convert.h"
#include "vb/error.h"
#include "vb/variant.h"
#include "vb/raised.h"

namespace {

using vb::Variant;
using vbtest::raised;

TEST(VbTable, PositionsOutsideAreError9) {
  vb::Table t(2, 3);
  const vb::Table& ct = t;
  const struct {
    long r, c;
    int error;
  } cases[] = {{1, 1, 0}, {2, 3, 0}, {0, 1, 9}, {1, 0, 9}, {3, 1, 9}, {1, 4, 9}, {-1, -1, 9}, {2, 4, 9}};
  for (const auto& c : cases) {
    EXPECT_EQ(raised([&] { t.at(c.r, c.c); }), c.error) << c.r << "," << c.c;
    EXPECT_EQ(raised([&] { ct.at(c.r, c.c); }), c.error) << c.r << "," << c.c;
  }
  EXPECT_EQ(raised([] { vb::Table(-1, 2); }), vb::kSubscript);
  EXPECT_TRUE(vb::Table(0, 5).empty());
}

TEST(VbTable, ResizeKeepsTheValuesThatFit) {
  vb::Table t(3, 3);
  for (long r = 1; r <= 3; ++r)
    for (long c = 1; c <= 3; ++c) t.at(r, c) = r * 10 + c;
  t.resize(4, 2);
  EXPECT_EQ(t.rows(), 4);
  EXPECT_EQ(t.cols(), 2);
  for (long r = 1; r <= 3; ++r)
    for (long c = 1; c <= 2; ++c) EXPECT_EQ(t.at(r, c), Variant(r * 10 + c)) << r << "," << c;
  EXPECT_TRUE(t.at(4, 1).isEmpty());
  EXPECT_EQ(raised([&] { t.at(1, 3); }), vb::kSubscript);
  t.resize(4, 5);
  EXPECT_EQ(t.at(3, 2), Variant(32));
  EXPECT_TRUE(t.at(3, 5).isEmpty());
  EXPECT_EQ(raised([&] { t.resize(2, -1); }), vb::kSubscript);
  EXPECT_EQ(t.at(3, 2), Variant(32)) << "a failed resize changes nothing";
  t.resize(0, 0);
  EXPECT_TRUE(t.empty());
}

TEST(VbSkipOnError, AFailingStepIsSkippedAndItsNumberKept) {
  vb::SkipOnError guard;
  std::string trail;
  EXPECT_TRUE(guard.step([&] { trail += "a"; }));
  EXPECT_EQ(guard.number(), 0);
  EXPECT_FALSE(guard.step([&] {
    vb::raise(vb::kCannotCreate);
    trail += "never";
  }));
  EXPECT_EQ(guard.number(), vb::kCannotCreate);
  EXPECT_EQ(guard.description(), vb::describe(vb::kCannotCreate));
  EXPECT_TRUE(guard.step([&] { trail += "b"; }));
  EXPECT_EQ(guard.number(), vb::kCannotCreate) << "a later step that works leaves the number";
  EXPECT_FALSE(guard.step([] { vb::raise(vb::kAppDefined, "Open failed"); }));
  EXPECT_EQ(guard.number(), vb::kAppDefined);
  EXPECT_EQ(guard.description(), "Open failed");
  guard.clear();
  EXPECT_EQ(guard.number(), 0);
  EXPECT_EQ(trail, "ab");
}

TEST(VbSkipOnError, ProgramEndPassesThrough) {
  vb::SkipOnError guard;
  EXPECT_THROW(guard.step([] { throw vb::ProgramEnd(); }), vb::ProgramEnd);
  EXPECT_THROW(guard.value([]() -> int { throw vb::ProgramEnd(); }, 0), vb::ProgramEnd);
  EXPECT_EQ(guard.number(), 0);
}

// Answers to a question for a 16-bit count: an unusable answer keeps the count it had.
TEST(VbSkipOnError, FailedConversionKeepsThePreviousValue) {
  const struct {
    const char* answer;
    int16_t count;
    int error;
  } answers[] = {
      {"2", 2, 0},       {"2.5", 2, 0},  {"3.5", 4, 0},     {"abc", 4, vb::kTypeMismatch},
      {"", 4, vb::kTypeMismatch},        {"40000", 4, vb::kOverflow},
      {" 1 ", 1, 0},     {"-32768", -32768, 0},             {"32768", -32768, vb::kOverflow},
  };
  int16_t count = 0;
  for (const auto& a : answers) {
    vb::SkipOnError guard;
    count = guard.value([&] { return vb::toInteger(a.answer); }, count);
    EXPECT_EQ(count, a.count) << '"' << a.answer << '"';
    EXPECT_EQ(guard.number(), a.error) << '"' << a.answer << '"';
  }
}

}  // namespace
