// The search boxes over the grid: Enter searches the catalogue with the code, name and
// rating boxes together, Up and Down step the current row, "C" empties a search box.
#include "catalogue/catalogue_commands.h"
#include "vb/like.h"
#include "vb/text.h"
#include "vb/utf8.h"

namespace catalogue {

using namespace workbench;

namespace {

constexpr int kEnter = 13, kUp = 38, kDown = 40;

// "*" + the box's text, trimmed and upper-cased, + "*": a containment test ignoring case,
// with the box's wildcards.
vb::LikePattern boxPattern(const ui::TextBox& box) { return vb::LikePattern("*" + vb::ucase(vb::trim(box.text())) + "*"); }

}  // namespace

void CatalogueCommands::search() {
  ui::ListView& grid = view_.bomGrid();
  if (grid.rowCount() == 0) return;
  if (view_.text5.text().empty() && view_.text3.text().empty() && view_.text2.text().empty()) return;
  const int row = selectCurrentRow();
  view_.candidateGrid().clearRows();
  parkClearButton();
  if (!catalogue_.loaded()) {
    platform::notify(services_.user, platform::kTitle, kNotConnectedMessage);
    return;
  }
  const vb::LikePattern rating = boxPattern(view_.text2), code = boxPattern(view_.text5), name = boxPattern(view_.text3);
  size_t hits = 0, last = 0;
  // A pattern that is not well formed matches nothing.
  if (rating.valid() && code.valid() && name.valid())
    for (size_t k = 0; k < catalogue_.size(); ++k) {
      const EntryKeys& e = catalogue_.keys(k);
      if (!rating.matches(e.upperFoldedRating) || !code.matches(e.upperCode) || !name.matches(e.upperName)) continue;
      listCandidate(k);
      last = k;
      ++hits;
    }
  if (hits == 1) commitEntry(row, entryTexts(last), Commit::Entry);
  else if (hits == 0) platform::notify(services_.user, platform::kTitle, kNoMatchMessage);
  else sizeCandidateColumns();
}

void CatalogueCommands::stepRow(int keyCode) {
  ui::ListView& grid = view_.bomGrid();
  if (grid.rowCount() == 0) return;
  const int current = view_.currentRowIndex;
  if (keyCode == kUp && current > 1 && current - 2 < grid.rowCount()) grid.setSelectedRow(current - 2);
  if (keyCode == kDown && current < grid.rowCount() && current >= 0) grid.setSelectedRow(current);
  const int row = grid.selectedRow();
  if (row < 0) return;
  view_.currentRowIndex = row + 1;
  ui::ListView& preview = view_.rowPreview();
  preview.clearRows();
  std::vector<std::string> cells;
  for (int c = 0; c < kPreviewColumnCount; ++c) cells.push_back(grid.cell(row, c));
  preview.addRow(std::move(cells));
  view_.text2.setEnabled(true);
  view_.text2.setBackColor(kRatingBoxActive);
  view_.text2.setText(grid.cell(row, kRatingColumn));
}

void CatalogueCommands::searchBoxKeyDown(int keyCode) {
  if (keyCode == kEnter) search();
  else if (keyCode == kUp || keyCode == kDown) stepRow(keyCode);
}

void CatalogueCommands::valueBoxKeyDown(int keyCode) {
  if (keyCode == kEnter) search();
}

void CatalogueCommands::searchBoxKeyUp(ui::TextBox& box, int keyCode) {
  if (keyCode == kUp || keyCode == kDown) box.setSelStart(static_cast<int>(vb::len(box.text())));
}

void CatalogueCommands::searchBoxGotFocus(ui::TextBox& box) {
  const int offset = &box == &view_.text5 ? kInCodeBoxOffset : kInBoxOffset;
  view_.command11.move(box.left() + box.width() - offset, box.top(), view_.command11.width(), box.height());
}

void CatalogueCommands::clearButtonClicked() {
  ui::Button& c = view_.command11;
  // The button finds its box by where it stands against the box's right edge.
  auto sitsIn = [&](const ui::TextBox& box, int offset) { return c.left() - box.left() - box.width() == -offset; };
  for (auto [box, offset] : {std::pair{&view_.text3, kInBoxOffset}, std::pair{&view_.text2, kInBoxOffset},
                             std::pair{&view_.text5, kInCodeBoxOffset}})
    if (sitsIn(*box, offset)) {
      box->setText("");
      view_.setFocus(*box);
      return;
    }
  if (c.left() == kParkedLeft)
    for (ui::TextBox* box : {&view_.text5, &view_.text3, &view_.text2}) box->setText("");
}

}  // namespace catalogue
