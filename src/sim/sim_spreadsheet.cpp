// The stand-in spreadsheet program: the application with its open workbooks.
#include "sim/sim_spreadsheet.h"

#include "sim/sim_sheet.h"
#include "sim/sim_workbook.h"
#include "formats/workbook_files.h"
#include "sim/sim_files.h"
#include "vb/error.h"

namespace sim {

namespace xl = platform::xl;

namespace {

class SimApp final : public SimSpreadsheet, public WorkbookHost {
 public:
  SimApp(std::string progId, Faults& faults, platform::Files& files, platform::User* alerts)
      : progId_(std::move(progId)), faults_(faults), files_(files), alerts_(alerts) {}

  std::string progId() const override { return progId_; }
  bool visible() const override { return visible_; }
  void setVisible(bool v) override { visible_ = v; }
  bool screenUpdating() const override { return screenUpdating_; }
  void setScreenUpdating(bool v) override { screenUpdating_ = v; }
  bool enableEvents() const override { return enableEvents_; }
  void setEnableEvents(bool v) override { enableEvents_ = v; }
  bool displayAlerts() const override { return displayAlerts_; }
  void setDisplayAlerts(bool v) override { displayAlerts_ = v; }
  bool minimized() const override { return minimized_; }
  void setMinimized(bool m) override { minimized_ = m; }
  int windowState() const override { return minimized_ ? xl::kWindowMinimized : xl::kWindowNormal; }
  void setWindowState(int state) override {
    if (state != xl::kWindowNormal && state != xl::kWindowMinimized && state != xl::kWindowMaximized)
      vb::raise(vb::kAppDefined, "Unable to set the WindowState property of the Application class");
    minimized_ = state == xl::kWindowMinimized;
  }

  long workbookCount() const override { return static_cast<long>(books_.size()); }

  xl::WorkbookPtr workbook(long position) override {
    if (position < 1 || position > workbookCount()) vb::raise(vb::kSubscript);
    return books_[static_cast<size_t>(position - 1)];
  }

  std::vector<xl::WorkbookPtr> workbooks() override { return {books_.begin(), books_.end()}; }

  xl::WorkbookPtr addWorkbook() override {
    faults_.check("spreadsheet", "Workbooks.Add");
    auto wb = newWorkbook(nextBookName(), "");
    for (int i = 0; i < 3; ++i) wb->appendSheet();
    return wb;
  }

  xl::WorkbookPtr open(const std::string& path) override {
    faults_.check("spreadsheet", "Open");
    for (const auto& wb : books_)  // a workbook already open from that file is activated
      if (SimWorkbook::sameName(platform::localPath(wb->fullName()), platform::localPath(path))) {
        active_ = wb;
        return wb;
      }
    // The file is read into a workbook of its own, which joins the open ones only once
    // the whole file was read.
    auto wb = makeWorkbook(SimWorkbook::nameFromPath(path), path);
    std::string notice;
    try {
      try {
        notice = wb->readFile(platform::localPath(path));
      } catch (const formats::FileError& e) {
        raiseFileError(e);
      }
    } catch (const vb::Error& e) {
      if (alerts_ && displayAlerts_) platform::notify(*alerts_, progId_, e.description(), platform::Icon::Critical);
      throw;
    }
    books_.push_back(wb);
    active_ = wb;
    // The stand-in computes no formulas: the user learns that cells read as empty.
    if (!notice.empty() && alerts_ && displayAlerts_)
      platform::notify(*alerts_, progId_, notice, platform::Icon::Exclamation);
    return wb;
  }

  xl::WorkbookPtr activeWorkbook() override {
    if (!active_) vb::raise(vb::kObjectNotSet);
    return active_;
  }

  // The user answers as in any open-file dialog; without a user the dialog is cancelled.
  std::optional<std::string> getOpenFilename(const std::string& fileFilter, const std::string& title) override {
    faults_.check("spreadsheet", "GetOpenFilename");
    if (!alerts_) return std::nullopt;
    return alerts_->openFile(title, fileFilter, 0);
  }

  void userActivateSheet(const std::string& name) override { activeWorkbook()->sheet(name)->select(); }

  xl::WorkbookPtr addWorkbookFromData(const formats::WorkbookData& data) override {
    auto wb = newWorkbook(data.name.empty() ? nextBookName() : data.name, data.fullName);
    wb->load(data);
    return wb;
  }

  // WorkbookHost
  void activateWorkbook(xl::Workbook& wb) override {
    for (const auto& b : books_)
      if (b.get() == &wb) active_ = b;
  }
  void closeWorkbook(xl::Workbook& wb) override {
    for (auto it = books_.begin(); it != books_.end(); ++it)
      if (it->get() == &wb) {
        auto closing = *it;  // alive until the bookkeeping is done
        books_.erase(it);
        if (active_ == closing) active_ = books_.empty() ? nullptr : books_.back();
        return;
      }
  }
  Faults& faults() override { return faults_; }

 private:
  std::string nextBookName() { return "Book" + std::to_string(++booksMade_); }

  // A new workbook without sheets, not yet one of the open ones.
  std::shared_ptr<SimWorkbook> makeWorkbook(const std::string& name, const std::string& fullName) {
    std::shared_ptr<WorkbookHost> host(shared_from_this(), static_cast<WorkbookHost*>(this));
    return std::make_shared<SimWorkbook>(host, name, fullName);
  }

  // A new workbook without sheets, added as the active one.
  std::shared_ptr<SimWorkbook> newWorkbook(const std::string& name, const std::string& fullName) {
    auto wb = makeWorkbook(name, fullName);
    books_.push_back(wb);
    active_ = wb;
    return wb;
  }

  std::string progId_;
  Faults& faults_;
  [[maybe_unused]] platform::Files& files_;
  platform::User* alerts_;
  bool visible_ = false, screenUpdating_ = true, enableEvents_ = true, displayAlerts_ = true, minimized_ = false;
  std::vector<std::shared_ptr<SimWorkbook>> books_;
  std::shared_ptr<SimWorkbook> active_;
  long booksMade_ = 0;
};

}  // namespace

std::shared_ptr<SimSpreadsheet> makeSimSpreadsheet(const std::string& progId, Faults& faults,
                                                   platform::Files& files, platform::User* alerts) {
  return std::make_shared<SimApp>(progId, faults, files, alerts);
}

formats::WorkbookData toData(xl::Workbook& wb) {
  formats::WorkbookData d;
  d.name = wb.name();
  if (wb.fullName() != d.name) d.fullName = wb.fullName();
  const xl::Style plain;
  for (long i = 1; i <= wb.sheetCount(); ++i) {
    xl::SheetPtr s = wb.sheet(i);
    formats::SheetData sd;
    sd.name = s->name();
    const xl::Area used = s->usedArea();
    const xl::Table values = s->getBlock(used);
    sd.cells.reserve(static_cast<size_t>(used.count()));
    for (long r = used.r1; r <= used.r2; ++r)
      for (long c = used.c1; c <= used.c2; ++c) {
        const xl::Variant& v = values(r - used.r1 + 1, c - used.c1 + 1);
        xl::Style st = s->styleAt(r, c);
        if (!v.isEmpty() || !(st == plain)) sd.cells.push_back(formats::CellData{r, c, v, std::move(st)});
      }
    for (long c = 1; c <= xl::kMaxCols; ++c) {
      double w = s->columnWidth(c);
      if (w != SimSheet::kDefaultWidth) sd.columnWidths[c] = w;
    }
    sd.merges = s->merges();
    sd.filter = s->filter();
    d.sheets.push_back(std::move(sd));
  }
  if (wb.sheetCount() > 0) d.activeSheet = std::max(1L, wb.position(*wb.activeSheet()));
  return d;
}

void saveCopyAsXlsx(xl::Workbook& wb, const std::string& localPath) {
  if (auto* own = dynamic_cast<SimWorkbook*>(&wb)) own->writeXlsx(localPath);
  else formats::saveXlsx(toData(wb), localPath);
}

}  // namespace sim
