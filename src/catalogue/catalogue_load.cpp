// "连接数据库": the catalogue workbook read into memory through OpenWorkbookFile.
#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/catalogue_commands.h"
#include "platform/workbook_helpers.h"
#include "vb/error.h"

namespace catalogue {

namespace xl = platform::xl;

namespace {

constexpr long kFirstEntryRow = 3;

// The dialog's filter follows the spreadsheet program; another setting keeps the filter
// of the dialog's previous use.
void setUpDialog(platform::CommonDialog& dialog, const std::string& program) {
  dialog.property27 = 100;
  dialog.cancelError = true;
  if (program == "Excel") dialog.filter = "文件类型(*.xls)|*.xls";
  else if (program == "WPS") dialog.filter = "文件类型(*.et)|*.et";
  dialog.dialogTitle = "请选择将要打开的xls文件";
  dialog.flags = 4097;
}

}  // namespace

void openWorkbookFile(platform::Services& s, platform::Settings& settings, platform::CommonDialog& dialog,
                      const WorkbookJob& job) {
  vb::SkipOnError guard;
  std::string path;
  bool chosen = guard.step([&] {
    setUpDialog(dialog, settings.spreadsheetProgram());
    dialog.showOpen();
    path = dialog.fileName();
  });
  if (!chosen || path.empty()) return;

  const std::string id = platform::spreadsheetProgId(s, settings.spreadsheetProgram());
  xl::AppPtr app;
  if (!guard.step([&] { app = s.programs.attachSpreadsheet(id); })) return;
  bool wasVisible = true;
  int stateBefore = xl::kWindowNormal;
  guard.step([&] { wasVisible = app->visible(); });
  guard.step([&] { stateBefore = app->windowState(); });
  guard.step([&] { app->setVisible(false); });
  // After a failure the program's window comes back as it was before the command.
  auto giveBack = [&](const std::string& message) {
    guard.step([&] { app->setWindowState(stateBefore); });
    guard.step([&] { app->setVisible(wasVisible); });
    app.reset();
    platform::notify(s.user, platform::kTitle, message);
  };

  // A workbook that was open before the open stays open afterwards.
  std::vector<xl::WorkbookPtr> openBefore;
  guard.step([&] {
    for (long k = 1; k <= app->workbookCount(); ++k) openBefore.push_back(app->workbook(k));
  });
  xl::WorkbookPtr wb;
  try {
    wb = app->open(path);
  } catch (const vb::Error& e) {
    giveBack(job.failedMessage + "\n" + e.description());
    return;
  }
  const bool wasOpen = std::find(openBefore.begin(), openBefore.end(), wb) != openBefore.end();
  if (wasOpen && !job.alreadyOpenMessage.empty()) {
    giveBack(job.alreadyOpenMessage + "\n" + path);
    return;
  }

  // The work and the save succeed together or the workbook is left unsaved.
  std::string failure;
  bool worked = true;
  try {
    job.work(*wb);
    if (job.save) wb->save();
  } catch (const vb::Error& e) {
    worked = false;
    failure = e.description();
  }
  if (!wasOpen) guard.step([&] { wb->close(); });
  if (!worked) {
    giveBack(job.failedMessage + "\n" + failure);
    return;
  }
  guard.step([&] { app->setWindowState(xl::kWindowMinimized); });
  guard.step([&] { app->setVisible(true); });
  app.reset();
  platform::notify(s.user, platform::kTitle, job.doneMessage);
}

std::vector<MaterialRecord> readCatalogueSheet(xl::Workbook& wb) {
  xl::SheetPtr sheet = wb.sheet(1);
  const long last = platform::lastUsedRow(*sheet, 1);
  std::vector<MaterialRecord> entries;
  if (last < kFirstEntryRow) return entries;  // only the heading rows: no entry
  vb::Table block = platform::blockRead(sheet->range("A3:J" + std::to_string(last)));
  entries.resize(static_cast<size_t>(block.rows()));
  for (long r = 1; r <= block.rows(); ++r)
    for (long c = 1; c <= block.cols() && c <= kRecordFields; ++c)
      entries[static_cast<size_t>(r - 1)].cells[static_cast<size_t>(c - 1)] = std::move(block(r, c));
  return entries;
}

void CatalogueCommands::connectCatalogue() {
  WorkbookJob job;
  job.work = [&](xl::Workbook& wb) { catalogue_.replace(readCatalogueSheet(wb)); };
  job.doneMessage = kConnectedMessage;
  job.failedMessage = kConnectFailedMessage;
  openWorkbookFile(services_, settings_, dialog_(), job);
}

}  // namespace catalogue
