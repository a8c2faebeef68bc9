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

// The places of the "C" button (twips): parked after a search or a pick; inside a search
// box it covers the box's right end.
inline constexpr int kParkedLeft = 9885, kParkedTop = 4900;
inline constexpr int kInBoxOffset = 380, kInCodeBoxOffset = 370;

// The six fields a commit takes from an entry: 物料编码, 物料名称, 物料规格, 单位, 单价, 供应商.
struct EntryTexts {
  std::string code, name, spec, unit, price, supplier;
};

// OpenWorkbookFile: the user picks a workbook in the toolbar's dialog, the running
// spreadsheet program opens it while hidden, `work` runs on the workbook the open
// returned, the workbook is saved when asked and closed unless it was open before, and
// the program is left minimised and visible. The completion message follows a work that
// succeeded, the failure message (with the reason) a failed open or work. A cancelled
// dialog, or no running program, ends it silently.
void openWorkbookFile(platform::Services& s, platform::Settings& settings, platform::CommonDialog& dialog,
                      const std::function<void(platform::xl::Workbook&)>& work, bool save,
                      const std::string& doneMessage, const std::string& failedMessage);

// The catalogue entries of a catalogue workbook: sheet 1, rows 3 down to the last filled
// cell of column A, columns A to J, in one block read.
std::vector<MaterialRecord> readCatalogueSheet(platform::xl::Workbook& wb);

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
