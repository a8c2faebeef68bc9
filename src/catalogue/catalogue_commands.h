#pragma once
// The material catalogue's commands in the BOM window: "连接数据库", the entry commit,
// the candidate pick, the search boxes with their row step and "C" button, and the
// automatic matching of all rows ("自动匹配") or of one double-clicked row.
#include <array>
#include <functional>
#include <string>

#include "catalogue/material_catalogue.h"
#include "platform/common_dialog.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "workbench/bom_view.h"
#include "workbench/catalogue_handlers.h"

namespace catalogue {

inline constexpr const char* kConnectedMessage = "  成功连接数据库";
inline constexpr const char* kConnectFailedMessage = "连接数据库失败!";
inline constexpr const char* kNotConnectedMessage = "请先连接数据库再执行此操作!";
inline constexpr const char* kNoMatchMessage = "   没有匹配结果!";
inline constexpr const char* kAutoMatchDoneMessage = "      Okay!";
// The hidden rebuild of a catalogue workbook's first sheet: the code box's access code and
// the rebuild's messages.
inline constexpr const char* kBuilderAccessCode = "戊";
inline constexpr const char* kBuiltMessage = kAutoMatchDoneMessage;  // the same "      Okay!"
inline constexpr const char* kBuildFailedMessage = "生成物料库失败!";
inline constexpr const char* kBuildWorkbookOpenMessage = "请先关闭已打开的物料库工作簿!";

// The places of the "C" button (twips): parked after a search or a pick; inside a search
// box it covers the box's right end.
inline constexpr int kParkedLeft = 9885, kParkedTop = 4900;
inline constexpr int kInBoxOffset = 380, kInCodeBoxOffset = 370;

// The six fields a commit takes from an entry: 物料编码, 物料名称, 物料规格, 单位, 单价, 供应商.
struct EntryTexts {
  std::string code, name, rating, unit, price, supplier;
};

// What a command does inside OpenWorkbookFile: its work on the opened workbook, whether
// the workbook is saved in place afterwards, and its messages.
struct WorkbookJob {
  std::function<void(platform::xl::Workbook&)> work;
  std::string doneMessage, failedMessage;
  bool save = false;
  // When not empty, a workbook that was open in the program before is refused with this
  // message (and the path) and left as it is.
  std::string alreadyOpenMessage;
};

// OpenWorkbookFile: the user picks a workbook in the toolbar's dialog, the running
// spreadsheet program opens it while hidden, the job's work runs on the workbook the open
// returned, the workbook is saved when asked and closed unless it was open before, and
// the program is left minimised and visible with the completion message. A failed open,
// work or save saves nothing, closes the workbook unsaved, gives the program's window back
// as it was and shows the failure message with the reason. A cancelled dialog, or no
// running program, ends it silently.
void openWorkbookFile(platform::Services& s, platform::Settings& settings, platform::CommonDialog& dialog,
                      const WorkbookJob& job);

// The catalogue entries of a catalogue workbook: sheet 1, rows 3 down to the last filled
// cell of column A, columns A to J, in one block read.
std::vector<MaterialRecord> readCatalogueSheet(platform::xl::Workbook& wb);

// The rebuild of sheet 1 of a catalogue workbook from its sheets 2 and 3 (物料编码, 物料名称,
// 物料规格, 单位 from row 2 on): the heading in A2:E2, from row 3 on the running number and the
// entries of sheet 2, then those of sheet 3. Columns F to J go with their 物料编码. A workbook
// with fewer than three sheets is refused (error 9) before anything is changed.
void rebuildCatalogueSheet(platform::xl::Workbook& wb);

class CatalogueCommands final : public workbench::CatalogueHandlers {
 public:
  CatalogueCommands(workbench::BomView& view, platform::Services& services, platform::Settings& settings,
                    std::function<platform::CommonDialog&()> dialog);

  void connectCatalogue() override;
  void autoMatchAll() override;
  void autoMatchRow() override;
  void pickCandidate() override;
  void searchBoxKeyDown(int keyCode) override;
  void valueBoxKeyDown(int keyCode) override;
  void searchBoxKeyUp(ui::TextBox& box, int keyCode) override;
  void searchBoxGotFocus(ui::TextBox& box) override;
  void clearButtonClicked() override;
  void codeBoxDoubleClicked() override;

  const MaterialCatalogue& catalogue() const { return catalogue_; }
  std::string matchedCode;  // MatchedCode: the 物料编码 of the last commit

 private:
  enum class Commit { Entry, BulkMatch, RowMatch };
  // Writes the entry into grid row `row` (from 0) as the commit kind does it.
  void commitEntry(int row, const EntryTexts& entry, Commit kind);
  // Selects the row CurrentRowIndex names and gives it (from 0), or -1 when it names none.
  int selectCurrentRow();
  void search();
  void stepRow(int keyCode);
  void listCandidate(size_t entry);
  void sizeCandidateColumns();
  void parkClearButton();
  EntryTexts entryTexts(size_t entry) const;

  workbench::BomView& view_;
  platform::Services& services_;
  platform::Settings& settings_;
  std::function<platform::CommonDialog&()> dialog_;
  MaterialCatalogue catalogue_;
};

}  // namespace catalogue
