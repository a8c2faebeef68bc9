#pragma once
// The sheet "Compare" (sheet 2 of the active workbook): the BOM's designators in B:D
// beside the design's parts in F:H, one designator per row. The builders fill the two
// sides; finishComparison numbers the rows, checks each side for repeated designators,
// places every BOM entry beside the design part of the same designator, marks the
// differences red and reports the outcome.
#include <string>

#include "platform/tool_state.h"
#include "vb/variant.h"

namespace compare {

inline constexpr const char* kCompareSheetName = "Compare";
inline constexpr const char* kChooseSourceMessage = "请选择对应软件!!!";
inline constexpr const char* kNoComponentsLine = "  No Components !!!";
inline constexpr const char* kComparedMessage = "对比结束!!!";
inline constexpr const char* kDifferencesMarked = "不同项目已经用红色标示!";
inline constexpr const char* kNoDifferences = "没有不同项目!";
inline constexpr const char* kCheckYourself = "请自己核对好再进行对比,谢谢!!!";
inline constexpr long kHeaderFill = 220 + 256L * 220 + 65536L * 220;

// Columns of the sheet "Compare".
enum CompareColumn : long { kNumberCol = 1, kBomDesignatorCol = 2, kBomPackageCol = 3, kBomValueCol = 4,
                            kDesignDesignatorCol = 6, kDesignPackageCol = 7, kDesignValueCol = 8 };

// CompareExcel, on sheet 2 of the active workbook as the builders leave it.
void finishComparison(platform::ToolContext& t);

}  // namespace compare
