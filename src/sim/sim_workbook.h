#pragma once
// A workbook of the stand-in spreadsheet program: its sheets in tab order, the active
// sheet, its name and the file it came from.
#include <memory>
#include <string>
#include <vector>

#include "platform/spreadsheet.h"
#include "sim/faults.h"
#include "formats/workbook_data.h"

namespace sim {

class SimSheet;

// What a workbook needs of the program that holds it.
class WorkbookHost {
 public:
  virtual ~WorkbookHost() = default;
  virtual void activateWorkbook(platform::xl::Workbook& wb) = 0;
  virtual void closeWorkbook(platform::xl::Workbook& wb) = 0;
  virtual Faults& faults() = 0;
};

class SimWorkbook final : public platform::xl::Workbook {
 public:
  // An empty workbook; the host adds its sheets with appendSheet or from data.
  SimWorkbook(std::weak_ptr<WorkbookHost> host, std::string name, std::string fullName);

  std::string name() const override { return name_; }
  std::string fullName() const override { return fullName_.empty() ? name_ : fullName_; }
  long sheetCount() const override { return static_cast<long>(sheets_.size()); }
  platform::xl::SheetPtr sheet(long position) override;
  platform::xl::SheetPtr sheet(const std::string& name) override;
  platform::xl::SheetPtr addSheet(platform::xl::Sheet* before, platform::xl::Sheet* after) override;
  platform::xl::SheetPtr activeSheet() override;
  void activate() override;
  void save() override;
  void saveAs(const std::string& path) override;
  void close() override;
  long position(const platform::xl::Sheet& s) const override;

  // A new sheet at the end, named "SheetN" (N the next free number) unless named.
  std::shared_ptr<SimSheet> appendSheet(const std::string& name = "");
  // The sheets and the active sheet built from plain data.
  void load(const formats::WorkbookData& data);
  // The workbook files (sim_workbook_files.cpp), streamed through the sheets' store: the
  // workbook written as an .xlsx file at this local path, and its sheets and active sheet
  // read from a workbook file. A FileError when the file cannot be written or read.
  void writeXlsx(const std::string& localPath);
  // What the program tells the user about a file it read; empty when nothing.
  std::string readFile(const std::string& localPath);

  // Used by the sheets.
  void activateSheet(SimSheet& s);  // the sheet becomes the active one; the workbook too
  void removeSheet(SimSheet& s);    // error 1004 for the last sheet
  void moveSheet(SimSheet& s, platform::xl::Sheet& other, bool after);
  bool nameTaken(const std::string& name, const SimSheet* except) const;
  Faults* faults();

  // Whether two sheet or workbook names are the same, letter case ignored.
  static bool sameName(const std::string& a, const std::string& b);
  // The name a workbook takes from its file: "C:\work\BOM.xlsx" -> "BOM".
  static std::string nameFromPath(const std::string& path);

 private:
  std::shared_ptr<SimSheet> makeSheet(const std::string& name);
  std::string nextSheetName();
  long indexOf(const platform::xl::Sheet* s) const;  // -1 when not in this workbook
  void writeFile(const std::string& path);
  // After a load: a workbook has at least one sheet, and this one (from 1) is active.
  void finishLoad(long active);

  std::weak_ptr<WorkbookHost> host_;
  std::string name_, fullName_;
  std::vector<std::shared_ptr<SimSheet>> sheets_;
  SimSheet* active_ = nullptr;
  long nextSheetNumber_ = 1;
};


}  // namespace sim
