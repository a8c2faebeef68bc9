#pragma once
// The category BOM of "Create" (sheet 1: parts grouped by designator category, equal value
// and package merged into one line) and the removal of category rows from a BOM report.
#include "platform/tool_state.h"

namespace report {

inline constexpr long kCategoryBomHeaderFill = 16500000;
inline constexpr long kCategoryRowFill = 11055358;  // category and total rows of the category BOM
inline constexpr long kSplitCategoryRowFill = 13500000;

// The category BOM on sheet 1 from the sorted change report on sheet 3.
void buildCategoryBom(const platform::ReportFlow& f);

// The category rows removed from the category BOM ("Create", when KeepClassification is
// "否"); PartCount becomes the rows left.
void purgeCategoryRows(const platform::ReportFlow& f);
// The category rows removed from the split BOM ("Format BOM", when the part types are
// not kept).
void purgeSplitCategoryRows(const platform::ReportFlow& f);

}  // namespace report
