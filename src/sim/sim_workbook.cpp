#include "sim/sim_workbook.h"

#include <algorithm>
#include <filesystem>

#include "platform/files.h"
#include "sim/sim_sheet.h"
#include "sim/sim_spreadsheet.h"
#include "formats/workbook_files.h"
#include "sim/sim_files.h"
#include "vb/error.h"
#include "vb/text.h"

namespace sim {

bool SimWorkbook::sameName(const std::string& a, const std::string& b) { return vb::lcase(a) == vb::lcase(b); }

std::string SimWorkbook::nameFromPath(const std::string& path) {
  std::string base = platform::baseName(path);
  size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? base : base.substr(0, dot);
}

SimWorkbook::SimWorkbook(std::weak_ptr<WorkbookHost> host, std::string name, std::string fullName)
    : host_(std::move(host)), name_(std::move(name)), fullName_(std::move(fullName)) {}

Faults* SimWorkbook::faults() {
  auto h = host_.lock();
  return h ? &h->faults() : nullptr;
}

long SimWorkbook::indexOf(const platform::xl::Sheet* s) const {
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i].get() == s) return static_cast<long>(i);
  return -1;
}

platform::xl::SheetPtr SimWorkbook::sheet(long position) {
  if (position < 1 || position > sheetCount()) vb::raise(vb::kSubscript);
  return sheets_[static_cast<size_t>(position - 1)];
}

platform::xl::SheetPtr SimWorkbook::sheet(const std::string& name) {
  for (const auto& s : sheets_)
    if (sameName(s->name(), name)) return s;
  vb::raise(vb::kSubscript);
}

bool SimWorkbook::nameTaken(const std::string& name, const SimSheet* except) const {
  for (const auto& s : sheets_)
    if (s.get() != except && sameName(s->name(), name)) return true;
  return false;
}

std::string SimWorkbook::nextSheetName() {
  std::string name;
  do name = "Sheet" + std::to_string(nextSheetNumber_++);
  while (nameTaken(name, nullptr));
  return name;
}

std::shared_ptr<SimSheet> SimWorkbook::makeSheet(const std::string& name) {
  auto self = std::static_pointer_cast<SimWorkbook>(shared_from_this());
  return std::make_shared<SimSheet>(name, self);
}

std::shared_ptr<SimSheet> SimWorkbook::appendSheet(const std::string& name) {
  auto s = makeSheet(name.empty() ? nextSheetName() : name);
  sheets_.push_back(s);
  if (!active_) active_ = s.get();
  return s;
}

platform::xl::SheetPtr SimWorkbook::addSheet(platform::xl::Sheet* before, platform::xl::Sheet* after) {
  if (Faults* f = faults()) f->check("spreadsheet", "Sheets.Add");
  long at;
  if (before || after) {
    long i = indexOf(before ? before : after);
    if (i < 0) vb::raise(vb::kAppDefined, "Add method of Sheets class failed");
    at = before ? i : i + 1;
  } else {
    at = std::max(0L, indexOf(active_));
  }
  auto s = makeSheet(nextSheetName());
  sheets_.insert(sheets_.begin() + at, s);
  active_ = s.get();
  return s;
}

platform::xl::SheetPtr SimWorkbook::activeSheet() {
  if (!active_) {
    if (sheets_.empty()) vb::raise(vb::kObjectNotSet);
    active_ = sheets_.front().get();
  }
  return active_->shared_from_this();
}

void SimWorkbook::activate() {
  if (auto h = host_.lock()) h->activateWorkbook(*this);
}

void SimWorkbook::close() {
  if (Faults* f = faults()) f->check("spreadsheet", "Close");
  if (auto h = host_.lock()) h->closeWorkbook(*this);
}

void SimWorkbook::activateSheet(SimSheet& s) {
  if (indexOf(&s) < 0) return;
  active_ = &s;
  activate();
}

void SimWorkbook::removeSheet(SimSheet& s) {
  if (Faults* f = faults()) f->check("spreadsheet", "Sheets.Delete");
  long i = indexOf(&s);
  if (i < 0) vb::raise(vb::kAppDefined, "Delete method of Worksheet class failed");
  if (sheets_.size() == 1) vb::raise(vb::kAppDefined, "A workbook must contain at least one visible worksheet.");
  auto keep = sheets_[static_cast<size_t>(i)];  // alive until the bookkeeping is done
  sheets_.erase(sheets_.begin() + i);
  keep->detach();
  if (active_ == &s) active_ = sheets_[static_cast<size_t>(std::min<long>(i, sheetCount() - 1))].get();
}

void SimWorkbook::moveSheet(SimSheet& s, platform::xl::Sheet& other, bool after) {
  if (&s == &other) return;
  long i = indexOf(&s), j = indexOf(&other);
  if (i < 0 || j < 0) vb::raise(vb::kAppDefined, "Move method of Worksheet class failed");
  auto keep = sheets_[static_cast<size_t>(i)];
  sheets_.erase(sheets_.begin() + i);
  j = indexOf(&other);
  sheets_.insert(sheets_.begin() + (after ? j + 1 : j), keep);
}

long SimWorkbook::position(const platform::xl::Sheet& s) const { return indexOf(&s) + 1; }

void SimWorkbook::writeFile(const std::string& path) {
  std::string local = platform::localPath(path);
  if (Faults* f = faults(); f && f->writeFails(local)) vb::raise(vb::kPathAccess);
  try {
    writeXlsx(local);
  } catch (const formats::FileError& e) {
    raiseFileError(e);
  }
}

void SimWorkbook::save() {
  if (Faults* f = faults()) f->check("spreadsheet", "Save");
  if (fullName_.empty()) vb::raise(vb::kAppDefined, "The workbook has not been saved to a file yet.");
  writeFile(fullName_);
}

void SimWorkbook::saveAs(const std::string& path) {
  if (Faults* f = faults()) f->check("spreadsheet", "Save");
  writeFile(path);
  fullName_ = path;
  name_ = nameFromPath(path);
}

void SimWorkbook::load(const formats::WorkbookData& data) {
  for (auto& s : sheets_) s->detach();
  sheets_.clear();
  active_ = nullptr;
  for (const formats::SheetData& sd : data.sheets) {
    std::string name = sd.name.empty() || nameTaken(sd.name, nullptr) ? "" : sd.name;
    auto s = appendSheet(name);
    s->load(sd);
  }
  finishLoad(data.activeSheet);
}

void SimWorkbook::finishLoad(long active) {
  if (sheets_.empty()) appendSheet();
  nextSheetNumber_ = std::max(nextSheetNumber_, sheetCount() + 1);
  long a = std::clamp(active, 1L, sheetCount());
  active_ = sheets_[static_cast<size_t>(a - 1)].get();
}

}  // namespace sim
