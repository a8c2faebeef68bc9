#include "platform/win/screen.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win/wide_text.h"

namespace {

using platform::win::Screen;
using platform::win::twipsToPixels;
using platform::win::pixelsToTwips;

std::string textOf(HWND h) {
  wchar_t buf[1024] = {};
  GetWindowTextW(h, buf, 1024);
  return platform::win::narrow(buf);
}

std::string lines(const std::vector<std::string>& v) {
  std::string out;
  for (const auto& s : v) out += s + "\n";
  return out;
}

bool shown(HWND h) { return (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

// Whether `lower` lies under `upper` in the Z order of their parent.
bool below(HWND lower, HWND upper) {
  for (HWND h = GetWindow(upper, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
    if (h == lower) return true;
  return false;
}

// A window with one control of every kind; its handlers log the events they see.
class SampleWindow : public ui::Window {
 public:
  SampleWindow() : ui::Window("Sample", "样本窗口") { setUp(); }

 private:
  bool layOutControls() {
    using ui::Kind;
    using W = SampleWindow;
    static const ui::ControlRow<W> kControls[] = {
        // name        kind            frame     caption      left  top   width height tab handler            page
        {"Frame1",    Kind::Frame,    nullptr,  "选项",       120,  120,  3000, 1500},
        {"Command1",  Kind::Button,   "Frame1", "确定",       240,  300,  1200, 375,  0,  &W::command1Click},
        {"Check1",    Kind::CheckBox, "Frame1", "同步修改",   240,  900,  1500, 255,  1,  &W::check1Click},
        {"Label1",    Kind::Label,    nullptr,  "元件属性:",  3300, 120,  1500, 255},
        {"Text1",     Kind::TextBox,  nullptr,  nullptr,      3300, 450,  1800, 300,  2,  nullptr, nullptr, -1, nullptr,
         &W::text1GotFocus, &W::text1KeyDown},
        {"Combo1",    Kind::ComboBox, nullptr,  nullptr,      3300, 900,  1800, 300,  3,  &W::combo1Click},
        {"List1",     Kind::ListBox,  nullptr,  nullptr,      5400, 120,  1500, 1500, 4,  &W::list1Click},
        {"SSTab1",    Kind::Tabs,     nullptr,  nullptr,      120,  1800, 7000, 3600, -1, &W::tabsClick},
        {"ListView1", Kind::ListView, "SSTab1", nullptr,      60,   420,  6800, 3000, -1, &W::listView1Click, nullptr, 0},
        {"Command2",  Kind::Button,   "SSTab1", "导出",       60,   420,  1200, 375,  -1, &W::command2Click, nullptr, 1},
        {"Timer1",    Kind::Timer,    nullptr,  nullptr,      0,    0,    0,    0,    -1, &W::timer1Tick},
    };
    layOut(kControls);
    return true;
  }

 public:
  std::vector<std::string> events;
  bool swallowKeys = false;
  std::function<void()> onCommand1;

 private:
  bool laidOut_ = layOutControls();  // first, so the controls exist before the references below

 public:
  ui::Frame& frame1 = find<ui::Frame>("Frame1");
  ui::Button& command1 = find<ui::Button>("Command1");
  ui::CheckBox& check1 = find<ui::CheckBox>("Check1");
  ui::Label& label1 = find<ui::Label>("Label1");
  ui::TextBox& text1 = find<ui::TextBox>("Text1");
  ui::ComboBox& combo1 = find<ui::ComboBox>("Combo1");
  ui::ListBox& list1 = find<ui::ListBox>("List1");
  ui::Tabs& tabs = find<ui::Tabs>("SSTab1");
  ui::ListView& listView1 = find<ui::ListView>("ListView1");
  ui::Button& command2 = find<ui::Button>("Command2");
  ui::Timer& timer1 = find<ui::Timer>("Timer1");

 private:
  void setUp() {
    setClientSize(7500, 5700);
    move(1500, 1200);
    tabs.addTab("物料");
    tabs.addTab("导出");
    tabs.onTabClick = [this](int previous) { log("SSTab1.TabClick " + std::to_string(previous)); };
    listView1.addColumn("位号", 1200);
    listView1.addColumn("数值", 1500, ui::ListView::Align::Right);
    listView1.addColumn("封装", 2000, ui::ListView::Align::Center);
    listView1.addRow({"C1", "100nF", "0603"});
    listView1.addRow({"R1", "10k", "0402"});
    listView1.addRow({"U1", "STM32", "LQFP48"});
    listView1.setFont("宋体", 9);
    listView1.onItemClick = [this](int r) { log("ListView1.ItemClick " + std::to_string(r)); };
    combo1.addItem("Layout");
    combo1.addItem("Logic");
    combo1.onChange = [this] { log("Combo1.Change"); };
    for (const char* item : {"C1", "C2", "R1"}) list1.addItem(item);
    text1.onChange = [this] { log("Text1.Change"); };
    command1.onDblClick = [this] { log("Command1.DblClick"); };
    show();
  }

  void log(std::string e) { events.push_back(std::move(e)); }
  void command1Click() {
    log("Command1.Click");
    if (onCommand1) onCommand1();
  }
  void command2Click() { log("Command2.Click"); }
  void check1Click() { log("Check1.Click"); }
  void combo1Click() { log("Combo1.Click"); }
  void list1Click() { log("List1.Click"); }
  void tabsClick() { log("SSTab1.Click"); }
  void listView1Click() { log("ListView1.Click"); }
  void timer1Tick() { log("Timer1.Timer"); }
  void text1GotFocus() { log("Text1.GotFocus"); }
  void text1KeyDown(int& key, int shift) {
    log("Text1.KeyDown " + std::to_string(key) + " " + std::to_string(shift));
    if (swallowKeys) key = 0;
  }
};

class ScreenTest : public ::testing::Test {
 public:
  void start(bool realTimers = false) {
    Screen::Hooks hooks;
    hooks.windows = [this] { return windows; };
    hooks.dispatch = [this](const std::function<void()>& action) { dispatch(action); };
    // As the program closes: the window's own rule runs as an action.
    hooks.close = [this](const std::string& name) {
      closes.push_back(name);
      dispatch([this] { win.queryClose(); });
    };
    screen = std::make_unique<Screen>(std::move(hooks), realTimers);
    screen->sync();
  }
  // As the program dispatches: the outermost action reports an error, inner ones pass it on.
  void dispatch(const std::function<void()>& action) {
    ++dispatched;
    ++depth;
    try {
      action();
    } catch (const std::exception& e) {
      if (depth > 1) {
        --depth;
        throw;
      }
      reported.push_back(e.what());
    }
    --depth;
  }
  HWND h(const ui::Control& c) const { return screen->controlHandle(c); }
  HWND top() const { return screen->windowHandle(win); }
  int px(int twips) const { return twipsToPixels(twips, screen->dpi()); }
  // Sends a control's notification to the window, as the control itself does.
  void command(const ui::Control& c, int code) {
    SendMessageW(top(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h(c)), code), reinterpret_cast<LPARAM>(h(c)));
  }
  void expectAgree(const std::string& when) {
    auto m = screen->mismatches();
    EXPECT_TRUE(m.empty()) << when << ":\n" << lines(m);
  }
  // Events since the last call.
  std::vector<std::string> taken() {
    auto e = std::move(win.events);
    win.events.clear();
    return e;
  }

  SampleWindow win;
  std::vector<ui::Window*> windows{&win};
  std::unique_ptr<Screen> screen;
  int dispatched = 0;
  int depth = 0;
  std::vector<std::string> reported;
  std::vector<std::string> closes;
};

TEST_F(ScreenTest, SyncMakesRealControlsThatAgreeWithTheModel) {
  win.events.clear();
  start();
  expectAgree("after the first sync");
  ASSERT_NE(top(), nullptr);
  EXPECT_EQ(textOf(top()), "样本窗口");
  for (ui::Control* c : win.controls()) {
    if (c == &win.timer1) {
      EXPECT_EQ(h(*c), nullptr);
      continue;
    }
    ASSERT_NE(h(*c), nullptr) << c->name();
    // Every control is a direct child of the window, whatever frame holds it in the model.
    EXPECT_EQ(GetParent(h(*c)), top()) << c->name();
  }
  EXPECT_EQ(textOf(h(win.command1)), "确定");
  // Command1 lies in Frame1: its place is the frame's plus its own.
  RECT r;
  GetWindowRect(h(win.command1), &r);
  MapWindowPoints(nullptr, top(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, px(360));
  EXPECT_EQ(r.top, px(420));
  EXPECT_EQ(r.right - r.left, px(1200));
  EXPECT_EQ(r.bottom - r.top, px(375));
  RECT client;
  GetClientRect(top(), &client);
  EXPECT_EQ(client.right, px(7500));
  EXPECT_EQ(client.bottom, px(5700));
  // The first tab shows the list view; Command2 lies on the second.
  EXPECT_TRUE(shown(h(win.listView1)));
  EXPECT_FALSE(shown(h(win.command2)));
  EXPECT_TRUE(below(h(win.frame1), h(win.command1)));
  EXPECT_TRUE(below(h(win.tabs), h(win.listView1)));
  EXPECT_TRUE(below(h(win.listView1), h(win.command2)));  // a later control lies above an earlier one
  EXPECT_TRUE(below(h(win.text1), h(win.combo1)));
  EXPECT_EQ(SendMessageW(h(win.listView1), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_TRUE(win.events.empty());
  EXPECT_EQ(dispatched, 0);
}

TEST_F(ScreenTest, EveryModelChangeIsSeenAndShowsAfterSync) {
  start();
  struct Change {
    const char* what;
    std::function<void(SampleWindow&)> make;
    bool readThrough = false;  // the real control reads it from the model: no difference to see
  };
  const Change changes[] = {
      {"button caption", [](SampleWindow& w) { w.command1.setCaption("导入"); }},
      {"label caption", [](SampleWindow& w) { w.label1.setCaption("第一行\n第二行"); }},
      {"text", [](SampleWindow& w) { w.text1.setText("电容 100nF"); }},
      {"locked text", [](SampleWindow& w) { w.text1.setLocked(true); }},
      {"combo items", [](SampleWindow& w) { w.combo1.addItem("Router"); }},
      {"combo pick", [](SampleWindow& w) { w.combo1.setListIndex(2); }},
      {"combo text", [](SampleWindow& w) { w.combo1.setText("自由文本"); }},
      {"list items", [](SampleWindow& w) { w.list1.insertItem("U1", 0); }},
      {"list selection", [](SampleWindow& w) { w.list1.setListIndex(1); }},
      {"hidden label", [](SampleWindow& w) { w.label1.setVisible(false); }},
      {"hidden frame hides what it holds", [](SampleWindow& w) { w.frame1.setVisible(false); }},
      {"frame shown again", [](SampleWindow& w) { w.frame1.setVisible(true); }},
      {"disabled text", [](SampleWindow& w) { w.text1.setEnabled(false); }},
      {"tick", [](SampleWindow& w) { w.check1.setValue(1); }},
      {"moved button", [](SampleWindow& w) { w.command1.move(300, 330, 900, 300); }},
      {"moved frame moves what it holds", [](SampleWindow& w) { w.frame1.move(180, 150); }},
      {"new row", [](SampleWindow& w) { w.listView1.addRow({"L1", "10uH", "1210"}); }},
      {"cell", [](SampleWindow& w) { w.listView1.setCell(0, 1, "220nF"); }, true},
      {"removed row", [](SampleWindow& w) { w.listView1.removeRow(1); }},
      {"selected row", [](SampleWindow& w) { w.listView1.setSelectedRow(2); }},
      {"column width", [](SampleWindow& w) { w.listView1.setColumnWidth(1, 2400); }},
      {"new column", [](SampleWindow& w) { w.listView1.addColumn("备注", 1000); }},
      {"headings hidden", [](SampleWindow& w) { w.listView1.setHeadingsHidden(true); }},
      {"tab", [](SampleWindow& w) { w.tabs.setTab(1); }},
      {"window caption", [](SampleWindow& w) { w.setCaption("BOM 工作台"); }},
      {"window moved", [](SampleWindow& w) { w.move(3000, 2250); }},
      {"window resized", [](SampleWindow& w) { w.setClientSize(8250, 6000); }},
      {"window minimised", [](SampleWindow& w) { w.setState(ui::Window::State::Minimized); }},
      {"window restored", [](SampleWindow& w) { w.setState(ui::Window::State::Normal); }},
      {"window hidden", [](SampleWindow& w) { w.hide(); }},
      {"window shown", [](SampleWindow& w) { w.show(); }},
      {"multi-select list", [](SampleWindow& w) {
         w.list1.setMultiSelect(true);
         w.list1.setSelected(0, true);
         w.list1.setSelected(2, true);
       }},
      {"drop-down list combo", [](SampleWindow& w) { w.combo1.setStyle(ui::ComboBox::Style::DropDownList); }},
      {"multi-line text", [](SampleWindow& w) {
         w.text1.setMultiLine(true);
         w.text1.setText("一\n二");
       }},
  };
  for (const Change& c : changes) {
    c.make(win);
    if (!c.readThrough) {
      EXPECT_FALSE(screen->mismatches().empty()) << c.what << " is not seen before the sync";
    }
    screen->sync();
    expectAgree(c.what);
  }
  EXPECT_EQ(textOf(h(win.command1)), "导入");
  EXPECT_EQ(textOf(top()), "BOM 工作台");
  EXPECT_TRUE(shown(h(win.command2)));
  EXPECT_FALSE(shown(h(win.listView1)));
  EXPECT_EQ(textOf(h(win.text1)), "一\r\n二");
  EXPECT_EQ(dispatched, 0);
}

TEST_F(ScreenTest, MinimisedAndHiddenWindowsShowSo) {
  start();
  win.setState(ui::Window::State::Minimized);
  screen->sync();
  EXPECT_TRUE(IsIconic(top()));
  win.setState(ui::Window::State::Normal);
  win.move(2250, 1500);
  screen->sync();
  EXPECT_FALSE(IsIconic(top()));
  RECT r;
  GetWindowRect(top(), &r);
  EXPECT_EQ(r.left, px(2250));
  EXPECT_EQ(r.top, px(1500));
  win.hide();
  screen->sync();
  EXPECT_FALSE(IsWindowVisible(top()));
  expectAgree("hidden");
}

TEST_F(ScreenTest, ChangesBehindTheModelsBackAreReported) {
  start();
  struct Case {
    std::function<void(ScreenTest&)> act;
    std::string expected;
  };
  const Case cases[] = {
      {[](ScreenTest& t) { SetWindowTextW(t.h(t.win.command1), L"导入"); },
       "Sample.Command1: caption \"导入\" on screen, \"确定\" in the model"},
      {[](ScreenTest& t) { ShowWindow(t.h(t.win.label1), SW_HIDE); },
       "Sample.Label1: hidden on screen, visible in the model"},
      {[](ScreenTest& t) { EnableWindow(t.h(t.win.text1), FALSE); },
       "Sample.Text1: disabled on screen, enabled in the model"},
      {[](ScreenTest& t) { SendMessageW(t.h(t.win.check1), BM_SETCHECK, BST_CHECKED, 0); },
       "Sample.Check1: tick 1 on screen, 0 in the model"},
      {[](ScreenTest& t) { SendMessageW(t.h(t.win.list1), LB_DELETESTRING, 2, 0); },
       "Sample.List1: item count 2 on screen, 3 in the model"},
      {[](ScreenTest& t) { SendMessageW(t.h(t.win.listView1), LVM_SETITEMCOUNT, 5, 0); },
       "Sample.ListView1: row count 5 on screen, 3 in the model"},
      {[](ScreenTest& t) { SendMessageW(t.h(t.win.tabs), TCM_SETCURSEL, 1, 0); },
       "Sample.SSTab1: current tab 1 on screen, 0 in the model"},
      {[](ScreenTest& t) { SetWindowPos(t.h(t.win.command1), nullptr, 0, 0, 10, 10, SWP_NOZORDER); },
       "Sample.Command1: rectangle (0, 0, 10, 10) on screen, (" + std::to_string(px(360)) + ", " +
           std::to_string(px(420)) + ", " + std::to_string(px(1200)) + ", " + std::to_string(px(375)) +
           ") in the model"},
      {[](ScreenTest& t) { SetWindowTextW(t.top(), L"别的"); },
       "Sample: caption \"别的\" on screen, \"样本窗口\" in the model"},
  };
  for (const Case& c : cases) {
    c.act(*this);
    auto m = screen->mismatches();
    EXPECT_NE(std::find(m.begin(), m.end(), c.expected), m.end()) << c.expected << "\nreported:\n" << lines(m);
  }
  // Messages sent from code are no user's actions: nothing reached the model.
  EXPECT_EQ(dispatched, 0);
  EXPECT_TRUE(win.events.empty()) << lines(win.events);
}

TEST_F(ScreenTest, ClicksAndPicksReachTheModelOnce) {
  start();
  win.events.clear();
  SendMessageW(h(win.command1), BM_CLICK, 0, 0);
  EXPECT_EQ(taken(), std::vector<std::string>{"Command1.Click"});

  SendMessageW(h(win.check1), BM_CLICK, 0, 0);
  EXPECT_EQ(win.check1.value(), 1);
  EXPECT_EQ(SendMessageW(h(win.check1), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(h(win.check1), BM_CLICK, 0, 0);
  EXPECT_EQ(win.check1.value(), 0);
  EXPECT_EQ(taken(), (std::vector<std::string>{"Check1.Click", "Check1.Click"}));

  SendMessageW(h(win.combo1), CB_SETCURSEL, 1, 0);
  command(win.combo1, CBN_SELCHANGE);
  EXPECT_EQ(win.combo1.text(), "Logic");
  EXPECT_EQ(win.combo1.listIndex(), 1);
  EXPECT_EQ(taken(), std::vector<std::string>{"Combo1.Click"});

  SendMessageW(h(win.list1), LB_SETCURSEL, 2, 0);
  command(win.list1, LBN_SELCHANGE);
  EXPECT_EQ(win.list1.listIndex(), 2);
  EXPECT_EQ(taken(), std::vector<std::string>{"List1.Click"});

  SendMessageW(h(win.tabs), TCM_SETCURSEL, 1, 0);
  NMHDR n{h(win.tabs), static_cast<UINT_PTR>(GetDlgCtrlID(h(win.tabs))), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(top(), WM_NOTIFY, n.idFrom, reinterpret_cast<LPARAM>(&n));
  EXPECT_EQ(win.tabs.tab(), 1);
  EXPECT_EQ(taken(), (std::vector<std::string>{"SSTab1.TabClick 0", "SSTab1.Click"}));
  EXPECT_TRUE(shown(h(win.command2)));
  EXPECT_FALSE(shown(h(win.listView1)));

  // Each click moved the focus to its button, as a person's click does; the check box was last.
  EXPECT_EQ(win.focused(), &win.check1);
  expectAgree("after the clicks");
}

TEST_F(ScreenTest, MultiSelectListPassesEverySelectedEntry) {
  win.list1.setMultiSelect(true);
  start();
  win.events.clear();
  SendMessageW(h(win.list1), LB_SETSEL, TRUE, 0);
  SendMessageW(h(win.list1), LB_SETSEL, TRUE, 2);
  command(win.list1, LBN_SELCHANGE);
  EXPECT_TRUE(win.list1.selected(0));
  EXPECT_FALSE(win.list1.selected(1));
  EXPECT_TRUE(win.list1.selected(2));
  EXPECT_EQ(taken(), (std::vector<std::string>{"List1.Click", "List1.Click"}));
  EXPECT_EQ(dispatched, 1);
  expectAgree("after the selection");
}

TEST_F(ScreenTest, ListViewClicksSelectTheRowUnderTheMouse) {
  start();
  win.events.clear();
  HWND lv = h(win.listView1);
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(lv, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  LPARAM at = MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2);
  SendMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(lv, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(win.listView1.selectedRow(), 1);
  EXPECT_EQ(taken(), (std::vector<std::string>{"ListView1.Click", "ListView1.ItemClick 1"}));
  EXPECT_EQ(SendMessageW(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);

  screen->click(win.listView1);  // below the last row
  EXPECT_EQ(win.listView1.selectedRow(), -1);
  EXPECT_EQ(taken(), std::vector<std::string>{"ListView1.Click"});

  win.listView1.onColumnClick = [this](int c) { win.events.push_back("ListView1.ColumnClick " + std::to_string(c)); };
  HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
  RECT heading{};
  ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&heading)));
  LPARAM onHeading = MAKELPARAM((heading.left + heading.right) / 2, (heading.top + heading.bottom) / 2);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, onHeading);
  SendMessageW(header, WM_LBUTTONUP, 0, onHeading);
  EXPECT_EQ(taken(), std::vector<std::string>{"ListView1.ColumnClick 2"});
  expectAgree("after the list view clicks");
}

TEST_F(ScreenTest, DoubleClicksFireClickThenDblClick) {
  win.text1.onDblClick = [this] { win.events.push_back("Text1.DblClick"); };
  win.list1.onDblClick = [this] { win.events.push_back("List1.DblClick"); };
  win.listView1.onDblClick = [this] { win.events.push_back("ListView1.DblClick"); };
  win.label1.onClick = [this] { win.events.push_back("Label1.Click"); };
  win.label1.onDblClick = [this] { win.events.push_back("Label1.DblClick"); };
  start();
  struct Case {
    ui::Control& control;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {win.command1, {"Command1.Click", "Command1.DblClick"}},
      {win.text1, {"Text1.DblClick"}},
      {win.list1, {"List1.Click", "List1.DblClick"}},
      {win.listView1, {"ListView1.Click", "ListView1.DblClick"}},
      {win.label1, {"Label1.Click", "Label1.DblClick"}},
  };
  for (const Case& c : cases) {
    screen->dblClick(c.control);
    // A double click may first click (and focus) the control; the double click's own events come last.
    auto e = taken();
    ASSERT_GE(e.size(), c.events.size()) << c.control.name() << ":\n" << lines(e);
    EXPECT_EQ(std::vector<std::string>(e.end() - static_cast<long>(c.events.size()), e.end()), c.events)
        << c.control.name() << ":\n" << lines(e);
  }
}

TEST_F(ScreenTest, RowsPaintInTheirOwnColours) {
  win.listView1.setBackColor(0xC8D0D4);
  win.listView1.rows()[0].backColor = 0x0000FF;  // red
  start();
  // The list view paints itself into a bitmap of its own (WM_PRINTCLIENT), whose pixels
  // are read: windows of other tests on the same desktop cannot cover it there.
  HWND list = h(win.listView1);
  RECT client{};
  GetClientRect(list, &client);
  HDC screenDc = GetDC(list);
  HDC dc = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, client.right, client.bottom);
  ReleaseDC(list, screenDc);
  HGDIOBJ before = SelectObject(dc, bitmap);
  SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  auto colourIn = [&](int r) {
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&row));
    return GetPixel(dc, row.left + px(1200) - 6, (row.top + row.bottom) / 2);
  };
  EXPECT_EQ(colourIn(0), 0x0000FFu);
  EXPECT_EQ(colourIn(1), 0xC8D0D4u);  // a row of the default white takes the view's colour
  SelectObject(dc, before);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(ScreenTest, TypingSetsTheModelsTextWithoutAnEcho) {
  start();
  win.events.clear();
  HWND edit = h(win.text1);
  SendMessageW(edit, WM_CHAR, L'A', 0);
  SendMessageW(edit, WM_CHAR, L'中', 0);
  EXPECT_EQ(win.text1.text(), "A中");
  EXPECT_EQ(taken(), (std::vector<std::string>{"Text1.Change", "Text1.Change"}));
  // The caret stays after the typed text: the sync wrote nothing back into the box.
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 2u);
  EXPECT_EQ(win.text1.selStart(), 2);
  // SelStart set by code moves the caret; keys that move the caret move SelStart.
  win.text1.setSelStart(1);
  screen->sync();
  SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 1u);
  SendMessageW(edit, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(win.text1.selStart(), 2);
  // A key handler that places the caret has the last word over the key's own move.
  win.text1.onKeyUp = [this](int& key, int) {
    if (key == VK_UP) win.text1.setSelStart(1);
  };
  SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
  SendMessageW(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 1u);
  EXPECT_EQ(win.text1.selStart(), 1);
  win.text1.onKeyUp = nullptr;
  SendMessageW(edit, WM_KEYDOWN, VK_END, 0);
  taken();

  // A handler that changes the text wins over what was typed.
  win.text1.onChange = [this] {
    if (win.text1.text() == "A中!") win.text1.setText("好");
  };
  SendMessageW(edit, WM_CHAR, L'!', 0);
  EXPECT_EQ(win.text1.text(), "好");
  EXPECT_EQ(textOf(edit), "好");

  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(h(win.combo1), &info));
  SendMessageW(info.hwndItem, WM_CHAR, L'x', 0);
  EXPECT_EQ(win.combo1.text(), "x");
  EXPECT_EQ(taken(), std::vector<std::string>{"Combo1.Change"});  // typing fires no Click
  EXPECT_EQ(dispatched, 7);
  expectAgree("after typing");
}

TEST_F(ScreenTest, KeysReachKeyDownAndASwallowedKeyTypesNothing) {
  start();
  win.events.clear();
  HWND edit = h(win.text1);
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(taken(), std::vector<std::string>{"Text1.KeyDown 13 0"});

  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(edit, WM_KEYDOWN, 'A', 0);
  SendMessageW(edit, WM_CHAR, L'A', 0);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(win.text1.text(), "A");
  EXPECT_EQ(taken(), (std::vector<std::string>{"Text1.KeyDown 65 1", "Text1.Change"}));

  win.swallowKeys = true;
  SendMessageW(edit, WM_KEYDOWN, 'B', 0);
  SendMessageW(edit, WM_CHAR, L'b', 0);
  EXPECT_EQ(win.text1.text(), "A");
  EXPECT_EQ(textOf(edit), "A");
  EXPECT_EQ(taken(), std::vector<std::string>{"Text1.KeyDown 66 0"});
  // The model's handler is its own again after the key.
  ASSERT_TRUE(win.text1.onKeyDown);
  int code = 7;
  win.text1.onKeyDown(code, 0);
  EXPECT_EQ(code, 0);
}

TEST_F(ScreenTest, FocusMovesBothWays) {
  start();
  win.events.clear();
  SetFocus(h(win.text1));
  EXPECT_EQ(win.focused(), &win.text1);
  EXPECT_EQ(taken(), std::vector<std::string>{"Text1.GotFocus"});
  // Focus the code gives goes to the real control without coming back as the user's.
  SetActiveWindow(top());
  win.setFocus(win.list1);
  int before = dispatched;
  screen->sync();
  EXPECT_EQ(GetFocus(), h(win.list1));
  EXPECT_EQ(dispatched, before);
  // Focus that comes back to the window goes on to the model's focused control.
  SetFocus(top());
  EXPECT_EQ(GetFocus(), h(win.list1));
  EXPECT_EQ(win.focused(), &win.list1);
}

TEST_F(ScreenTest, TabMovesTheFocusInTabOrder) {
  win.check1.setEnabled(false);  // skipped, as are controls not on screen
  win.tabs.setTabIndex(5);
  win.listView1.setTabIndex(6);
  start();
  SetFocus(h(win.command1));
  taken();
  SendMessageW(h(win.command1), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(win.focused(), &win.text1);
  SendMessageW(h(win.text1), WM_CHAR, L'\t', 0);
  EXPECT_EQ(win.text1.text(), "");
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(h(win.text1), WM_KEYDOWN, VK_TAB, 0);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(win.focused(), &win.command1);
  // Tab is no key for the handlers.
  EXPECT_EQ(taken(), std::vector<std::string>{"Text1.GotFocus"});
}

TEST_F(ScreenTest, KeyboardMovesInAListViewPickTheRow) {
  start();
  win.events.clear();
  HWND lv = h(win.listView1);
  SetFocus(lv);
  taken();
  SendMessageW(lv, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(win.listView1.selectedRow(), 0);
  SendMessageW(lv, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(win.listView1.selectedRow(), 1);
  EXPECT_EQ(taken(), (std::vector<std::string>{"ListView1.Click", "ListView1.ItemClick 0", "ListView1.Click",
                                               "ListView1.ItemClick 1"}));
  expectAgree("after the keys");
}

TEST_F(ScreenTest, RunEndsAfterTheActionThatEndsIt) {
  start();
  win.events.clear();
  PostMessageW(h(win.command1), BM_CLICK, 0, 0);
  int code = screen->run([this] { return !win.events.empty(); });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(win.events, std::vector<std::string>{"Command1.Click"});
}

TEST_F(ScreenTest, TheUsersWindowMovesAndCloseRequestsReachTheModel) {
  start();
  RECT r;
  GetWindowRect(top(), &r);
  SetWindowPos(top(), nullptr, r.left + 30, r.top + 15, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(win.left(), pixelsToTwips(r.left + 30, screen->dpi()));
  EXPECT_EQ(win.top(), pixelsToTwips(r.top + 15, screen->dpi()));
  ShowWindow(top(), SW_MINIMIZE);
  EXPECT_EQ(win.state(), ui::Window::State::Minimized);
  ShowWindow(top(), SW_RESTORE);
  EXPECT_EQ(win.state(), ui::Window::State::Normal);
  expectAgree("after the moves");

  int before = dispatched;
  SendMessageW(top(), WM_CLOSE, 0, 0);
  EXPECT_EQ(closes, std::vector<std::string>{"Sample"});
  EXPECT_EQ(dispatched, before + 1);
  // The model's rule hid the window; the real window stays for the model to show again.
  EXPECT_FALSE(win.visible());
  EXPECT_TRUE(IsWindow(top()));
  EXPECT_FALSE(IsWindowVisible(top()));
}

TEST_F(ScreenTest, RealWindowsGoWithTheirModelWindows) {
  start();
  HWND real = top();
  // A click whose handler makes the window go: the real window outlives the handler.
  win.onCommand1 = [this] { windows.clear(); };
  SendMessageW(h(win.command1), BM_CLICK, 0, 0);
  EXPECT_EQ(screen->windowHandle(win), nullptr);
  EXPECT_FALSE(IsWindow(real) && IsWindowVisible(real));
  screen->sync();
  EXPECT_FALSE(IsWindow(real));
  EXPECT_TRUE(screen->mismatches().empty());
  windows = {&win};
  screen->sync();
  EXPECT_NE(top(), nullptr);
  expectAgree("made again");
}

TEST_F(ScreenTest, TimersTickOnlyWhenRealAndEnabled) {
  win.timer1.setInterval(20);
  start(false);
  auto pumpFor = [this](int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
      screen->pump();
      Sleep(5);
    }
  };
  pumpFor(150);
  EXPECT_TRUE(win.events.empty());

  screen.reset();
  start(true);
  pumpFor(300);
  auto ticks = std::count(win.events.begin(), win.events.end(), "Timer1.Timer");
  EXPECT_GE(ticks, 2);
  EXPECT_EQ(dispatched, static_cast<int>(ticks));
  win.timer1.setEnabled(false);
  screen->sync();
  win.events.clear();
  pumpFor(150);
  EXPECT_TRUE(win.events.empty());
}

TEST_F(ScreenTest, AHundredThousandRowsCostNothingToSync) {
  for (int r = 0; r < 100000; ++r) win.listView1.addRow({"C" + std::to_string(r), "1uF", "0805"});
  start();
  HWND lv = h(win.listView1);
  EXPECT_EQ(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0), 100003);
  wchar_t buf[64] = {};
  LVITEMW item{};
  item.pszText = buf;
  item.cchTextMax = 64;
  SendMessageW(lv, LVM_GETITEMTEXTW, 100002, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(platform::win::narrow(buf), "C99999");
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; ++i) screen->sync();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(ms, 1000) << "100 syncs took " << ms << " ms";
}

TEST_F(ScreenTest, OnlyChangedRowsOnScreenAreRedrawn) {
  start();
  HWND lv = h(win.listView1);
  UpdateWindow(lv);
  screen->sync();
  EXPECT_FALSE(GetUpdateRect(lv, nullptr, FALSE)) << "a sync with nothing changed redrew the list";
  win.listView1.setCell(1, 1, "22k");
  screen->sync();
  RECT dirty{}, row{};
  row.left = LVIR_BOUNDS;
  SendMessageW(lv, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  ASSERT_TRUE(GetUpdateRect(lv, &dirty, FALSE));
  EXPECT_LE(dirty.top, row.top);
  EXPECT_GE(dirty.bottom, row.bottom);
}

TEST_F(ScreenTest, AnErrorOfAnInnerActionLeavesThePumpInTheOuterOne) {
  start();
  win.command2.onClick = [] { throw std::runtime_error("内层错误"); };
  bool finished = false;
  win.onCommand1 = [&] {
    PostMessageW(h(win.command2), BM_CLICK, 0, 0);
    screen->pump();  // as DoEvents in the handler
    finished = true;
  };
  win.tabs.setTab(1);  // Command2 on screen
  screen->sync();
  SendMessageW(h(win.command1), BM_CLICK, 0, 0);
  EXPECT_FALSE(finished);
  EXPECT_EQ(reported, std::vector<std::string>{"内层错误"});
}

TEST_F(ScreenTest, AnErrorInAForeignMessageLoopIsReportedByTheNextPump) {
  start();
  win.command2.onClick = [] { throw std::runtime_error("内层错误"); };
  bool finished = false;
  win.onCommand1 = [&] {
    // A loop of the system's own, as a message box runs it: no C++ error may pass it.
    PostMessageW(h(win.command2), BM_CLICK, 0, 0);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    finished = true;
  };
  win.tabs.setTab(1);
  screen->sync();
  SendMessageW(h(win.command1), BM_CLICK, 0, 0);
  EXPECT_TRUE(finished);
  EXPECT_TRUE(reported.empty());
  screen->pump();
  EXPECT_EQ(reported, std::vector<std::string>{"内层错误"});
}

// A window with one label, under the sample window's name.
class SmallWindow : public ui::Window {
 public:
  SmallWindow() : ui::Window("Sample", "小窗口") {
    add<ui::Label>("Label1").setCaption("只有一个标签");
    find<ui::Label>("Label1").move(120, 120, 2000, 300);
    setClientSize(3000, 1500);
    show();
  }
};

TEST(ScreenWindows, AWindowMadeAgainAtTheSameAddressGetsNewControls) {
  alignas(SampleWindow) unsigned char storage[std::max(sizeof(SampleWindow), sizeof(SmallWindow))];
  ui::Window* w = new (storage) SampleWindow;
  Screen screen({[&] { return std::vector<ui::Window*>{w}; }, [](const std::function<void()>& f) { f(); },
                 [](const std::string&) {}},
                false);
  screen.sync();
  w->~Window();
  w = new (storage) SmallWindow;
  screen.sync();
  auto m = screen.mismatches();
  EXPECT_TRUE(m.empty()) << lines(m);
  HWND label = screen.controlHandle(*w->control("Label1"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(textOf(label), "只有一个标签");
  EXPECT_EQ(textOf(screen.windowHandle(*w)), "小窗口");
  w->~Window();
  w = nullptr;
}

TEST(ScreenPixels, TwipsRoundToPixelsAtTheScreensDpi) {
  struct Case {
    int twips, dpi, pixels;
  };
  const Case cases[] = {{1500, 96, 100}, {7, 96, 0}, {8, 96, 1}, {1440, 120, 120}, {-1500, 96, -100}, {300, 144, 30}};
  for (const Case& c : cases) {
    EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
  EXPECT_EQ(pixelsToTwips(100, 96), 1500);
  EXPECT_EQ(pixelsToTwips(1, 120), 12);
}

TEST_F(ScreenTest, ScreenshotShowsTheChineseCaptions) {
  win.listView1.setCell(0, 3, "");
  win.label1.setCaption("元件属性: 电阻");
  win.text1.setText("物料规格 100nF");
  start();
  screen->pump();
  const char* path = "screen_test_shot.bmp";
  ASSERT_TRUE(screen->screenshot(path));
  FILE* f = std::fopen(path, "rb");
  ASSERT_NE(f, nullptr);
  unsigned char head[54] = {};
  size_t got = std::fread(head, 1, sizeof head, f);
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fclose(f);
  ASSERT_EQ(got, sizeof head);
  EXPECT_EQ(head[0], 'B');
  EXPECT_EQ(head[1], 'M');
  EXPECT_EQ(head[28], 24);  // bits per pixel
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(size, 54L + ((width * 3 + 3) & ~3) * static_cast<long>(height));
}

}  // namespace
