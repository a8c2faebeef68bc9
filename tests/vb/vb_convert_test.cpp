// Whole numbers, number texts and number parsing as the original runtime does them.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "vb/convert.h"
#include "vb/error.h"
#include "vb/variant.h"
#include "vb/raised.h"

namespace {

using vb::Variant;
using vbtest::raised;

struct WholeCase {
  Variant in;
  long value;  // the expected result when error is 0
  int error;
};

std::string show(const Variant& v) {
  if (v.isText()) return "\"" + v.text() + "\"";
  return vb::toText(v) + (v.isEmpty() ? "<Empty>" : "");
}

// Cases where 16-bit and 32-bit conversion agree.
const WholeCase kWholeCases[] = {
    {"2", 2, 0},
    {"2.5", 2, 0},  // halves go to the even neighbour
    {"3.5", 4, 0},
    {"-2.5", -2, 0},
    {"-3.5", -4, 0},
    {"0.5", 0, 0},
    {".5", 0, 0},
    {"1.5", 2, 0},
    {"2.4999", 2, 0},
    {" 7 ", 7, 0},
    {"\t7", 7, 0},
    {"+5", 5, 0},
    {"7.", 7, 0},
    {"1e3", 1000, 0},
    {"2.5E1", 25, 0},
    {"-32768", -32768, 0},
    {"abc", 0, vb::kTypeMismatch},
    {"", 0, vb::kTypeMismatch},
    {" ", 0, vb::kTypeMismatch},
    {"12abc", 0, vb::kTypeMismatch},
    {"1 2", 0, vb::kTypeMismatch},
    {"1e", 0, vb::kTypeMismatch},
    {".", 0, vb::kTypeMismatch},
    {"-", 0, vb::kTypeMismatch},
    {"0x10", 0, vb::kTypeMismatch},
    {"inf", 0, vb::kTypeMismatch},
    {"1e400", 0, vb::kOverflow},  // a number, but too large for any type
    {Variant(), 0, 0},
    {true, -1, 0},
    {false, 0, 0},
    {2.5, 2, 0},
    {-1.5, -2, 0},
    {1234, 1234, 0},
    {vb::ErrorValue{}, 0, vb::kTypeMismatch},
};

TEST(VbWholeNumbers, SixteenAndThirtyTwoBitAgreeInRange) {
  for (const auto& c : kWholeCases) {
    SCOPED_TRACE(show(c.in));
    EXPECT_EQ(raised([&] { vb::toInteger(c.in); }), c.error);
    EXPECT_EQ(raised([&] { vb::toLong(c.in); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(vb::toInteger(c.in), c.value);
      EXPECT_EQ(vb::toLong(c.in), c.value);
    }
  }
}

TEST(VbWholeNumbers, RangeLimits) {
  const WholeCase integerCases[] = {
      {"40000", 0, vb::kOverflow},   {32768, 0, vb::kOverflow},   {32767, 32767, 0},
      {-32768, -32768, 0},           {-32769, 0, vb::kOverflow},  {32767.5, 0, vb::kOverflow},
      {-32768.5, -32768, 0},         {32767.4, 32767, 0},         {"-40000", 0, vb::kOverflow},
  };
  for (const auto& c : integerCases) {
    SCOPED_TRACE("toInteger " + show(c.in));
    EXPECT_EQ(raised([&] { vb::toInteger(c.in); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(vb::toInteger(c.in), c.value);
    }
  }
  const WholeCase longCases[] = {
      {"40000", 40000, 0},
      {32768, 32768, 0},
      {2147483647.0, 2147483647L, 0},
      {-2147483648.0, -2147483647L - 1, 0},
      {2147483647.5, 0, vb::kOverflow},
      {2147483648.0, 0, vb::kOverflow},
      {"-2147483649", 0, vb::kOverflow},
      {1e300, 0, vb::kOverflow},
  };
  for (const auto& c : longCases) {
    SCOPED_TRACE("toLong " + show(c.in));
    EXPECT_EQ(raised([&] { vb::toLong(c.in); }), c.error);
    if (c.error == 0) {
      EXPECT_EQ(vb::toLong(c.in), c.value);
    }
  }
}

TEST(VbWholeNumbers, RoundHalfEven) {
  const struct {
    double in, out;
  } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.6, 3}, {-2.4, -2}, {1e15 + 0.5, 1e15}};
  for (const auto& c : cases) EXPECT_EQ(vb::roundHalfEven(c.in), c.out) << c.in;
}

TEST(VbNumberText, AsTheOriginalPrintsNumbers) {
  const struct {
    double in;
    const char* out;
  } cases[] = {
      {0.1 + 0.2, "0.3"},
      {47 * 0.1, "4.7"},
      {10 * 10, "100"},
      {0, "0"},
      {-0.0, "0"},
      {2.5, "2.5"},
      {-12.345, "-12.345"},
      {1e15, "1E+15"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E+15"},
      {1e100, "1E+100"},
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {1e-5, "1E-05"},
      {-1e-5, "-1E-05"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {100000, "100000"},
      {1e6 * 4.7, "4700000"},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::numberText(c.in), c.out) << c.in;
}

TEST(VbNumberText, TextOfValues) {
  const struct {
    Variant in;
    const char* out;
  } cases[] = {
      {Variant(), ""},    {true, "True"},  {false, "False"}, {0.1 * 3, "0.3"},
      {" 10K ", " 10K "}, {-32768, "-32768"}, {vb::ErrorValue{vb::kErrNA}, "Error 2042"},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::toText(c.in), c.out);
}

TEST(VbVal, LeadingNumberOfText) {
  const struct {
    const char* in;
    double out;
  } cases[] = {
      {"16V", 16},     {"1.2.3", 1.2}, {"", 0},       {"  5pcs", 5},  {"-3x", -3},   {".5", 0.5},
      {"abc", 0},      {"1/4W", 1},    {"4K7", 4},    {"0603", 603},  {"1e3", 1000}, {"1E-2F", 0.01},
      {"2e", 2},       {"3e+", 3},     {"+7", 7},     {"-", 0},       {".", 0},      {"-.25", -0.25},
      {"\t8", 8},      {"10%", 10},    {"4.70", 4.7}, {"x5", 0},      {"-0", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::val(c.in), c.out) << '"' << c.in << '"';
  EXPECT_FALSE(std::signbit(vb::val("-0"))) << "no negative zero";
  EXPECT_EQ(raised([] { vb::val("1e400"); }), vb::kOverflow);
}

TEST(VbParseNumber, WholeTextMustBeANumber) {
  const struct {
    const char* in;
    std::optional<double> out;
  } cases[] = {
      {"12", 12},          {" 12 ", 12},        {"-0.5", -0.5},       {"1e3", 1000},
      {"1.5E-3", 0.0015},  {".5", 0.5},         {"5.", 5},            {"+3", 3},
      {"0402", 402},       {"", std::nullopt},  {"  ", std::nullopt}, {"16V", std::nullopt},
      {"1.2.3", std::nullopt}, {"1/4", std::nullopt}, {"1 2", std::nullopt}, {"e5", std::nullopt},
      {"1e", std::nullopt}, {"nan", std::nullopt}, {"0x1A", std::nullopt}, {"1e999", std::nullopt},
      {"--1", std::nullopt}, {"1,5", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::parseNumber(c.in), c.out) << '"' << c.in << '"';
  ASSERT_TRUE(vb::parseNumber("-0"));
  EXPECT_FALSE(std::signbit(*vb::parseNumber("-0")));
}

TEST(VbParseNumber, NumericValues) {
  const struct {
    Variant in;
    bool numeric;
  } cases[] = {
      {12.5, true},  {Variant(), true}, {" 7 ", true},  {"1e3", true},
      {true, true},  {"abc", false},    {"", false},    {"10K", false},
      {vb::ErrorValue{}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(vb::isNumeric(c.in), c.numeric) << show(c.in);
}

TEST(VbFixedText, DecimalsRoundedAsTheOriginalFormats) {
  const struct {
    double in;
    int decimals;
    const char* out;
  } cases[] = {
      {12.5, 3, "12.500"},
      {0, 3, "0.000"},
      {-0.0, 3, "0.000"},
      {-0.0001, 3, "0.000"},  // never "-0.000"
      {-0.0004999, 3, "0.000"},
      {-0.0005, 3, "-0.001"},
      {0.0005, 3, "0.001"},
      {-12.3456, 3, "-12.346"},
      {9.9996, 3, "10.000"},
      {999.9999, 3, "1000.000"},
      {0.1 + 0.2, 3, "0.300"},
      {1234567.891, 3, "1234567.891"},
      // Beyond the 15 digits a number holds, the number's text as the runtime prints it.
      {1e20, 3, "1E+20"},
      {1.797e308, 3, "1.797E+308"},
      {-1.797e308, 3, "-1.797E+308"},
      {1234567890123.4567, 3, "1234567890123.46"},
      {123456789012.345, 3, "123456789012.345"},
      {0.00004, 3, "0.000"},
      {7, 0, "7"},
      // Halves round away from zero on the decimal value, not by the binary value.
      {2.5, 0, "3"},
      {-2.5, 0, "-3"},
      {0.125, 2, "0.13"},
      {1.005, 2, "1.01"},
      {12.3455, 3, "12.346"},
      {2.0005, 3, "2.001"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vb::fixedText(c.in, c.decimals), c.out) << c.in << " / " << c.decimals;
}

}  // namespace
