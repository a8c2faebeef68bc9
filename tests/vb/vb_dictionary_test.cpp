// The keyed collection: exact keys, insertion order, the errors of the original collection.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vb/dictionary.h"
#include "vb/error.h"
#include "vb/raised.h"

namespace {

using Keys = std::vector<std::string>;
using vbtest::raised;

TEST(VbDictionary, KeysAreExact) {
  vb::Dictionary d;
  d.put("10K|R-0603", 1);
  d.put("10k|R-0603", 2);
  d.put("10K|R-0603 ", 3);
  EXPECT_EQ(d.count(), 3);
  EXPECT_TRUE(d.exists("10k|R-0603"));
  EXPECT_FALSE(d.exists("10K|r-0603"));
  EXPECT_EQ(d.item("10K|R-0603"), vb::Variant(1));
  EXPECT_EQ(d.item("10k|R-0603"), vb::Variant(2));
}

TEST(VbDictionary, ItemOfAMissingKeyAddsItEmpty) {
  vb::Dictionary d;
  EXPECT_TRUE(d.item("R1").isEmpty());
  EXPECT_TRUE(d.exists("R1"));
  EXPECT_EQ(d.count(), 1);
  d.item("R1") = 5;
  EXPECT_EQ(d.item("R1"), vb::Variant(5));
  EXPECT_EQ(d.count(), 1);
}

TEST(VbDictionary, AddOfAnExistingKeyIs457) {
  vb::Dictionary d;
  d.add("C1", "first");
  EXPECT_EQ(raised([&] { d.add("C1", "second"); }), vb::kKeyExists);
  EXPECT_EQ(d.item("C1"), vb::Variant("first"));
  EXPECT_EQ(raised([&] { d.add("c1", "other"); }), 0);
  d.item("R1");  // read, so added
  EXPECT_EQ(raised([&] { d.add("R1", 1); }), vb::kKeyExists);
}

TEST(VbDictionary, KeysInInsertionOrder) {
  vb::Dictionary d;
  for (const char* k : {"U1", "R1", "C1", "元件"}) d.put(k, k);
  d.put("R1", "again");  // a new value keeps the place
  EXPECT_EQ(d.keys(), (Keys{"U1", "R1", "C1", "元件"}));
  d.remove("R1");
  EXPECT_EQ(d.keys(), (Keys{"U1", "C1", "元件"}));
  EXPECT_EQ(d.count(), 3);
  EXPECT_FALSE(d.exists("R1"));
  d.put("R1", 1);  // back, at the end
  EXPECT_EQ(d.keys(), (Keys{"U1", "C1", "元件", "R1"}));
  EXPECT_NE(raised([&] { d.remove("missing"); }), 0);
  EXPECT_EQ(d.count(), 4);
}

TEST(VbDictionary, RemoveAllStartsAfresh) {
  vb::Dictionary d;
  d.put("a", 1);
  d.put("b", 2);
  d.remove("a");
  d.removeAll();
  EXPECT_EQ(d.count(), 0);
  EXPECT_TRUE(d.keys().empty());
  EXPECT_FALSE(d.exists("b"));
  // Used again for the next category, as the report builders do.
  d.put("x", 1);
  d.put("y", 2);
  EXPECT_EQ(d.keys(), (Keys{"x", "y"}));
  EXPECT_EQ(d.count(), 2);
  d.remove("y");
  EXPECT_EQ(d.keys(), (Keys{"x"}));
}

TEST(VbDictionary, AnItemStaysValidWhileKeysAreAdded) {
  vb::Dictionary d;
  vb::Variant& first = d.item("first");
  for (int i = 0; i < 10000; ++i) d.put("k" + std::to_string(i), i);
  first = "kept";
  EXPECT_EQ(d.item("first"), vb::Variant("kept"));
  d.item("copy") = d.item("k42");  // the new key is added after the right side is read
  EXPECT_EQ(d.item("copy"), vb::Variant(42));
}

}  // namespace
