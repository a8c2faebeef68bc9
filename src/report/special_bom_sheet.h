#pragma once
// The sheet "Special BOM" in front of sheet 1 of the active workbook: each item of sheet 1
// with its designators spread N per line, the item's columns merged down over its lines.
// "Format BOM" builds it from a five-column BOM, the BOM workbench from a standard BOM;
// they differ in the item columns, headings, widths and the total line.
#include <string>
#include <utility>
#include <vector>

#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "platform/user.h"
#include "vb/error.h"

namespace report {

inline constexpr const char* kSpecialBomSheetName = "Special BOM";
inline constexpr const char* kBlankSheetMessage = "当前为空白工作表";
inline constexpr const char* kOpenBomMessage = "请打开需要处理的Excel格式BOM清单";
inline constexpr const char* kDesignatorColumnsPrompt = "请输入参数范围在:5-20之间,\n以确定元件序号占用列数。";
inline constexpr const char* kBadDesignatorColumns = "参数设置错误!        ";

struct SpecialBomLayout {
  // The item's own columns, A to this one: every line repeats them but the last, which
  // only the item's first line holds. The designator list stands in the column after it,
  // in the source as on the sheet, where the designators take N columns from there.
  long itemColumns;
  std::vector<std::string> headings;  // itemColumns + 1; the last spans the designator columns
  std::vector<std::pair<const char*, double>> widths;
  // The last line is a total line: filled as the header (not bold) and never marked.
  bool totalLine;
  // An empty separator takes a designator list whole instead of giving no designator.
  bool wholeListWithoutSeparator;
};

enum class SpecialBomResult {
  Built,
  BlankSheet,  // sheet 1 is blank (or there is no workbook): the message was shown
  NotAdded,    // the new sheet could not be added and named: nothing was written
};

// ContiguousLastRow: the end of the filled block of column A downwards from A1. A sheet
// whose A2 is empty holds only its header, so the BOM has no items (the move from A1 would
// run on to a cell below a gap or to the sheet's last row).
long contiguousLastRow(platform::xl::Sheet& sheet);

// Deletes every sheet named "Special BOM" and builds it anew with n designators per line,
// with DisplayAlerts off meanwhile. Every step runs under guard: a failing step is skipped,
// a failing test takes its Then branch. lastLine gets the last row written.
SpecialBomResult writeSpecialBom(platform::xl::Application& app, platform::Settings& settings, platform::User& user,
                                 const SpecialBomLayout& layout, long n, vb::SkipOnError& guard, long& lastLine);

}  // namespace report
