// The value and package rule set on single rows: package prefixes and D-Change, the
// number scan, the unit table, capacitor codes, sub-unit bands, ratings, the rewrite
// and V-Change, and the two sort keys.
#include <gtest/gtest.h>

#include <ostream>

#include "normalise/value_normaliser.h"
#include "vb/convert.h"

namespace {

using normalise::NormaliserRow;
using normalise::normaliseRow;
using vb::Variant;

const Variant E;  // an empty key

struct Case {
  const char* value;
  const char* package;
  const char* designator;
  bool convert;
  const char* wantPackage;
  bool dChange;
  const char* wantValue;
  bool vChange;
  Variant sort1;
  Variant sort2;
};

std::string show(const Variant& v) {
  if (v.isEmpty()) return "(empty)";
  if (v.isText()) return "\"" + v.text() + "\"";
  return vb::numberText(v.number());
}

std::ostream& operator<<(std::ostream& os, const Case& c) {
  return os << "\"" << c.value << "\" \"" << c.package << "\" on " << c.designator << (c.convert ? " (是)" : " (否)");
}

void expectRow(const Case& c) {
  SCOPED_TRACE(::testing::PrintToString(c));
  auto out = normaliseRow(NormaliserRow{c.value, c.package, c.designator}, c.convert);
  EXPECT_EQ(out.package, c.wantPackage);
  EXPECT_EQ(out.packageChanged, c.dChange);
  EXPECT_EQ(out.value, c.wantValue);
  EXPECT_EQ(out.valueChanged, c.vChange);
  EXPECT_EQ(show(out.sort1), show(c.sort1));
  EXPECT_EQ(show(out.sort2), show(c.sort2));
  // Sort1 is never a text; Sort2 is a text only for a power rating.
  EXPECT_FALSE(out.sort1.isText());
}

constexpr bool Y = true, N = false;

// Package names of small chip parts: family prefix by designator letters, size code.
TEST(ValueNormaliser, PackagePrefixRule) {
  const Case cases[] = {
      {"10K", "0603_R", "R1", N, "R-0603", Y, "10K", N, 10000.0, E},
      {"10K", "R-0603", "R2", N, "R-0603", N, "10K", N, 10000.0, E},  // rewritten to itself
      {"10UH", "IND0805", "L1", N, "L-0805", Y, "10UH", N, 10000.0, E},
      {"100NF", "CAP0402", "C1", N, "C-0402", Y, "100NF", N, 100000.0, E},
      {"10UF", "1206", "E2", N, "C-1206", Y, "10UF", N, 1e7, E},
      {"10K", "0402_0603", "R3", N, "R-0402", Y, "10K", N, 10000.0, E},  // first size in table order
      {"LM358", "SOIC1206", "U1", N, "SOIC1206", N, "LM358", N, E, E},   // no family letter
      {"10K", "0603", "r5", N, "R-0603", Y, "10K", N, 10000.0, E},       // designator upper-cased
      {"10K", "R0603x", "R6", N, "R-0603", Y, "10K", N, 10000.0, E},
      {"10K", "RES", "R7", N, "RES", N, "10K", N, 10000.0, E},
      // "C" beats "L", "L" beats "R": LED0603 on LED1 becomes C-0603 (E in LED).
      {"0603", "LED0603", "LED1", Y, "C-0603", Y, "0603", N, 6000.0, E},
      {"1UH", "0805", "RL1", N, "L-0805", Y, "1UH", N, 1000.0, E},
      // A later family writing the name back to the one read leaves D-Change set.
      {"104", "C-0603", "RC1", N, "C-0603", Y, "104", N, 104.0, E},
  };
  for (const Case& c : cases) expectRow(c);
}

// The unit table, the number scan and the capacitor code, with and without the rewrite.
TEST(ValueNormaliser, ResistorValues) {
  const Case cases[] = {
      {"4K7", "", "R3", Y, "", N, "4.7K", Y, 4700.0, E},
      {"4K7", "", "R3", N, "", N, "4K7", N, 4700.0, E},
      {"2R2", "", "R4", Y, "", N, "2.2R", Y, 2.2, E},
      {"4.7K", "", "R1", Y, "", N, "4.7K", N, 4700.0, E},
      {"4.70K", "", "R1", Y, "", N, "4.70K", N, 4700.0, E},  // scanned digits are kept
      {"10K", "", "R1", Y, "", N, "10K", N, 10000.0, E},
      {"1M", "", "R1", Y, "", N, "1M", N, 1e6, E},
      {"10", "", "R5", Y, "", N, "10R", Y, 10.0, E},
      {"010", "", "R5", Y, "", N, "010R", Y, 10.0, E},
      {"10k", "", "R7", Y, "", N, "10K", Y, 10000.0, E},  // only the case changed
      {"10k", "", "R7", N, "", N, "10k", N, 10000.0, E},
      // A letter in the middle of more digits is no decimal point: no number.
      {"1K00", "", "R1", Y, "", N, "1K00", N, E, E},
      {"4K70", "", "R1", Y, "", N, "4K70", N, E, E},
      {"10KOHM", "", "R1", Y, "", N, "10KOHM", N, 10000.0, E},  // "OHM" would be lost
  };
  for (const Case& c : cases) expectRow(c);
}

TEST(ValueNormaliser, CapacitorValuesAndCodes) {
  const Case cases[] = {
      {"104", "", "C1", Y, "", N, "100nF", Y, 100000.0, E},
      {"101", "", "C1", Y, "", N, "100pF", Y, 100.0, E},
      {"100", "", "C1", Y, "", N, "100pF", Y, 100.0, E},  // below 101: picofarads
      {"150", "", "C1", Y, "", N, "150", N, E, E},        // 0 is no code digit
      {"471", "", "C1", Y, "", N, "470pF", Y, 470.0, E},
      {"102", "", "C1", Y, "", N, "1nF", Y, 1000.0, E},
      {"472", "", "C1", Y, "", N, "4.7nF", Y, 4700.0, E},  // 47 x 0.1 written as 4.7
      {"103", "", "C1", Y, "", N, "10nF", Y, 10000.0, E},
      {"225", "", "C1", Y, "", N, "2.2uF", Y, 2.2e6, E},
      {"106", "", "C1", Y, "", N, "10uF", Y, 1e7, E},
      {"107", "", "C1", Y, "", N, "100uF", Y, 1e8, E},
      {"109", "", "C1", Y, "", N, "109", N, E, E},
      {"4701", "", "C1", Y, "", N, "470pF", Y, 470.0, E},  // four digits: first two and the last
      {"104J", "", "C2", Y, "", N, "100nF", Y, 100000.0, E},
      {"104", "", "E5", Y, "", N, "100nF", Y, 100000.0, E},
      {"104", "", "BC1", Y, "", N, "100nF", Y, 100000.0, E},
      {"22P", "", "C1", Y, "", N, "22pF", Y, 22.0, E},
      {"22PF", "", "C1", Y, "", N, "22pF", Y, 22.0, E},
      {"1NF", "", "C1", Y, "", N, "1nF", Y, 1000.0, E},
      {"10UF", "", "C3", Y, "", N, "10uF", Y, 1e7, E},
      {"10uF", "", "C3", Y, "", N, "10uF", N, 1e7, E},
      // "104K" is read as kilo, and K is no capacitor unit: keys only.
      {"104K", "", "C1", Y, "", N, "104K", N, 104000.0, E},
      // Pin counts on connectors: the number, never rewritten.
      {"10P", "", "CN1", Y, "", N, "10P", N, 10.0, E},
      {"10P", "", "J1", Y, "", N, "10P", N, 10.0, E},
      {"8J", "", "CON2", N, "", N, "8J", N, 8.0, E},
  };
  for (const Case& c : cases) expectRow(c);
}

TEST(ValueNormaliser, SubUnitBands) {
  const Case cases[] = {
      {"0.1UF", "", "C4", Y, "", N, "100nF", Y, 100000.0, E},
      {"0.047U", "", "C1", Y, "", N, "47nF", Y, 47000.0, E},
      {"0.47N", "", "C1", Y, "", N, "470pF", Y, 470.0, E},
      {"0.0022U", "", "C1", Y, "", N, "2.2nF", Y, 2200.0, E},
      {"0.00047U", "", "C1", Y, "", N, "0.00047uF", Y, 470.0, E},  // below the bands
      {"1U", "", "C1", Y, "", N, "1uF", Y, 1e6, E},                 // 1 is above them
      // The new number is the number times 1,000, also when the letter is the point.
      {"0U1", "", "C1", Y, "", N, "100nF", Y, 100000.0, E},
      {"0N5", "", "C1", Y, "", N, "500pF", Y, 500.0, E},
      {"0N1", "", "C1", Y, "", N, "100pF", Y, 100.0, E},
  };
  for (const Case& c : cases) expectRow(c);
}

TEST(ValueNormaliser, InductorsCrystalsAndOtherParts) {
  const Case cases[] = {
      {"10UH", "", "L1", Y, "", N, "10uH", Y, 10000.0, E},
      {"4.7NH", "", "L2", Y, "", N, "4.7nH", Y, 4.7, E},
      {"1MH", "", "L3", Y, "", N, "1mH", Y, 1e6, E},
      {"1M", "", "L3", Y, "", N, "1mH", Y, 1e6, E},
      {"1H", "", "L4", Y, "", N, "1H", N, 1e9, E},
      {"4.7UF", "", "L5", Y, "", N, "4.7UF", N, 4700.0, E},  // F is no henry
      // Crystals: hertz as the key, never rewritten.
      {"32.768K", "", "Y1", Y, "", N, "32.768K", N, 32768.0, E},
      {"12M", "", "X1", Y, "", N, "12M", N, 1.2e7, E},
      // Other parts: the number itself, and no rewrite outside R, C, E, BC and L.
      {"10", "", "U1", Y, "", N, "10", N, 10.0, E},
      {"10", "", "IC2", Y, "", N, "10", N, 10.0, E},
      {"5V1", "", "ZD1", Y, "", N, "5V1", N, 5.1, E},
      {"10k", "", "U1", Y, "", N, "10k", N, 10000.0, E},
  };
  for (const Case& c : cases) expectRow(c);
}

TEST(ValueNormaliser, ValuesWithoutNumber) {
  const Case cases[] = {
      {"NC", "", "C9", Y, "", N, "NC", N, E, E},
      {" NC", "", "C9", Y, "", N, " NC", Y, E, E},  // not rewritten, yet blanks count
      {" NC", "", "C9", N, "", N, " NC", N, E, E},
      {"HEADER 2X5", "", "J1", Y, "", N, "HEADER 2X5", N, E, E},
      {"", "", "R1", Y, "", N, "", N, E, E},
      {"10/16V", "", "C1", Y, "", N, "10/16V", N, E, E},
      {".47", "", "R1", Y, "", N, ".47", N, E, E},
      {"R", "", "R1", Y, "", N, "R", N, E, E},
  };
  for (const Case& c : cases) expectRow(c);
}

TEST(ValueNormaliser, RatingsAndTolerance) {
  const Case cases[] = {
      {"10UF/16V 10%", "", "C1", Y, "", N, "10uF/16V 10%", Y, 1e7, 16.0},
      {"10uF/6.3V", "", "C1", Y, "", N, "10uF/6.3V", N, 1e7, 6.3},
      {"10U/16V", "", "C1", Y, "", N, "10uF/16V", Y, 1e7, 16.0},
      {"4K7 1/10W 1%", "", "R1", Y, "", N, "4.7K 1/10W 1%", Y, 4700.0, "1/10"},
      {"10K 1/4W", "", "R1", N, "", N, "10K 1/4W", N, 10000.0, "1/4"},
      {"10K 0.25W 1%", "", "R1", Y, "", N, "10K 0.25W 1%", N, 10000.0, 0.25},
      {"10K ±5%", "", "R1", Y, "", N, "10K ±5%", N, 10000.0, 5.0},
      {"10K 5% 1/4W", "", "R1", Y, "", N, "10K 1/4W 5%", Y, 10000.0, "1/4"},  // rating first
      {"10k  5%", "", "R1", Y, "", N, "10K 5%", Y, 10000.0, 5.0},  // empty second token
      {"10K 5%", "", "U1", N, "", N, "10K 5%", N, 10000.0, 5.0},
      // A voltage piece without a leading number gives no rating.
      {"100NF/X7R/50V", "", "C1", Y, "", N, "100NF/X7R/50V", N, 100000.0, E},
      // No ratings without a number.
      {"NC 5%", "", "R1", Y, "", N, "NC 5%", N, E, E},
      {"32.768K 5%", "", "Y1", Y, "", N, "32.768K 5%", N, 32768.0, E},
  };
  for (const Case& c : cases) expectRow(c);
}

// The rewrite keeps the value as read when a piece of it would be lost, so that
// different parts never merge into one text.
TEST(ValueNormaliser, RewriteOnlyWhenEveryPieceIsUsed) {
  const Case cases[] = {
      {"10uF 16V", "", "C1", Y, "", N, "10uF 16V", N, 1e7, E},  // 16V is no rating there
      {"10UF 16V", "", "C1", Y, "", N, "10UF 16V", N, 1e7, E},
      {"10K 5% 1%", "", "R1", Y, "", N, "10K 5% 1%", N, 10000.0, 1.0},  // 5% replaced
      {"10K 1/4W 1/8W", "", "R1", Y, "", N, "10K 1/4W 1/8W", N, 10000.0, "1/8"},
      {"10K 1/4W 5% SMD", "", "R1", Y, "", N, "10K 1/4W 5% SMD", N, 10000.0, "1/4"},
      {"10K 5%X", "", "R1", Y, "", N, "10K 5%X", N, 10000.0, 5.0},
      {"10UF/16V/X7R", "", "C1", Y, "", N, "10UF/16V/X7R", N, 1e7, 16.0},
      {"10UF/16VDC", "", "C1", Y, "", N, "10UF/16VDC", N, 1e7, 16.0},
      {"10UF/16V 1/4W", "", "C1", Y, "", N, "10UF/16V 1/4W", N, 1e7, "1/4"},  // voltage replaced
      {"10MF", "", "C1", Y, "", N, "10MF", N, 10.0, E},  // the F does not belong to M
      {"4.7KΩ", "", "R1", Y, "", N, "4.7KΩ", N, 4700.0, E},
      {"10Ω", "", "R1", Y, "", N, "10Ω", N, 10.0, E},
  };
  for (const Case& c : cases) expectRow(c);
}

// A leading unit letter before digits is a decimal point at the start.
TEST(ValueNormaliser, LeadingUnitLetterIsAPoint) {
  const Case cases[] = {
      {"R47", "", "R1", Y, "", N, "0.47R", Y, 0.47, E},
      {"R47", "", "R1", N, "", N, "R47", N, 0.47, E},
      {"R5", "", "R1", Y, "", N, "0.5R", Y, 0.5, E},
      {"K47", "", "R1", Y, "", N, "0.47K", Y, 470.0, E},
      {"U1", "", "C1", Y, "", N, "100nF", Y, 100000.0, E},
      {"N5", "", "L1", Y, "", N, "0.5nH", Y, 0.5, E},
  };
  for (const Case& c : cases) expectRow(c);
}

// A rewrite happens only when the display unit belongs to the part's family; the keys
// are computed all the same.
TEST(ValueNormaliser, RewriteOnlyInTheFamilyOfThePart) {
  const Case cases[] = {
      {"103J", "", "R1", Y, "", N, "103J", N, 10000.0, E},
      {"4.7K", "", "C1", Y, "", N, "4.7K", N, 4700.0, E},
      {"10", "", "LR1", Y, "", N, "10", N, 10.0, E},      // R on an inductor
      {"1M", "", "RL1", Y, "", N, "1M", N, 1e6, E},       // mH on a resistor
      {"10UF", "", "RC1", Y, "", N, "10UF", N, 1e7, E},   // uF on a resistor
  };
  for (const Case& c : cases) expectRow(c);
}

TEST(ValueNormaliser, SurroundingBlanksAndTheRewritePrefixes) {
  const Case cases[] = {
      {"10K ", "", "R1", Y, "", N, "10K", Y, 10000.0, E},
      {" 10K", "", "R1", N, "", N, " 10K", N, 10000.0, E},
      {" 10K ", "", "U1", Y, "", N, " 10K ", N, 10000.0, E},   // U is no rewrite prefix
      {" LM358", "", "IC1", Y, "", N, " LM358", N, E, E},
      {" 1000", "", "CN1", Y, "", N, " 1000", Y, E, E},        // CN1 starts with C
  };
  for (const Case& c : cases) expectRow(c);
}

// A number with more than one point is no valid decimal: no key and no rewrite; the
// package name and the ratings follow the rules.
TEST(ValueNormaliser, InvalidNumberGivesNoKeyAndNoRewrite) {
  const Case cases[] = {
      {"1.2.3K", "0603", "R1", Y, "R-0603", Y, "1.2.3K", N, E, E},
      {"1.2.3K 5%", "", "R1", Y, "", N, "1.2.3K 5%", N, E, 5.0},
      {"1.2.3", "", "C1", Y, "", N, "1.2.3", N, E, E},
      {"1.2.3UF/16V", "", "C1", Y, "", N, "1.2.3UF/16V", N, E, 16.0},
  };
  for (const Case& c : cases) expectRow(c);
}

// Nothing carries over from one row to the next.
TEST(ValueNormaliser, RowsAreIndependent) {
  auto first = normaliseRow({"10UF/16V 5%", "0603", "C1"}, true);
  auto second = normaliseRow({"NC", "0603", "U1"}, true);
  EXPECT_EQ(first.value, "10uF/16V 5%");
  EXPECT_EQ(second.value, "NC");
  EXPECT_EQ(second.package, "0603");
  EXPECT_FALSE(second.packageChanged);
  EXPECT_TRUE(second.sort1.isEmpty());
  EXPECT_TRUE(second.sort2.isEmpty());
}

}  // namespace
