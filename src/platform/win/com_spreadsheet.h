#pragma once
// The spreadsheet interface over a real spreadsheet program (Excel.Application,
// ET.Application) driven through automation. Each member asks the program's own object
// model: areas travel as A1 addresses ("$A$1:$Q$100001"), blocks of values as one Value
// call each way, and the program's errors reach the caller with their numbers.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/spreadsheet.h"
#include "platform/win/automation.h"

namespace platform::win {

// The program's objects are referred to by these; no state of the program is cached, so
// every member reads the program's state as it is now. A workbook or sheet has one
// wrapper while the caller holds it, so the same workbook compares equal however it was
// reached (opened again, found by position, active), as it does on the stand-in.
class ComWorkbook;
class ComSheet;

class ComApplication final : public xl::Application {
 public:
  ComApplication(Automation application, std::string progId);

  std::string progId() const override { return progId_; }
  bool visible() const override;
  void setVisible(bool v) override;
  bool screenUpdating() const override;
  void setScreenUpdating(bool v) override;
  bool enableEvents() const override;
  void setEnableEvents(bool v) override;
  bool displayAlerts() const override;
  void setDisplayAlerts(bool v) override;
  int windowState() const override;
  void setWindowState(int state) override;

  long workbookCount() const override;
  xl::WorkbookPtr workbook(long position) override;
  xl::WorkbookPtr addWorkbook() override;
  xl::WorkbookPtr open(const std::string& path) override;
  xl::WorkbookPtr activeWorkbook() override;
  long rowsCount() const override;
  std::optional<std::string> getOpenFilename(const std::string& fileFilter, const std::string& title) override;

  const Automation& automation() const { return app_; }

 private:
  xl::WorkbookPtr wrap(Automation book);
  Automation app_;
  std::string progId_;
  std::vector<std::weak_ptr<ComWorkbook>> books_;
};

class ComWorkbook final : public xl::Workbook {
 public:
  ComWorkbook(Automation application, Automation workbook);

  std::string name() const override;
  std::string fullName() const override;
  long sheetCount() const override;
  xl::SheetPtr sheet(long position) override;
  xl::SheetPtr sheet(const std::string& name) override;
  xl::SheetPtr addSheet(xl::Sheet* before, xl::Sheet* after) override;
  xl::SheetPtr activeSheet() override;
  void activate() override;
  void save() override;
  void saveAs(const std::string& path) override;
  long position(const xl::Sheet& s) const override;
  void close() override;

  const Automation& automation() const { return book_; }

 private:
  xl::SheetPtr wrap(Automation sheet);
  Automation app_, book_;
  std::vector<std::weak_ptr<ComSheet>> sheets_;
};

class ComSheet final : public xl::Sheet {
 public:
  ComSheet(Automation application, std::shared_ptr<ComWorkbook> book, Automation sheet);

  std::string name() const override;
  void setName(const std::string& name) override;
  xl::Workbook& parent() override { return *book_; }
  void select() override;
  void remove() override;
  void moveAfter(xl::Sheet& other) override;
  void moveBefore(xl::Sheet& other) override;

  xl::Variant get(long row, long col) const override;
  xl::Table getBlock(const xl::Area& a) const override;
  void put(const xl::Area& a, const xl::Variant& v) override;
  void putBlock(const xl::Area& a, const xl::Table& t) override;
  void applyStyle(const xl::Area& a, const xl::StyleChange& change) override;
  xl::Style styleAt(long row, long col) const override;
  void borderAround(const xl::Area& a, std::optional<int> lineStyle, std::optional<int> weight,
                    std::optional<int> colorIndex) override;
  void setColumnWidth(long c1, long c2, double width) override;
  double columnWidth(long col) const override;
  void autoFit(const xl::Area& a) override;
  void merge(const xl::Area& a) override;
  // The program keeps no list of its merged areas: error 438.
  std::vector<xl::Area> merges() const override;
  void autoFilter(const xl::Area& a) override;
  std::optional<xl::Area> filter() const override;
  void clear(const xl::Area& a) override;
  void clearContents(const xl::Area& a) override;
  void deleteRows(long r1, long r2) override;
  void deleteColumns(long c1, long c2) override;
  void deleteShiftUp(const xl::Area& a) override;
  void select(const xl::Area& a) override;
  xl::Area selection() const override;
  xl::Area activeCell() const override;
  xl::Area end(long row, long col, int direction) const override;
  xl::Area currentRegion(long row, long col) const override;
  xl::Area usedArea() const override;
  void sort(const xl::Area& a, const xl::SortSpec& sorting) override;

  const Automation& automation() const { return sheet_; }

 private:
  Automation rangeOf(const xl::Area& a) const;
  Automation app_;
  std::shared_ptr<ComWorkbook> book_;
  Automation sheet_;
};

// The area a Range object covers, from its Row, Column, Rows.Count and Columns.Count.
xl::Area areaOf(const Automation& range);

// The spreadsheet interface over the program's Application object.
std::shared_ptr<xl::Application> comSpreadsheet(Automation application, std::string progId);

}  // namespace platform::win
