// "自动匹配" over every grid row and the double-click match of one row: the package and
// value tests, what a commit keeps of the row, and the rows left alone.
#include <gtest/gtest.h>

#include "capture/settings_window.h"
#include "catalogue_fixture.h"

namespace {

using testing_support::CatalogueTest;
using vb::Variant;

class AutoMatchTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    connect(writeCatalogue("cat.xlsx", {
                                           entry("1", "R-1", "CHIP RES 0603", "10K 1%", 0.5),
                                           entry("2", "R-2", "CHIP RES 0402", "10K"),
                                           entry("3", "R-3", "CHIP RES 0805", "110K"),
                                           entry("4", "R-4", "CHIP RES 0805", "100K"),
                                           entry("5", "R-5", "CHIP RES 1206", "10KΩ"),
                                           entry("6", "X-1", "CRYSTAL", "#N/A"),
                                       }));
  }
  void autoMatch() { click(*w->control("Command6")); }
  void doubleClick(int r) {
    program->dispatch([&] {
      grid().setSelectedRow(r - 1);
      grid().userDblClick();
    });
  }
};

TEST_F(AutoMatchTest, EveryRowWithExactlyOneHitIsFilledAndKeepsItsQuantityAndDesignators) {
  addRow("RES 0603", "10k");         // one hit: the 0603 entry
  addRow("RES 0805", "10K");         // inside 110K only: one hit
  addRow("RES 0402 0603", " 10K ");  // "0402" wins; the value trimmed
  addRow("RES", "10K");              // no code: the whole name restricts (RES in all five)
  addRow("RES 0805", "");            // an empty value is never filled
  addRow("RES 0805", "1[0");         // not a well-formed pattern: left, and the run goes on
  addRow("RES 1206", "10KR");        // the key is folded: 10KΩ reads 10KR
  addRow("CRYSTAL", "[#]N/A");      // an error value is its text
  clickRow(1);
  autoMatch();
  EXPECT_EQ(lastMessage(), "      Okay!");
  EXPECT_EQ(gridRow(1), "1|R-1|CHIP RES 0603|10K 1%|PCS|2|r1,r2|0.5|ACME|1|note");
  EXPECT_EQ(grid().cell(1, workbench::kCodeColumn), "R-3");
  EXPECT_EQ(grid().cell(2, workbench::kCodeColumn), "R-2");
  EXPECT_EQ(gridRow(4), "4||RES|10K||2|r1,r2|||old|note");
  EXPECT_EQ(grid().cell(4, workbench::kCodeColumn), "");
  EXPECT_EQ(grid().cell(5, workbench::kCodeColumn), "");
  EXPECT_EQ(grid().cell(6, workbench::kCodeColumn), "R-5");
  EXPECT_EQ(grid().cell(7, workbench::kCodeColumn), "X-1");
  EXPECT_EQ(grid().selectedRow(), 7) << "the last row stays selected";
  EXPECT_EQ(w->currentRowIndex, 1);
}

TEST_F(AutoMatchTest, AnotherSpreadsheetSettingEndsOnlyTheCommand) {
  addRow("RES 0603", "10K");
  program->settings().spreadsheetProgram();
  static_cast<capture::SettingsWindow*>(program->existing(capture::SettingsWindow::kName))->combo5.setText("Calc");
  autoMatch();
  EXPECT_EQ(lastMessage(), "请在设置中选择BOM输出软件");
  EXPECT_FALSE(program->ended());
  EXPECT_EQ(grid().cell(0, workbench::kCodeColumn), "");
  EXPECT_TRUE(commands().catalogue().loaded());
}

TEST_F(AutoMatchTest, ADoubleClickedRowMatchesKeysThatBeginWithItsValue) {
  struct Case {
    const char* name;
    const char* value;
    std::vector<std::string> candidates;
  } cases[] = {
      {"RES", "10K", {"R-1", "R-2", "R-5"}},  // no code: every package; 110K does not begin with 10K
      {"RES 0805", "10K", {}},
      {"RES", "10kr", {"R-5"}},   // the key 10KR10KR
      {"RES", "10KΩ", {}},        // only the key is folded
      {"RES", "10K 1%10", {"R-1"}},  // the key is the rating twice over
      {"RES", "", {}},
      {"RES", "1[0", {}},
      {"RES", "  ", {"R-1", "R-2", "R-3", "R-4", "R-5", "X-1"}},  // blanks only: the package decides
      {"RES 0402", "10K", {}},  // the package code is looked for in the rating
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + "/" + c.value);
    grid().clearRows();
    addRow(c.name, c.value, "3", "r7");
    const size_t shown = messages().size();
    doubleClick(1);
    std::vector<std::string> listed;
    for (int r = 0; r < w->candidateGrid().rowCount(); ++r) listed.push_back(w->candidateGrid().cell(r, 1));
    EXPECT_EQ(listed, c.candidates);
    EXPECT_EQ(w->currentRowIndex, 1);
    if (c.candidates.empty()) EXPECT_EQ(lastMessage(), "   没有匹配结果!");
    else EXPECT_EQ(messages().size(), shown);
    if (c.candidates.size() == 1) {
      EXPECT_EQ(grid().cell(0, workbench::kDesignatorColumn), "R7");
      EXPECT_EQ(grid().cell(0, workbench::kCodeColumn), c.candidates[0]);
    } else {
      EXPECT_EQ(grid().cell(0, workbench::kCodeColumn), "");
    }
  }
}

}  // namespace

namespace {

// A grid and a catalogue large enough that the rows are matched side by side: every row
// still gets its own entry, committed in grid order.
TEST_F(AutoMatchTest, ALargeGridIsMatchedRowByRowAsASmallOneIs) {
  std::vector<Cells> entries;
  constexpr int kCount = 1200;
  for (int k = 1; k <= kCount; ++k)
    entries.push_back(entry(std::to_string(k), "M" + std::to_string(k), "CHIP RES 0603", "V" + std::to_string(k) + "X"));
  connect(writeCatalogue("large.xlsx", entries));
  for (int k = kCount; k >= 1; --k) addRow("R-0603", "v" + std::to_string(k) + "x");
  click(*w->control("Command6"));
  EXPECT_EQ(lastMessage(), "      Okay!");
  int wrong = 0;
  for (int r = 0; r < kCount; ++r) wrong += grid().cell(r, workbench::kCodeColumn) != "M" + std::to_string(kCount - r);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(grid().selectedRow(), kCount - 1);
}

TEST(UnitSymbolFold, OmegaFirstThenMuAndNoLookAlikes) {
  const std::pair<const char*, const char*> cases[] = {
      {"10KΩ", "10KR"}, {"4.7μF", "4.7UF"}, {"ΩμΩ", "RμR"}, {"1\u2126 2\u00B5F", "1\u2126 2\u00B5F"}, {"", ""}};
  for (auto [text, folded] : cases) EXPECT_EQ(catalogue::unitSymbolFold(text), folded) << text;
}

}  // namespace
