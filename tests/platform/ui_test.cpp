// The control model: list-view geometry and rows, window sizes, and a layout table that
// puts controls on the tabs of a tab container and wires their focus and key events.
#include <gtest/gtest.h>

#include "platform/ui.h"

namespace {

// A window that holds one list view.
struct ViewHost : ui::Window {
  ViewHost() : ui::Window("H", "H"), view(add<ui::ListView>("ListView1")) {}
  ui::ListView& view;
};

TEST(ListViewTest, ColumnsAndRowsReportTheirPlaceInTwips) {
  ViewHost host;
  ui::ListView& v = host.view;
  v.addColumn("A", 800);
  v.addColumn("B", 1250, ui::ListView::Align::Center);
  v.addColumn("C", 2500);
  EXPECT_EQ(v.columnLeft(0), 0);
  EXPECT_EQ(v.columnLeft(2), 2050);
  v.setColumnWidth(1, 1000);
  EXPECT_EQ(v.columnLeft(2), 1800);
  EXPECT_EQ(v.columns()[1].align, ui::ListView::Align::Center);
  // Rows stand under the heading row, one row height apart; hidden headings take no room.
  EXPECT_EQ(v.rowTop(0), 225);
  EXPECT_EQ(v.rowTop(3), 225 + 3 * 210);
  v.setHeadingsHidden(true);
  EXPECT_EQ(v.rowTop(0), 0);
}

TEST(ListViewTest, RemovingARowMovesTheRowsBelowAndKeepsTheSelectionOnItsRow) {
  ViewHost host;
  ui::ListView& v = host.view;
  for (const char* t : {"1", "2", "3", "4"}) v.addRow({t});
  int clicks = 0;
  v.onClick = [&] { ++clicks; };
  v.setSelectedRow(3);  // from code: no event
  EXPECT_EQ(clicks, 0);
  v.removeRow(1);
  EXPECT_EQ(v.selectedRow(), 2);
  EXPECT_EQ(v.cell(2, 0), "4");
  v.removeRow(2);
  EXPECT_EQ(v.selectedRow(), -1);  // the selected row went
  v.removeRow(7);                  // no such row: nothing happens
  EXPECT_EQ(v.rowCount(), 2);
  // A cell never written reads empty; writing one past the end grows the row.
  EXPECT_EQ(v.cell(0, 5), "");
  v.setCell(0, 5, "x");
  EXPECT_EQ(v.rows()[0].cells.size(), 6u);
  v.setSelectedRow(9);
  EXPECT_EQ(v.selectedRow(), -1);
  v.userSelect(1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(v.selectedRow(), 1);
}

TEST(WindowTest, OuterSizeAndClientSizeFollowEachOther) {
  ui::Window w("W", "W");
  w.setWidth(15375);
  w.setHeight(9000);
  EXPECT_EQ(w.width(), 15375);
  EXPECT_EQ(w.height(), 9000);
  EXPECT_EQ(w.clientWidth(), 15375 - 2 * ui::kWindowBorder);
  EXPECT_EQ(w.clientHeight(), 9000 - ui::kWindowCaption - 2 * ui::kWindowBorder);
  w.setClientSize(1000, 500);
  EXPECT_EQ(w.width(), 1000 + 2 * ui::kWindowBorder);
}

// A window laid out from a table: a tab container, a box on tab 1 with focus and key
// handlers, a list view on tab 0 with a double-click handler.
class TabbedWindow : public ui::Window {
 public:
  TabbedWindow() : ui::Window("T", "T") {
    using ui::Kind;
    using W = TabbedWindow;
    static const ui::ControlRow<W> kControls[] = {
        {"SSTab1", Kind::Tabs, nullptr, nullptr, 0, 0, 9000, 6000},
        {"Text1", Kind::TextBox, "SSTab1", nullptr, 100, 200, 300, 270, -1, nullptr, nullptr, 1, nullptr,
         &W::gotFocus, &W::keyDown, &W::keyUp},
        {"ListView1", Kind::ListView, "SSTab1", nullptr, 30, 690, 5000, 3000, -1, &W::clicked, nullptr, 0,
         &W::doubleClicked},
    };
    layOut(kControls);
  }
  std::vector<std::string> log;
  void gotFocus() { log.push_back("got focus"); }
  void keyDown(int& key, int) { log.push_back("down " + std::to_string(key)); }
  void keyUp(int& key, int) { log.push_back("up " + std::to_string(key)); }
  void clicked() { log.push_back("click"); }
  void doubleClicked() { log.push_back("dblclick"); }
};

TEST(WindowTest, LayoutTablePutsControlsOnTabsAndWiresFocusKeyAndDoubleClickEvents) {
  TabbedWindow w;
  ui::Control* tabs = w.control("SSTab1");
  ui::Control* text = w.control("Text1");
  ui::Control* list = w.control("ListView1");
  ASSERT_TRUE(tabs && text && list);
  EXPECT_EQ(text->container(), tabs);
  EXPECT_EQ(text->page(), 1);
  EXPECT_EQ(list->page(), 0);
  EXPECT_EQ(tabs->page(), -1);
  w.setFocus(*text);
  text->userKeyDown(40);  // Down: KeyDown, then KeyUp (no KeyPress handler)
  list->userDblClick();   // Click comes before DblClick
  std::vector<std::string> expected = {"got focus", "down 40", "up 40", "click", "dblclick"};
  EXPECT_EQ(w.log, expected);
  text->move(500, 220);  // placement by code
  EXPECT_EQ(text->left(), 500);
  EXPECT_EQ(text->width(), 300);
}

}  // namespace
