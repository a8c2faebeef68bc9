#pragma once
// The categories of the category BOM, each with the designator patterns that claim a
// part for it, and the passes a build runs over them. A part belongs to the first pass
// that claims it.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vb/like.h"

namespace report {

struct CategoryPatternRow {
  std::string_view name;
  std::vector<std::string_view> floating;  // patterns without board prefixes (PrefixCount <= 0)
  std::vector<std::string_view> anchored;  // patterns when board prefixes are in use
  // Patterns that get the board number in front in the board passes; empty: the anchored ones.
  std::vector<std::string_view> boardPrefixed;
  // Between the category name and the board number in the names of the board passes.
  std::string_view boardSeparator = "-";
  // Whether the category has board passes (the last two rows, "Unknow" and "Total:", have not).
  bool perBoard = true;
};

// The seventeen rows, in pass order: fifteen categories, "Unknow" ("?*"), "Total:" (no pattern).
std::span<const CategoryPatternRow> categoryPatterns();

struct CategoryPass {
  std::string name;                   // the category name printed ("Chip", "Chip-1", "VOL1")
  std::vector<std::string> patterns;  // empty for "Total:"
};

// The passes of one build: prefixCount <= 0: the fifteen categories with their floating
// patterns; otherwise the fifteen with their anchored patterns, then for k = 1 to
// prefixCount the fifteen again with k in front of each pattern; then "Unknow" and "Total:".
std::vector<CategoryPass> categoryPasses(int prefixCount);

// Whether the upper-cased designator matches one of the patterns (Like). An empty
// designator (a part already claimed) matches nothing. A build that tests many parts
// prepares the patterns once and asks matchesPrepared.
bool matchesCategory(std::string_view upperDesignator, const std::vector<std::string>& patterns);
std::vector<vb::LikePattern> preparedPatterns(const std::vector<std::string>& patterns);
bool matchesPrepared(std::string_view upperDesignator, const std::vector<vb::LikePattern>& patterns);

// Index of the first pass that claims the upper-cased designator, or -1 for none.
int firstClaimingPass(std::string_view upperDesignator, const std::vector<CategoryPass>& passes);

}  // namespace report
