// A workbook of the stand-in to and from the workbook files: the sheets' cells stream
// between the store and the file, with no copy of the workbook on the way.
#include <algorithm>
#include <deque>

#include "formats/workbook_files.h"
#include "sim/sim_sheet.h"
#include "sim/sim_workbook.h"

namespace sim {

namespace {

// The workbook as the writer takes it; the looks of all its sheets in one table.
class Source final : public formats::WorkbookSource {
 public:
  Source(std::vector<std::shared_ptr<SimSheet>> sheets, size_t active) : sheets_(std::move(sheets)), active_(active) {}
  size_t sheetCount() const override { return sheets_.size(); }
  formats::SheetFrame frame(size_t i) override { return sheets_[i]->frame(); }
  void rows(size_t i, formats::RowSink& sink) override { sheets_[i]->writeRows(sink, looks_); }
  std::vector<platform::xl::Style> styles() override { return looks_.looks(); }
  size_t activeSheet() const override { return active_; }

 private:
  std::vector<std::shared_ptr<SimSheet>> sheets_;
  size_t active_;
  formats::LookTable looks_;
};

// A file's sheets read into the workbook, each through a loader of its own, so the
// sheets can be read side by side.
class Sink final : public formats::WorkbookSink {
 public:
  explicit Sink(SimWorkbook& wb) : wb_(wb) {}
  void styles(std::vector<platform::xl::Style> looks) override { looks_ = std::move(looks); }
  formats::SheetSink& sheet(const std::string& name) override {
    // The names come usable and unique from the reader; a clash with a name the
    // workbook gave already takes the next free one.
    auto s = wb_.appendSheet(wb_.nameTaken(name, nullptr) ? "" : name);
    return sheets_.emplace_back(*s, looks_);
  }
  void activeSheet(size_t sheet) override { active_ = static_cast<long>(sheet) + 1; }
  long active() const { return active_; }

  // The cells that hold a formula without a stored result, and where the first is.
  std::string formulasWithoutResult() const {
    long count = 0;
    std::string first;
    for (const Sheet& s : sheets_) {
      if (first.empty() && s.firstFormula)
        first = s.name + "!" + platform::xl::columnLetters(s.firstFormula->c1) + std::to_string(s.firstFormula->r1);
      count += s.formulas;
    }
    if (count == 0) return "";
    return count == 1 ? "1 cell holds a formula without a stored result and reads as empty (" + first + ")"
                      : std::to_string(count) + " cells hold formulas without a stored result and read as empty "
                                                "(the first is " + first + ")";
  }

 private:
  class Sheet final : public formats::SheetSink {
   public:
    Sheet(SimSheet& sheet, const std::vector<platform::xl::Style>& looks) : name(sheet.name()), loader_(sheet, looks) {}
    void cell(long row, long col, vb::Variant&& value, formats::StyleIndex style) override {
      loader_.cell(row, col, std::move(value), style);
    }
    void end(formats::SheetFrame&& frame) override {
      formulas = frame.formulasWithoutResult;
      firstFormula = frame.firstFormulaWithoutResult;
      loader_.finish(std::move(frame));
    }

    std::string name;
    long formulas = 0;
    std::optional<platform::xl::Area> firstFormula;

   private:
    SimSheet::Loader loader_;
  };

  SimWorkbook& wb_;
  std::vector<platform::xl::Style> looks_;
  std::deque<Sheet> sheets_;
  long active_ = 1;
};

}  // namespace

void SimWorkbook::writeXlsx(const std::string& localPath) {
  const size_t active = active_ ? static_cast<size_t>(std::max(0L, indexOf(active_))) : 0;
  Source source(sheets_, active);
  formats::saveXlsx(source, localPath);
}

std::string SimWorkbook::readFile(const std::string& localPath) {
  for (auto& s : sheets_) s->detach();
  sheets_.clear();
  active_ = nullptr;
  Sink sink(*this);
  formats::readWorkbookFile(localPath, sink);
  finishLoad(sink.active());
  return sink.formulasWithoutResult();
}

}  // namespace sim
