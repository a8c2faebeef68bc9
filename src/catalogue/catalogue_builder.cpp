// The hidden rebuild of a catalogue workbook's first sheet from its second and third
// sheets, behind a double-click on the code box holding the access code.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/catalogue_commands.h"
#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace catalogue {

namespace xl = platform::xl;

namespace {

constexpr long kSourceSheets[] = {2, 3};
constexpr long kFirstSourceRow = 2;  // below the source sheet's heading row
constexpr long kSourceColumns = 4;   // 物料编码, 物料名称, 物料规格, 单位
constexpr long kFirstEntryRow = 3;   // of sheet 1, below its title and heading rows
constexpr long kColumns = 10;        // A to J
constexpr long kKeptFirst = 6;       // F: the first column that goes with its 物料编码
constexpr long kKeptColumns = kColumns - kKeptFirst + 1;
constexpr long kCodeColumn = 2;      // B on sheet 1

const char* const kHeadings[] = {"序号", "物料编码", "物料名称", "物料规格", "单位"};

std::string rows(const char* from, const char* to, long first, long last) {
  return from + std::to_string(first) + ":" + to + std::to_string(last);
}

// The entries of a source sheet, one block read; nothing when it holds only its heading.
vb::Table readSource(xl::Sheet& sheet) {
  const long last = platform::lastUsedRow(sheet, 1);
  if (last < kFirstSourceRow) return {};
  return platform::blockRead(sheet.range(rows("A", "D", kFirstSourceRow, last)));
}

// The last entry row of sheet 1 in any of its columns, so an old row whose 序号 is empty
// is rebuilt (or dropped) all the same.
long lastEntryRow(xl::Sheet& sheet) {
  long last = 1;
  for (long c = 1; c <= kColumns; ++c) last = std::max(last, platform::lastUsedRow(sheet, c));
  return last;
}

// Columns F to J of the old rows by their 物料编码; the first row of a code counts.
using KeptColumns = std::unordered_map<std::string, std::vector<vb::Variant>>;
KeptColumns keptColumnsByCode(const vb::Table& old) {
  KeptColumns kept;
  kept.reserve(static_cast<size_t>(old.rows()));
  for (long r = 1; r <= old.rows(); ++r) {
    const std::string code = vb::toText(old(r, kCodeColumn));
    if (code.empty() || kept.count(code)) continue;
    std::vector<vb::Variant> cells;
    cells.reserve(kKeptColumns);
    for (long c = kKeptFirst; c <= kColumns; ++c) cells.push_back(old(r, c));
    kept.emplace(code, std::move(cells));
  }
  return kept;
}

}  // namespace

void rebuildCatalogueSheet(xl::Workbook& wb) {
  if (wb.sheetCount() < 3) vb::raise(vb::kSubscript, "The workbook has fewer than three sheets.");
  xl::SheetPtr target = wb.sheet(1);
  std::vector<vb::Table> sources;
  long count = 0;
  for (long k : kSourceSheets) {
    sources.push_back(readSource(*wb.sheet(k)));
    count += sources.back().rows();
  }
  platform::checkListFitsSheet(count + kFirstEntryRow - 1);

  const long oldLast = lastEntryRow(*target);
  KeptColumns kept;
  if (oldLast >= kFirstEntryRow)
    kept = keptColumnsByCode(platform::blockRead(target->range(rows("A", "J", kFirstEntryRow, oldLast))));

  vb::Table built(count, kColumns);
  long n = 0;
  for (const vb::Table& source : sources)
    for (long i = 1; i <= source.rows(); ++i) {
      ++n;
      built(n, 1) = vb::Variant(static_cast<double>(n));
      for (long c = 1; c <= kSourceColumns && c <= source.cols(); ++c) built(n, c + 1) = source(i, c);
      auto found = kept.find(vb::toText(built(n, kCodeColumn)));
      if (found == kept.end()) continue;
      for (long c = 0; c < kKeptColumns; ++c) built(n, kKeptFirst + c) = found->second[static_cast<size_t>(c)];
    }

  if (oldLast >= kFirstEntryRow) target->range(rows("a", "j", kFirstEntryRow, oldLast)).clear();
  if (count > 0) {
    // Texts are kept as texts ("0402" is no number): the text format goes on columns B to
    // E and on each of F to J that holds a text, so columns of numbers keep the general
    // format. Numbers stay numbers in a "@" cell.
    const long last = kFirstEntryRow + count - 1;
    platform::textFirst(target->range(rows("B", "E", kFirstEntryRow, last)));
    for (long c = kKeptFirst; c <= kColumns; ++c)
      for (long r = 1; r <= count; ++r)
        if (built(r, c).isText()) {
          platform::textFirst(target->cell(kFirstEntryRow, c).resize(count, 1));
          break;
        }
    platform::blockWrite(target->cell(kFirstEntryRow, 1), built);
  }
  vb::Table heading(1, 5);
  for (long c = 1; c <= 5; ++c) heading(1, c) = vb::Variant(kHeadings[c - 1]);
  target->range("a2:e2").setValues(heading);
}

void CatalogueCommands::codeBoxDoubleClicked() {
  if (view_.text5.text() != kBuilderAccessCode) return;
  WorkbookJob job;
  job.work = rebuildCatalogueSheet;
  job.save = true;
  job.doneMessage = kBuiltMessage;
  job.failedMessage = kBuildFailedMessage;
  job.alreadyOpenMessage = kBuildWorkbookOpenMessage;
  openWorkbookFile(services_, settings_, dialog_(), job);
}

}  // namespace catalogue
