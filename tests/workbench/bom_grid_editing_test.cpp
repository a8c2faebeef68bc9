// Editing the BOM grid through the window's events: the row click and its placements,
// "+", "-" and "表格列宽恢复".
#include <gtest/gtest.h>

#include "workbench/bom_view_fixture.h"

namespace {

class GridEditingTest : public testing_support::BomViewTest {
 protected:
  // Rows numbered 1..n: 序号 k, 物料规格 "RATING k", 用量 "k", 位号 "Rk".
  void fill(int n) {
    for (int k = 1; k <= n; ++k) {
      std::string s = std::to_string(k);
      grid().addRow({s, "C" + s, "N" + s, "RATING " + s, "PCS", s, "R" + s, "0.1", "S", "0.5", "remark"});
    }
  }
  void clickRow(int row) {  // from 1
    program->dispatch([&] { grid().userSelect(row - 1); });
  }
  void plus() { click(w->command13); }
  void minus() { click(w->command14); }
  std::string row(const ui::ListView& v, int r) {
    std::string s;
    for (const auto& c : v.rows().at(static_cast<size_t>(r - 1)).cells) s += c + "|";
    return s;
  }
  std::string place(const ui::Control& c) {
    return std::to_string(c.left()) + " " + std::to_string(c.top()) + " " + std::to_string(c.width()) + " " +
           std::to_string(c.height());
  }
};

TEST_F(GridEditingTest, RowClickMakesTheRowCurrentAndPutsTheButtonsOnIt) {
  fill(20);
  struct Case {
    int row;
    int buttonTop;
  };
  // Rows stand 210 apart under a 225 heading; the buttons drop 755 from the row's top.
  const Case cases[] = {{1, 980}, {10, 225 + 9 * 210 + 755}, {20, 225 + 19 * 210 + 755}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    w->command11.move(3000, 5220, 375, 270);  // "C" on a search box
    clickRow(c.row);
    std::string s = std::to_string(c.row);
    EXPECT_EQ(place(w->command11), "11010 360 375 300");
    EXPECT_EQ(w->currentRowIndex, c.row);
    ASSERT_EQ(w->rowPreview().rowCount(), 1);
    EXPECT_EQ(row(w->rowPreview(), 1), s + "|C" + s + "|N" + s + "|RATING " + s + "|PCS|" + s + "|R" + s + "|");
    EXPECT_EQ(w->text2.text(), "RATING " + s);
    EXPECT_EQ(w->text6.text(), s);
    EXPECT_EQ(w->text7.text(), "R" + s);
    EXPECT_TRUE(w->text2.enabled());
    EXPECT_EQ(w->text2.backColor(), 8421631);
    EXPECT_EQ(place(w->command13), "605 " + std::to_string(c.buttonTop) + " 285 200");
    EXPECT_EQ(place(w->command14), "9605 " + std::to_string(c.buttonTop) + " 285 200");
    // The edit boxes over their columns; tops and heights stay.
    EXPECT_EQ(place(w->text5), "845 5220 1250 270");
    EXPECT_EQ(place(w->text3), "2095 5220 1250 270");
    EXPECT_EQ(place(w->text2), "3360 5220 2520 270");
    EXPECT_EQ(place(w->text6), "6585 5220 770 270");
    EXPECT_EQ(place(w->text7), "7335 5220 2520 270");
  }
  EXPECT_TRUE(world.user.messages().empty());
}

TEST_F(GridEditingTest, RowClickOnAnEmptyGridOnlySendsTheClearButtonHome) {
  w->command11.move(3000, 5220, 375, 270);
  click(grid());
  EXPECT_EQ(place(w->command11), "11010 360 375 300");
  EXPECT_EQ(w->rowPreview().rowCount(), 0);
  EXPECT_FALSE(w->text2.enabled());
  EXPECT_EQ(place(w->text2), "3330 5220 2530 270");
  EXPECT_EQ(place(w->command13), "600 980 285 200");
}

TEST_F(GridEditingTest, ClickBelowTheLastRowLinesUpTheStripButKeepsTheCurrentRow) {
  fill(3);
  clickRow(2);
  w->command13.move(1, 1500, 285, 200);
  click(grid());  // a click on the empty part of the grid selects no row
  EXPECT_EQ(grid().selectedRow(), -1);
  EXPECT_EQ(w->currentRowIndex, 2);
  EXPECT_EQ(row(w->rowPreview(), 1), "|");
  EXPECT_EQ(w->text2.text(), "RATING 2");
  EXPECT_EQ(place(w->command13), "605 1500 285 200");  // its left edge only
}

TEST_F(GridEditingTest, DraggedWidthsReachTheStripAtTheNextClickAndTheResetPutsTheDesignWidthsBack) {
  fill(2);
  grid().setColumnWidth(3, 3000);   // 物料规格 dragged wider
  grid().setColumnWidth(10, 4000);  // 备注
  clickRow(1);
  EXPECT_EQ(place(w->text2), "3360 5220 3020 270");
  EXPECT_EQ(place(w->text6), "7085 5220 770 270");
  EXPECT_EQ(place(w->text7), "7835 5220 2520 270");
  EXPECT_EQ(w->rowPreview().columnWidth(3), 3000);
  EXPECT_EQ(w->candidateGrid().columnWidth(3), 3000);
  click(w->command4);  // "表格列宽恢复"
  EXPECT_EQ(grid().columnWidth(3), 2500);
  EXPECT_EQ(grid().columnWidth(10), 4000);  // 备注 keeps the dragged width
  EXPECT_EQ(w->rowPreview().columnWidth(3), 2500);
  EXPECT_EQ(w->candidateGrid().columnWidth(3), 2500);
  EXPECT_EQ(place(w->text2), "3360 5220 2520 270");
  EXPECT_EQ(place(w->text6), "7085 5220 770 270");  // until the next row click
}

TEST_F(GridEditingTest, PlusOnAFilledGridAppendsANumberedPlaceholderRow) {
  fill(12);
  clickRow(12);
  plus();
  ASSERT_EQ(grid().rowCount(), 13);
  EXPECT_EQ(row(grid(), 13), "13|--|--|新增项目|--||--|||||");
  EXPECT_EQ(grid().selectedRow(), 12);
  EXPECT_EQ(w->currentRowIndex, 13);
  EXPECT_EQ(w->newRowFlag, 1);
  EXPECT_EQ(row(w->rowPreview(), 1), "13|--|--|新增项目|--||--|");
  EXPECT_EQ(w->text2.text(), "请输入");
  EXPECT_EQ(w->text6.text(), "");
  EXPECT_EQ(w->text7.text(), "");
  EXPECT_EQ(place(w->command13), "605 " + std::to_string(225 + 11 * 210 + 755) + " 285 200");  // not moved
}

TEST_F(GridEditingTest, PlusOnAnEmptyGridGivesARowWithoutNumberAndAPreviewOfZero) {
  plus();
  ASSERT_EQ(grid().rowCount(), 1);
  EXPECT_EQ(row(grid(), 1), "|--|--|新增项目|--||--|||||");
  EXPECT_EQ(row(w->rowPreview(), 1), "0|--|--|新增项目|--||--|");
  EXPECT_EQ(w->currentRowIndex, 1);
  EXPECT_FALSE(w->text2.enabled());  // "+" leaves the rating box's state alone
  plus();                            // the new row is selected and last: numbered after an empty 序号
  EXPECT_EQ(grid().cell(1, 0), "1");
}

TEST_F(GridEditingTest, PlusNumbersAfterTheRowAboveOrAboveATotalRow) {
  struct Case {
    std::vector<std::string> numbers;
    std::string expected;
  };
  const Case cases[] = {
      {{"7", "Total:"}, "8"},    {{"Chip", "1"}, "2"},  {{"1", "Top Part:"}, "1"},
      {{"Total:"}, ""},          {{" 4.5e1x"}, "46"},    {{"Total:", "Total:"}, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.numbers.back());
    program->dispatch([&] { grid().clearRows(); });
    for (const auto& n : c.numbers) grid().addRow({n, "", "", "X"});
    plus();  // no row selected: as if the last were
    EXPECT_EQ(grid().cell(grid().rowCount() - 1, 0), c.expected);
    EXPECT_EQ(grid().rowCount(), static_cast<int>(c.numbers.size()) + 1);
  }
}

TEST_F(GridEditingTest, PlusWithAnotherThanTheLastRowSelectedOnlyTellsTheUser) {
  fill(5);
  clickRow(2);
  plus();
  EXPECT_EQ(messages(), std::vector<std::string>{"请选中最后一行,再进行添加行!"});
  EXPECT_EQ(grid().rowCount(), 5);
  EXPECT_EQ(w->newRowFlag, 0);
  EXPECT_EQ(w->text2.text(), "RATING 2");
}

TEST_F(GridEditingTest, MinusRemovesTheCurrentRowAndTheNextBecomesCurrent) {
  fill(5);
  clickRow(3);
  minus();
  ASSERT_EQ(grid().rowCount(), 4);
  EXPECT_EQ(grid().cell(2, 0), "4");  // nothing renumbered
  EXPECT_EQ(grid().selectedRow(), 2);
  EXPECT_EQ(w->currentRowIndex, 3);
  EXPECT_EQ(row(w->rowPreview(), 1), "4|C4|N4|RATING 4|PCS|4|R4|");
  EXPECT_EQ(w->text2.text(), "RATING 4");
  EXPECT_EQ(w->text7.text(), "R4");
  // The current row goes even when another row is selected.
  program->dispatch([&] { grid().setSelectedRow(0); });
  minus();
  EXPECT_EQ(grid().cell(2, 0), "5");
  EXPECT_EQ(w->currentRowIndex, 3);
}

TEST_F(GridEditingTest, MinusOnTheLastRowLeavesNoRowSelectedAndASecondRemovesNothing) {
  fill(3);
  clickRow(3);
  minus();
  EXPECT_EQ(grid().rowCount(), 2);
  EXPECT_EQ(grid().selectedRow(), -1);
  EXPECT_EQ(w->currentRowIndex, 3);
  EXPECT_EQ(row(w->rowPreview(), 1), "|");
  EXPECT_EQ(w->text2.text(), "RATING 3");  // the removed row's texts stay
  minus();
  EXPECT_EQ(grid().rowCount(), 2);
}

TEST_F(GridEditingTest, MinusOnTheOnlyRowEmptiesTheBoxesAndBeforeAnyCurrentRowRemovesNothing) {
  fill(2);
  program->dispatch([&] { grid().setSelectedRow(1); });
  minus();  // CurrentRowIndex 0: the selected row becomes current
  EXPECT_EQ(grid().rowCount(), 2);
  EXPECT_EQ(w->currentRowIndex, 2);
  EXPECT_EQ(w->text2.text(), "RATING 2");
  minus();
  minus();
  EXPECT_EQ(grid().rowCount(), 1);
  clickRow(1);
  minus();
  EXPECT_EQ(grid().rowCount(), 0);
  EXPECT_EQ(w->text2.text(), "");
  EXPECT_EQ(w->text6.text(), "");
  EXPECT_EQ(w->text7.text(), "");
  EXPECT_TRUE(w->text2.enabled());
  EXPECT_EQ(w->text2.backColor(), 8421631);
}

}  // namespace
