#include "report/category_patterns.h"

#include <array>

namespace report {

namespace {

const std::array<CategoryPatternRow, 17> kCategoryPatterns = {{
    {"Chip", {"*U[0-9]*", "*IC[0-9]*", "*模块*"}, {"U[0-9]*", "IC[0-9]*", "模块*"}, {}, "-", true},
    {"Resister", {"*R[0-9]*", "*R[!P]*"}, {"R[0-9]*", "R[!P]*"}, {}, "-", true},
    {"Connector", {"*CON[0-9]*", "*CN[0-9]*"}, {"CON[0-9]*", "CN[0-9]*"}, {}, "-", true},
    {"Capacitor", {"*[C][0-9]*", "*[E][0-9]*", "*[BC][0-9]*"}, {"[C][0-9]*", "[E][0-9]*", "[BC][0-9]*"}, {}, "-", true},
    {"Inductance", {"*L[0-9]*"}, {"L[0-9]*"}, {}, "-", true},
    {"Diode",
     {"*D[0-9]*", "*ZD[0-9]*", "*LED*"},
     {"D[0-9]*", "ZD[0-9]*", "LED*"},
     {"D[0-9]*", "ZD[0-9]*", "LED[0-9]*"},
     "-",
     true},
    {"Triode", {"*Q[0-9]*", "*REM[0-9]*", "*IR[0-9]*"}, {"Q[0-9]*", "REM[0-9]*", "IR[0-9]*"}, {}, "-", true},
    {"Crystal", {"*Y[0-9]*", "X[0-9]*"}, {"Y[0-9]*", "X[0-9]*"}, {}, "-", true},
    {"Antenna", {"*ANT*"}, {"ANT*"}, {}, "-", true},
    {"Switch", {"SW[0-9]*", "S[0-9]*"}, {"SW[0-9]*", "S[0-9]*"}, {}, "-", true},
    {"KEY", {"*KEY*", "K[0-9]*"}, {"KEY*", "K[0-9]*"}, {}, "-", true},
    {"VOL",
     {"*VOL*", "*BASS*", "*TREBLE*", "*BALANCE*", "*ECHO*", "*MIC*", "*VR*", "*RP*"},
     {"VOL*", "BASS*", "TREBLE*", "BALANCE*", "ECHO*", "MIC*", "VR*", "RP*"},
     {},
     "",
     true},
    {"Fuse", {"FB*"}, {"FB*"}, {}, "-", true},
    {"Jack", {"*CARD*", "*USB*", "*SD*", "DC*"}, {"CARD*", "USB*", "SD*", "DC*"}, {}, "-", true},
    {"Jumper", {"*J[0-9]*", "JMP[0-9]*"}, {"J[0-9]*", "JMP[0-9]*"}, {}, "-", true},
    {"Unknow", {"?*"}, {"?*"}, {}, "-", false},
    {"Total:", {}, {}, {}, "-", false},
}};

CategoryPass pass(std::string name, const std::vector<std::string_view>& patterns, const std::string& prefix) {
  CategoryPass p{std::move(name), {}};
  p.patterns.reserve(patterns.size());
  for (std::string_view pattern : patterns) p.patterns.push_back(prefix + std::string(pattern));
  return p;
}

}  // namespace

std::span<const CategoryPatternRow> categoryPatterns() { return kCategoryPatterns; }

std::vector<CategoryPass> categoryPasses(int prefixCount) {
  std::vector<CategoryPass> passes;
  const int boards = prefixCount > 0 ? prefixCount : 0;
  passes.reserve(kCategoryPatterns.size() * (1 + static_cast<size_t>(boards)));
  for (const CategoryPatternRow& row : kCategoryPatterns)
    if (row.perBoard) passes.push_back(pass(std::string(row.name), boards > 0 ? row.anchored : row.floating, ""));
  for (int k = 1; k <= boards; ++k) {
    const std::string board = std::to_string(k);
    for (const CategoryPatternRow& row : kCategoryPatterns) {
      if (!row.perBoard) continue;
      const auto& patterns = row.boardPrefixed.empty() ? row.anchored : row.boardPrefixed;
      passes.push_back(pass(std::string(row.name) + std::string(row.boardSeparator) + board, patterns, board));
    }
  }
  for (const CategoryPatternRow& row : kCategoryPatterns)
    if (!row.perBoard) passes.push_back(pass(std::string(row.name), row.floating, ""));
  return passes;
}

std::vector<vb::LikePattern> preparedPatterns(const std::vector<std::string>& patterns) {
  std::vector<vb::LikePattern> prepared;
  prepared.reserve(patterns.size());
  for (const std::string& pattern : patterns) prepared.emplace_back(pattern);
  return prepared;
}

bool matchesPrepared(std::string_view upperDesignator, const std::vector<vb::LikePattern>& patterns) {
  if (upperDesignator.empty()) return false;
  for (const vb::LikePattern& pattern : patterns)
    if (pattern.matches(upperDesignator)) return true;
  return false;
}

bool matchesCategory(std::string_view upperDesignator, const std::vector<std::string>& patterns) {
  return matchesPrepared(upperDesignator, preparedPatterns(patterns));
}

int firstClaimingPass(std::string_view upperDesignator, const std::vector<CategoryPass>& passes) {
  for (size_t i = 0; i < passes.size(); ++i)
    if (matchesCategory(upperDesignator, passes[i].patterns)) return static_cast<int>(i);
  return -1;
}

}  // namespace report
