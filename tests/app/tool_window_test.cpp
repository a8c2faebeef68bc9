// The toolbar: start-up, edge docking, the netlist button's caption, the dispatchers
// and the window rules, driven through the toolbar's own controls.
#include <gtest/gtest.h>

#include "support/program_fixture.h"
#include "vb/error.h"
#include "workbench/bom_view.h"

namespace {

using testing_support::ProgramTest;

class ToolTest : public ProgramTest {};

TEST_F(ToolTest, StartUpShowsOnlyTheToolbarWithItsSourceListAndShortDate) {
  app::ToolWindow& t = tool();
  EXPECT_TRUE(t.visible());
  EXPECT_EQ(t.caption(), "Velmora");
  EXPECT_EQ(t.combo1.text(), "选择软件");
  std::vector<std::string> expected = {"",           "Logic",       "Layout",      "Excel",
                                       "Protel99se", "Altium Designer", "Allegro.dll", "Mentor.dll",
                                       "Pcad.dll",   "Pads2k.dll",  "Protel2.dll"};
  EXPECT_EQ(t.combo1.items(), expected);
  EXPECT_EQ(t.combo1.listIndex(), -1);  // the start text is no entry of the list
  EXPECT_EQ(t.focused(), &t.combo1);
  EXPECT_EQ(t.command4.caption(), "Pads Protel");
  EXPECT_EQ(world.desktop.shortDateFormat(), "yyyy-MM-dd");
  std::vector<std::string> calls = {"SetLocaleInfo 2052 31 yyyy-MM-dd", "PostMessage 65535 26 0 0",
                                    "EnumDateFormats 2052 1"};
  EXPECT_EQ(world.desktop.localeCalls(), calls);
  // Only the toolbar exists: every other window is created the first time it is needed.
  ASSERT_EQ(program->windows().size(), 1u);
  EXPECT_TRUE(world.user.messages().empty());
}

TEST_F(ToolTest, ControlsStandWhereTheToolbarPlacesThem) {
  app::ToolWindow& t = tool();
  struct Case {
    ui::Control& c;
    std::string caption;
    int left, top, width, height;
    int tab;
  };
  const Case cases[] = {
      {t.command1, "Create", 1620, 240, 695, 345, 1},     {t.command7, "BOM", 2310, 240, 500, 345, 10},
      {t.compare, "Compare", 240, 270, 1000, 375, 6},     {t.command2, "Add Value", 1750, 270, 1000, 375, 2},
      {t.helper, "Helper", 240, 720, 1000, 375, 9},       {t.command3, "Modify", 1750, 720, 1000, 375, 3},
      {t.command6, "ReName", 240, 1200, 1000, 375, 7},    {t.command8, "设置", 1750, 1200, 1000, 375, 8},
      {t.command4, "Pads Protel", 230, 300, 1275, 345, 4}, {t.command5, "Format BOM", 1650, 300, 1175, 345, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(c.c.displayText(), c.caption);
    EXPECT_EQ(c.c.left(), c.left);
    EXPECT_EQ(c.c.top(), c.top);
    EXPECT_EQ(c.c.width(), c.width);
    EXPECT_EQ(c.c.height(), c.height);
    EXPECT_EQ(c.c.tabIndex(), c.tab);
  }
  EXPECT_EQ(t.command1.container(), &t.frame1);
  EXPECT_EQ(t.command4.container(), &t.frame3);
  EXPECT_EQ(t.frame3.caption(), "Velmorabar");
  EXPECT_EQ(t.clientWidth(), 3120);
  EXPECT_EQ(t.clientHeight(), 3495);
  EXPECT_EQ(t.timer1.interval(), 100);
}

// Edge docking: where the toolbar goes on one tick, for a cursor position and a start place.
class DockingTest : public ProgramTest {
 protected:
  int W() { return tool().width(); }
  int H() { return tool().height(); }
  int screen() { return world.desktop.screenWidth(); }
  void place(int left, int top) { tool().move(left, top); }
  void cursor(int x, int y) { world.desktop.setCursor(x, y); }
  void tick() { program->tick(); }
};

TEST_F(DockingTest, ToolbarAtAnEdgeSlidesOutOfSightAndComesBackWhenTheCursorEntersItsStrip) {
  struct Case {
    const char* edge;
    int left, top;          // where the user leaves the toolbar
    int dockedLeft, dockedTop;  // after a tick with the cursor away
    int stripX, stripY;     // a pixel inside the strip that stays on the screen
    int backLeft, backTop;  // after a tick with the cursor in the strip
  };
  const int w = W(), h = H(), s = screen();
  const Case cases[] = {
      {"top", 6000, 0, 6000, 40 - h, 450, 1, 6000, -10},
      {"left", 0, 6000, 40 - w, 6000, 1, 450, -10, 6000},
      {"right", s - w, 6000, s - 40, 6000, s / 15 - 1, 450, s - w + 10, 6000},
      {"top-left corner: the top wins", 0, 0, 0, 40 - h, 1, 1, 0, -10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge);
    place(c.left, c.top);
    cursor(1000, 800);
    tick();
    EXPECT_EQ(tool().left(), c.dockedLeft);
    EXPECT_EQ(tool().top(), c.dockedTop);
    tick();  // a docked toolbar stays docked while the cursor is away
    EXPECT_EQ(tool().left(), c.dockedLeft);
    EXPECT_EQ(tool().top(), c.dockedTop);
    cursor(c.stripX, c.stripY);
    tick();
    EXPECT_EQ(tool().left(), c.backLeft);
    EXPECT_EQ(tool().top(), c.backTop);
    EXPECT_TRUE(tool().visible());
  }
}

TEST_F(DockingTest, CursorOnTheBorderPixelCountsAsOutside) {
  place(6000, 0);
  cursor(1000, 800);
  tick();
  platform::Rect r = world.desktop.windowRect(tool());
  cursor(r.left + 5, r.bottom);  // on the bottom border of the strip
  tick();
  EXPECT_EQ(tool().top(), 40 - H());
  cursor(r.left, r.bottom - 1);  // on the left border
  tick();
  EXPECT_EQ(tool().top(), 40 - H());
}

TEST_F(DockingTest, RightEdgeIsTestedInTwipsWithFourTwipsOfPlay) {
  const int s = screen(), w = W();
  cursor(10, 10);
  place(s - w - 4, 6000);  // 4 twips short of the edge: docks
  tick();
  EXPECT_EQ(tool().left(), s - 40);
  place(s - w - 5, 6000);  // 5 twips short: stays
  tick();
  EXPECT_EQ(tool().left(), s - w - 5);
  place(s - w + 300, 6000);  // beyond the edge: docks
  tick();
  EXPECT_EQ(tool().left(), s - 40);
}

TEST_F(DockingTest, MinimisedToolbarIsNeverMovedOrShown) {
  place(6000, 0);
  tool().setState(ui::Window::State::Minimized);
  cursor(1000, 800);
  tick();
  EXPECT_EQ(tool().top(), 0);
}

TEST_F(DockingTest, HiddenDockedToolbarComesBackWhileAnotherWindowStaysOpen) {
  place(6000, 0);
  cursor(1000, 800);
  tick();
  click(tool().command7);  // "BOM": the toolbar hides, the workbench shows
  ui::Window* bom = program->existing("BOM_View");
  ASSERT_NE(bom, nullptr);
  EXPECT_TRUE(bom->visible());
  EXPECT_FALSE(tool().visible());
  cursor(450, 1);
  tick();
  EXPECT_TRUE(tool().visible());
  EXPECT_EQ(tool().top(), -10);
  EXPECT_TRUE(bom->visible());
}

TEST_F(DockingTest, HiddenToolbarAwayFromTheEdgesIsNotShownByTheCursor) {
  place(6000, 4500);
  click(tool().command7);
  ASSERT_FALSE(tool().visible());
  platform::Rect r = world.desktop.windowRect(tool());
  cursor((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  tick();
  EXPECT_FALSE(tool().visible());
  EXPECT_EQ(tool().left(), 6000);
  EXPECT_EQ(tool().top(), 4500);
}

TEST_F(ToolTest, PickingASourceSetsTheNetlistButtonCaptionButTypingDoesNot) {
  app::ToolWindow& t = tool();
  pick(t.combo1, "Protel99se");
  EXPECT_EQ(t.command4.caption(), "Protel Ref");
  pick(t.combo1, "Altium Designer");
  EXPECT_EQ(t.command4.caption(), "Pads Protel");
  type(t.combo1, "Protel99se");
  EXPECT_EQ(t.command4.caption(), "Pads Protel");
  EXPECT_EQ(t.sourceProgram(), "Protel99se");
  pick(t.combo1, "Protel99se");
  type(t.combo1, "Layout");
  EXPECT_EQ(t.command4.caption(), "Protel Ref");
}

TEST_F(ToolTest, UnmatchedSourcesGiveTheDispatchersMessages) {
  const std::string formatMessage =
      "如果是格式化现有BOM,请选择Excel软件!!!\n如果是输出Layout的特殊BOM,请选择Layout软件!!!";
  for (const char* source : {"选择软件", "", "layout", "Protel99SE", "Excel "}) {
    SCOPED_TRACE(source);
    type(tool().combo1, source);
    size_t before = world.user.messages().size();
    state().abortFlag = "ON";
    click(tool().command1);
    click(tool().command5);
    ASSERT_EQ(world.user.messages().size(), before + 2);
    EXPECT_EQ(world.user.messages()[before].text, "请选择对应软件");
    EXPECT_EQ(world.user.messages()[before].title, "Velmora");
    EXPECT_EQ(world.user.messages()[before].buttons, platform::Buttons::OK);
    EXPECT_EQ(world.user.messages()[before + 1].text, formatMessage);
    EXPECT_EQ(state().abortFlag, "");  // "Create" empties the flag before it dispatches
  }
  EXPECT_FALSE(program->ended());
}

TEST_F(ToolTest, ButtonsSwitchToTheirWindowsAndClosingReturnsToTheToolbar) {
  struct Case {
    ui::Button& button;
    const char* window;
    const char* caption;
  };
  app::ToolWindow& t = tool();
  const Case cases[] = {{t.command7, "BOM_View", "BOM"},
                        {t.helper, "Decal", "高级助手"},
                        {t.command6, "Logic元件重新编号", "Logic元件重新编号"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    t.move(1234, 567);
    click(c.button);
    ui::Window* w = program->existing(c.window);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->visible());
    EXPECT_EQ(w->caption(), c.caption);
    EXPECT_FALSE(t.visible());
    program->close(c.window);
    EXPECT_FALSE(w->visible());
    EXPECT_EQ(program->existing(c.window), w);  // kept, with its contents
    EXPECT_TRUE(t.visible());
    EXPECT_EQ(t.left(), 1234);  // the toolbar keeps its place
    EXPECT_EQ(t.top(), 567);
    click(c.button);
    EXPECT_EQ(program->existing(c.window), w);  // the same window again
    program->close(c.window);
  }
  EXPECT_FALSE(program->ended());
}

TEST_F(ToolTest, ClosingTheWorkbenchResetsItsNewRowFlag) {
  click(tool().command7);
  auto* bom = static_cast<workbench::BomView*>(program->existing("BOM_View"));
  bom->newRowFlag = 1;
  program->close("BOM_View");
  EXPECT_EQ(bom->newRowFlag, 0);
}

TEST_F(ToolTest, ClosingTheToolbarEndsTheProgramWithoutAnotherWindowsCloseRule) {
  click(tool().command7);
  auto* bom = static_cast<workbench::BomView*>(program->existing("BOM_View"));
  bom->newRowFlag = 1;
  program->close("Tool");
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(bom->newRowFlag, 1);  // the workbench's close rule did not run
  EXPECT_TRUE(bom->visible());
  // Nothing runs after the end.
  click(tool().command1);
  EXPECT_TRUE(world.user.messages().empty());
}

TEST_F(ToolTest, AnErrorNoCommandHandledIsReportedAndTheProgramGoesOn) {
  program->dispatch([] { vb::raise(vb::kOverflow); });
  program->dispatch([] { vb::raise(vb::kCannotCreate); });
  ASSERT_EQ(world.user.messages().size(), 2u);
  EXPECT_EQ(world.user.messages()[0].title, "Velmora");
  EXPECT_EQ(world.user.messages()[0].text, "运行时错误 '6':\nOverflow");
  EXPECT_EQ(world.user.messages()[1].text, "运行时错误 '429':\nActiveX component can't create object");
  EXPECT_FALSE(program->ended());
  type(tool().combo1, "x");
  click(tool().command1);
  EXPECT_EQ(world.user.messages().back().text, "请选择对应软件");
}

}  // namespace
