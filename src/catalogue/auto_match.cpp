// Automatic matching: every grid row against the catalogue ("自动匹配"), or one
// double-clicked row, by the row's value and the package in its name.
#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

#include "catalogue/catalogue_commands.h"
#include "platform/workbook_helpers.h"
#include "vb/like.h"
#include "vb/text.h"

namespace catalogue {

using namespace workbench;

namespace {

constexpr size_t kNoHit = static_cast<size_t>(-1);
constexpr size_t kSeveralHits = static_cast<size_t>(-2);

// PackageKey: the first package code the name holds, as its bit in EntryKeys; none when
// the name holds no code.
std::optional<size_t> packageCode(std::string_view name) {
  for (size_t k = 0; k < kPackageCodes.size(); ++k)
    if (name.find(kPackageCodes[k]) != std::string_view::npos) return k;
  return std::nullopt;
}

// The tests of one grid row, prepared once for the whole catalogue.
struct RowTest {
  std::optional<size_t> package;              // a package code of the name
  std::optional<vb::LikePattern> wholeName;   // else (bulk only) "*" + the whole name + "*"
  vb::LikePattern value;                      // "*" + the value as the command writes it + "*"
  bool usable;                                // a value, and only patterns that are well formed

  bool packageMatches(uint8_t packages, std::string_view key) const {
    if (package) return (packages >> *package) & 1u;
    return !wholeName || wholeName->matches(key);
  }
};

RowTest bulkTest(const std::string& name, const std::string& value) {
  RowTest t{packageCode(name), std::nullopt, vb::LikePattern("*" + vb::ucase(vb::trim(value)) + "*"), !value.empty()};
  if (!t.package) t.wholeName.emplace("*" + name + "*");
  t.usable = t.usable && t.value.valid() && (!t.wholeName || t.wholeName->valid());
  return t;
}

// The double-click's value test: the key must begin with the value, so both get the
// marker "@" in front.
RowTest rowTest(const std::string& name, const std::string& value) {
  RowTest t{packageCode(name), std::nullopt, vb::LikePattern("*" + vb::ucase(vb::rtrim("@" + value)) + "*"),
            !value.empty()};
  t.usable = t.usable && t.value.valid();
  return t;
}

// The only entry that passes the bulk test, kNoHit or kSeveralHits.
size_t uniqueBulkHit(const MaterialCatalogue& cat, const RowTest& t) {
  if (!t.usable) return kNoHit;
  const MaterialCatalogue::BulkKeys& b = cat.bulkKeys();
  size_t hit = kNoHit;
  for (size_t k = 0; k < cat.size(); ++k) {
    if (!t.packageMatches(b.packages[k], b.keys[k]) || !t.value.matches(b.upperKeys[k])) continue;
    if (hit != kNoHit) return kSeveralHits;
    hit = k;
  }
  return hit;
}

}  // namespace

void CatalogueCommands::autoMatchAll() {
  ui::ListView& grid = view_.bomGrid();
  if (grid.rowCount() == 0) return;
  const std::string program = settings_.spreadsheetProgram();
  if (program != "Excel" && program != "WPS") {
    platform::notify(services_.user, platform::kTitle, platform::kChooseSpreadsheetMessage);
    return;
  }
  if (!catalogue_.loaded()) {
    grid.setSelectedRow(0);
    platform::notify(services_.user, platform::kTitle, kNotConnectedMessage);
    return;
  }
  // The rows are matched side by side, each on its own; the commits follow in grid order.
  const int rows = grid.rowCount();
  std::vector<size_t> hits(static_cast<size_t>(rows), kNoHit);
  auto matchRows = [&](int from, int to) {
    for (int r = from; r < to; ++r)
      hits[static_cast<size_t>(r)] =
          uniqueBulkHit(catalogue_, bulkTest(grid.cell(r, kNameColumn), grid.cell(r, kRatingColumn)));
  };
  const int workers = std::clamp<int>(static_cast<int>(std::thread::hardware_concurrency()), 1, 16);
  const long long work = static_cast<long long>(rows) * static_cast<long long>(catalogue_.size());
  if (workers == 1 || work < 1000000) {
    matchRows(0, rows);
  } else {
    std::vector<std::thread> threads;
    const int chunk = (rows + workers - 1) / workers;
    for (int from = 0; from < rows; from += chunk) threads.emplace_back(matchRows, from, std::min(rows, from + chunk));
    for (std::thread& t : threads) t.join();
  }
  for (int r = 0; r < rows; ++r) {
    grid.setSelectedRow(r);
    const size_t hit = hits[static_cast<size_t>(r)];
    if (hit != kNoHit && hit != kSeveralHits) commitEntry(r, entryTexts(hit), Commit::BulkMatch);
  }
  platform::notify(services_.user, platform::kTitle, kAutoMatchDoneMessage);
}

void CatalogueCommands::autoMatchRow() {
  ui::ListView& grid = view_.bomGrid();
  ui::ListView& candidates = view_.candidateGrid();
  candidates.clearRows();
  if (grid.rowCount() == 0) return;
  const int row = grid.selectedRow();
  if (row < 0) return;
  view_.currentRowIndex = row + 1;
  if (!catalogue_.loaded()) {
    platform::notify(services_.user, platform::kTitle, kNotConnectedMessage);
    return;
  }
  const RowTest t = rowTest(grid.cell(row, kNameColumn), grid.cell(row, kRatingColumn));
  size_t hits = 0, last = 0;
  if (t.usable)
    for (size_t k = 0; k < catalogue_.size(); ++k) {
      const EntryKeys& e = catalogue_.keys(k);
      if (!t.packageMatches(e.rowPackages, e.rowKey) || !t.value.matches(e.markedRowKey)) continue;
      listCandidate(k);
      last = k;
      ++hits;
    }
  if (hits == 1) commitEntry(row, entryTexts(last), Commit::RowMatch);
  else if (hits == 0) platform::notify(services_.user, platform::kTitle, kNoMatchMessage);
  else sizeCandidateColumns();
}

}  // namespace catalogue
