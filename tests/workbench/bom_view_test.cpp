// The BOM workbench window: what its first opening shows, where its controls and grid
// columns stand, the two sizes a tab change gives it, and what a close keeps.
#include <gtest/gtest.h>

#include "workbench/bom_view_fixture.h"

namespace {

class BomViewTest : public testing_support::BomViewTest {
 protected:
  // The window the toolbar's "BOM" shows (it opened it once already at the set-up).
  workbench::BomView& open() {
    if (!w->visible()) click(tool().command7);
    return static_cast<workbench::BomView&>(*program->existing("BOM_View"));
  }
  void selectTab(workbench::BomView& view, int tab) {
    program->dispatch([&] { view.ssTab1.userSelect(tab); });
  }
};

TEST_F(BomViewTest, FirstOpeningShowsTheWideGridTabWithItsStartTexts) {
  workbench::BomView& view = open();
  EXPECT_TRUE(view.visible());
  EXPECT_EQ(view.caption(), "BOM");
  EXPECT_EQ(view.ssTab1.tab(), 1);
  std::vector<std::string> tabs = {"BOM View", "标准化BOM", "Velmora说明", "Logic<->Layout"};
  EXPECT_EQ(view.ssTab1.captions(), tabs);
  EXPECT_EQ(view.width(), 15375);
  EXPECT_EQ(view.height(), 9000);
  EXPECT_EQ(view.ssTab1.width(), 15300);
  EXPECT_EQ(view.ssTab1.height(), 8500);
  EXPECT_EQ(view.listView3.width(), 15200);
  EXPECT_EQ(view.listView3.height(), 3000);
  EXPECT_EQ(view.listView2.width(), 15200);
  EXPECT_EQ(view.listView2.height(), 4500);
  EXPECT_EQ(view.bomGrid().rowCount(), 0);
  EXPECT_EQ(view.text1.text(), "100");
  EXPECT_EQ(view.text8.text(), "100");
  EXPECT_EQ(view.combo2.text(), "Layout");
  EXPECT_EQ(view.combo2.items(), (std::vector<std::string>{"Layout", "Logic"}));
  EXPECT_TRUE(view.check1.checked());
  EXPECT_EQ(view.check1.caption(), "同步修改");
  EXPECT_FALSE(view.text2.enabled());
  EXPECT_EQ(view.text2.backColor(), 14737632);
  EXPECT_EQ(view.label2.caption(), workbench::kAboutText);
  EXPECT_EQ(view.newRowFlag, 0);
  EXPECT_EQ(view.currentRowIndex, 0);
  EXPECT_FALSE(tool().visible());
  EXPECT_TRUE(world.user.messages().empty());
}

TEST_F(BomViewTest, ControlsStandOnTheirTabsWithTheirCaptionsAndPlaces) {
  workbench::BomView& view = open();
  struct Case {
    const char* name;
    int page;
    const char* text;
    int left, top, width, height;
  };
  const Case cases[] = {
      {"Label4", 0, "选择软件:", 60, 450, 855, 195},      {"Text1", 0, "100", 2880, 360, 975, 295},
      {"属性", 0, "元件属性:", 3900, 480, 855, 195},      {"Command2", 0, "Export", 9450, 360, 735, 315},
      {"List3", 0, "", 9360, 1050, 885, 5640},           {"Command5", 1, "导入初始BOM", 60, 360, 1155, 300},
      {"Command4", 1, "表格列宽恢复", 3270, 360, 1245, 300}, {"Command15", 1, "特殊BOM", 10050, 360, 885, 300},
      {"Command11", 1, "C", 11010, 360, 375, 300},       {"ListView2", 1, "", 30, 690, 15200, 4500},
      {"Command13", 1, "+", 600, 980, 285, 200},         {"Command14", 1, "-", 9600, 980, 285, 200},
      {"ListView4", 1, "", 30, 5175, 9825, 315},         {"Text5", 1, "", 840, 5220, 1250, 270},
      {"Text2", 1, "", 3330, 5220, 2530, 270},           {"Text7", 1, "", 7350, 5220, 2505, 270},
      {"Label10", 1, "", 6660, 5250, 645, 195},          {"ListView3", 1, "", 30, 5460, 15200, 3000},
      {"Label2", 2, workbench::kAboutText, 30, 630, 10215, 6345},
      {"Command16", 3, "导入对比xls", 150, 345, 1245, 300}, {"Command18", 3, "M", 8400, 1010, 285, 260},
      {"Text9", 3, "", 8700, 1010, 1275, 270},           {"ListView6", 3, "", 5130, 660, 5145, 6015},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui::Control* ctl = view.control(c.name);
    ASSERT_NE(ctl, nullptr);
    EXPECT_EQ(ctl->container(), &view.ssTab1);
    EXPECT_EQ(ctl->page(), c.page);
    EXPECT_EQ(ctl->displayText(), c.text);
    EXPECT_EQ(ctl->left(), c.left);
    EXPECT_EQ(ctl->top(), c.top);
    EXPECT_EQ(ctl->width(), c.width);
    EXPECT_EQ(ctl->height(), c.height);
  }
}

std::string columnsOf(const ui::ListView& v) {
  std::string s;
  for (const auto& c : v.columns())
    s += c.header + " " + std::to_string(c.width) + (c.align == ui::ListView::Align::Center ? " centred" : "") + "; ";
  return s + v.fontName() + " " + std::to_string(static_cast<int>(v.fontSize()));
}

TEST_F(BomViewTest, TheSixListViewsHaveTheirColumnsWidthsAlignmentAndFonts) {
  workbench::BomView& view = open();
  EXPECT_EQ(columnsOf(view.listView1), "No. 1000; Value 2000; Decal 2500; Qty 500 centred; Name 3000; 宋体 9");
  EXPECT_EQ(columnsOf(view.bomGrid()),
            "序号 800; 物料编码 1250; 物料名称 1250; 物料规格 2500; 单位 750; 用量 750; 位号 2500; 单价 800; "
            "供应商 1000; 报价 750 centred; 备注 2500; 宋体 9");
  EXPECT_EQ(columnsOf(view.candidateGrid()),
            "序号 800; 物料编码 1250; 物料名称 1250; 物料规格 2500; 单位 750; 用量 750; 位号 2500; 单价 800; "
            "供应商 1000; 报价 750; 宋体 9");
  EXPECT_EQ(columnsOf(view.rowPreview()), " 800;  1250;  1250;  2500;  750;  750;  2500; 宋体 12");
  EXPECT_TRUE(view.rowPreview().headingsHidden());
  EXPECT_EQ(columnsOf(view.listView5), "序号 750; Logic 1000; 元件封装 1750; 元件参数 1300; 宋体 12");
  EXPECT_EQ(columnsOf(view.listView6), "序号 750; Layout 1000; 元件封装 1750; 元件参数 1300; 宋体 12");
  EXPECT_EQ(view.bomGrid().backColor(), workbench::kGridBackColor);
  EXPECT_EQ(view.candidateGrid().backColor(), 16777215);
}

TEST_F(BomViewTest, TheGridTabIsWideAndEveryOtherTabNarrow) {
  workbench::BomView& view = open();
  struct Case {
    int tab;
    int width, height, containerWidth, containerHeight, candidateWidth, candidateHeight, gridWidth;
  };
  const Case cases[] = {
      {0, 10425, 7230, 10305, 6725, 10245, 1515, 10245}, {1, 15375, 9000, 15300, 8500, 15200, 3000, 15200},
      {3, 10425, 7230, 10305, 6725, 10245, 1515, 10245}, {2, 10425, 7230, 10305, 6725, 10245, 1515, 10245},
      {1, 15375, 9000, 15300, 8500, 15200, 3000, 15200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tab);
    selectTab(view, c.tab);
    EXPECT_EQ(view.width(), c.width);
    EXPECT_EQ(view.height(), c.height);
    EXPECT_EQ(view.ssTab1.width(), c.containerWidth);
    EXPECT_EQ(view.ssTab1.height(), c.containerHeight);
    EXPECT_EQ(view.listView3.width(), c.candidateWidth);
    EXPECT_EQ(view.listView3.height(), c.candidateHeight);
    EXPECT_EQ(view.listView2.width(), c.gridWidth);
    EXPECT_EQ(view.listView2.height(), 4500);  // and every place stays
    EXPECT_EQ(view.listView3.top(), 5460);
    EXPECT_EQ(view.command11.left(), 11010);
  }
}

TEST_F(BomViewTest, ClosingHidesTheWindowWithItsContentsAndReopeningShowsThemAsLeft) {
  workbench::BomView& view = open();
  view.bomGrid().addRow({"1", "", "R0603"});
  view.newRowFlag = 1;
  program->dispatch([&] { view.text1.setText("250"); });
  selectTab(view, 3);
  program->close("BOM_View");
  EXPECT_FALSE(view.visible());
  EXPECT_TRUE(tool().visible());
  EXPECT_EQ(view.newRowFlag, 0);
  workbench::BomView& again = open();
  EXPECT_EQ(&again, &view);
  EXPECT_EQ(view.bomGrid().rowCount(), 1);
  EXPECT_EQ(view.ssTab1.tab(), 3);
  EXPECT_EQ(view.width(), 10425);
  EXPECT_EQ(view.text1.text(), "250");  // the load does not run again
  EXPECT_EQ(view.combo2.listCount(), 2);
}

}  // namespace
