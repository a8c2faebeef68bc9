#pragma once
// The standard BOM: the eleven-column sheet "序号" ... "备注" with a "Total:" row that
// "导出标准BOM" writes from the BOM grid into a new workbook, and the import
// "导入初始BOM" that fills the grid from sheet 1 of the active workbook (a BOM report,
// told by "Name" in E1, or a standard BOM, told by "备注" in K1).
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "platform/ui.h"

namespace workbench {

inline constexpr const char* kDoneMessage = "      Okay!";
inline constexpr const char* kOpenImportMessage = "请打开您将要导入的xls.";
inline constexpr const char* kDeleteSpecialBomQuestion = "将删除Special BOM工作表,\n是---继续     否---退出.";

// Writes the grid's rows into the first sheet of a new workbook, after taking the lowest
// "Total:" row out of the grid. Nothing happens for an empty grid, when no spreadsheet
// program runs, or when the workbook cannot be made. `app` receives the attached program.
void exportStandardBom(platform::Services& s, platform::Settings& settings, ui::ListView& grid,
                       platform::xl::AppPtr& app);

// Replaces the grid's rows by the rows of sheet 1 of the active workbook, once the
// spreadsheet program is attached and a "Special BOM" sheet, if any, may be deleted.
void importBomSheet(platform::Services& s, platform::Settings& settings, ui::ListView& grid,
                    platform::xl::AppPtr& app);

}  // namespace workbench
