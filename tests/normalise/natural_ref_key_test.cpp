// Natural designator keys: the classic numeric keys (two digits a character code) for
// short designators, exact keys for long ones and for any character.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "normalise/natural_ref_key.h"

namespace {

using normalise::kRefKeyGroupDigits;
using normalise::naturalRefKeys;

// A key with every code group written in two digits, as the classic numeric key reads
// with its leading zeros (valid while every code has at most two digits).
std::string classic(const std::string& key) {
  std::string out;
  for (size_t i = 0; i < key.size(); i += kRefKeyGroupDigits) {
    int code = std::stoi(key.substr(i, kRefKeyGroupDigits));
    EXPECT_LT(code, 100) << key;
    out += static_cast<char>('0' + code / 10);
    out += static_cast<char>('0' + code % 10);
  }
  return out;
}

// The designators in the order their keys give (ties kept in list order).
std::vector<std::string> sortedByKey(const std::vector<std::string>& designators) {
  auto keys = naturalRefKeys(designators);
  std::vector<size_t> order(designators.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  std::vector<std::string> out;
  for (size_t i : order) out.push_back(designators[i]);
  return out;
}

TEST(NaturalRefKey, WorkedTableGivesTheClassicKeys) {
  const std::vector<std::string> designators = {"R1", "R2", "R10", "R100", "C12", "2R5"};
  const std::vector<std::string> classicKeys = {"82000049", "82000050", "82004948",
                                                "82494848", "67004950", "82000053"};
  auto keys = naturalRefKeys(designators);
  ASSERT_EQ(keys.size(), designators.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].size(), 4 * kRefKeyGroupDigits) << designators[i];
    EXPECT_EQ(classic(keys[i]), classicKeys[i]) << designators[i];
  }
  EXPECT_EQ(sortedByKey(designators), (std::vector<std::string>{"C12", "R1", "R2", "2R5", "R10", "R100"}));
}

TEST(NaturalRefKey, ClassicKeysOfTheEdgeCases) {
  struct Case {
    std::vector<std::string> designators;
    std::vector<std::string> classicKeys;
  };
  const Case cases[] = {
      // Equal length, no board digits: the codes alone.
      {{"R1", "C2", "U3"}, {"8249", "6750", "8551"}},
      // Only digits: every one is a board digit, the key is zeros.
      {{"123", "R1"}, {"000000", "820049"}},
      // 0 is no board digit; the 1 after it still is.
      {{"01R5"}, {"48008253"}},
      // Lower case is upper-cased first.
      {{"r10", "R10"}, {"824948", "824948"}},
      {{"R1"}, {"8249"}},
      // A board digit on a designator of the longest length still gets its zeros.
      {{"2R5", "R10"}, {"820053", "824948"}},
      // The zeros go after the first LetterCount codes, whatever those codes are.
      {{"R1A", "R100"}, {"82490065", "82494848"}},
      {{"", "R1"}, {"0000", "8249"}},
  };
  for (const Case& c : cases) {
    auto keys = naturalRefKeys(c.designators);
    ASSERT_EQ(keys.size(), c.classicKeys.size());
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(classic(keys[i]), c.classicKeys[i]) << c.designators[i];
  }
}

TEST(NaturalRefKey, NaturalOrder) {
  EXPECT_EQ(sortedByKey({"R2", "R10", "R1"}), (std::vector<std::string>{"R1", "R2", "R10"}));
  EXPECT_EQ(sortedByKey({"R1", "C9", "U10", "U2", "C10"}),
            (std::vector<std::string>{"C9", "C10", "R1", "U2", "U10"}));
}

// Beyond seven characters the classic keys lose digits; these stay exact.
TEST(NaturalRefKey, LongDesignatorsStayExact) {
  const std::vector<std::string> designators = {"R123456789012", "R2", "R123456789011", "C1234567890AB"};
  auto keys = naturalRefKeys(designators);
  for (const auto& k : keys) EXPECT_EQ(k.size(), 13 * kRefKeyGroupDigits);
  EXPECT_EQ(sortedByKey(designators),
            (std::vector<std::string>{"C1234567890AB", "R2", "R123456789011", "R123456789012"}));
}

// Three-digit and non-ASCII codes keep the width of every key.
TEST(NaturalRefKey, AnyCharacterKeepsTheWidth) {
  const std::vector<std::string> designators = {"R{1", "RZ1", "R电1", "R1"};
  auto keys = naturalRefKeys(designators);
  for (const auto& k : keys) EXPECT_EQ(k.size(), 3 * kRefKeyGroupDigits);
  EXPECT_EQ(sortedByKey(designators), (std::vector<std::string>{"R1", "RZ1", "R{1", "R电1"}));
}

}  // namespace
