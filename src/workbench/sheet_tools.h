#pragma once
// The sheet tools of the tab "标准化BOM": the clean-ups of a standard BOM on the active
// sheet ("清除备注", "删除NC项目", "删除元件分类"), the sheet "Special BOM" from the standard
// BOM on sheet 1 ("特殊BOM") and the designator list with its repeated designators
// marked ("检查位号"). They work on the active workbook of the running spreadsheet
// program, never start it, and leave the workbook open and unsaved. `app` receives the
// attached program (the window's SpreadsheetApp).
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"

namespace workbench {

inline constexpr const char* kDeleteNcQuestion = "此命令将删除标准BOM中规格为NC的项目,\n是---继续                 否---退出.";
inline constexpr const char* kDeleteTitlesQuestion =
    "此命令将删除标准BOM中规格为空白的项目,\n 是---继续                 否---退出.";
inline constexpr const char* kNoRepeatsReport = "没有元件重复!!!\n详情请参阅Sheet2.";
inline constexpr const char* kRepeatsReport = "元件序号有重复,\n已经用红色标示!\n详情请参阅Sheet2.";

void clearRemarks(platform::Services& s, platform::Settings& settings, platform::xl::AppPtr& app);        // "清除备注"
void deleteNcItems(platform::Services& s, platform::Settings& settings, platform::xl::AppPtr& app);       // "删除NC项目"
void deleteCategoryRows(platform::Services& s, platform::Settings& settings, platform::xl::AppPtr& app);  // "删除元件分类"
void buildSpecialBom(platform::Services& s, platform::Settings& settings, platform::xl::AppPtr& app);     // "特殊BOM"
void checkDesignators(platform::Services& s, platform::Settings& settings, platform::xl::AppPtr& app);    // "检查位号"

}  // namespace workbench
