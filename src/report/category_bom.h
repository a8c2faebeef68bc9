#pragma once
// The category BOM of "Create" (sheet 1: parts grouped by designator category, equal value
// and package merged into one line) and the removal of category rows from a BOM report.
#include "normalise/change_report.h"

namespace report {

inline constexpr long kCategoryBomHeaderFill = 16500000;
inline constexpr long kCategoryRowFill = 11055358;  // category and total rows of the category BOM
inline constexpr long kSplitCategoryRowFill = 13500000;

// 分类统计: the category BOM on sheet 1 from the sorted change report on sheet 3.
void fenleiTongji(const normalise::Flow& f);

// CategoryRowPurge of the category BOM ("Create", when KeepClassification is "否").
void shuchuII(const normalise::Flow& f);
// CategoryRowPurge of the split BOM ("Format BOM", when the part types are not kept).
void shuchu(const normalise::Flow& f);

}  // namespace report
