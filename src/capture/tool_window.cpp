#include "capture/tool_window.h"

#include "capture/operations.h"
#include "compare/toolbar_commands.h"
#include "normalise/pipelines.h"
#include "report/reports.h"
#include "vb/error.h"

namespace capture {

const char* const kSourcePrograms[11] = {"",          "Logic",       "Layout",     "Excel",    "Protel99se", "Altium Designer",
                                         "Allegro.dll", "Mentor.dll", "Pcad.dll", "Pads2k.dll", "Protel2.dll"};

namespace {

using Operation = void (*)(ToolContext&);

struct Source {
  const char* text;
  Operation op;
};

// "Create": the first source text equal to SourceProgram decides the list operation.
const Source kCreateSources[] = {
    {"Logic", logic},           {"Layout", layout},           {"Excel", excel},
    {"Protel99se", protel99se}, {"Altium Designer", protel99se}, {"Allegro.dll", allegro},
    {"Mentor.dll", mentor},     {"Pcad.dll", pcad},           {"Pads2k.dll", pads2k},
    {"Protel2.dll", protel},
};

// "Format BOM".
const Source kFormatSources[] = {
    {"Excel", report::formatBom},
    {"Layout", layoutFormatBom},
    {"Altium Designer", altiumFormatBom},
};

template <size_t N>
Operation find(const Source (&table)[N], const std::string& text) {
  for (const Source& s : table)
    if (text == s.text) return s.op;
  return nullptr;
}

}  // namespace

void shortDateSetup(platform::Desktop& desktop) {
  long lcid = desktop.systemDefaultLcid();
  desktop.setLocaleInfo(lcid, 31, "yyyy-MM-dd");  // LOCALE_SSHORTDATE
  desktop.broadcastSettingChange();               // WM_SETTINGCHANGE to every top-level window
  desktop.enumDateFormats(lcid, 1);               // DATE_SHORTDATE
}

ToolWindow::ToolWindow(platform::Services& services, platform::Settings& settings)
    : ui::Window(kName, "Velmora"),
      frame1(add<ui::Frame>("Frame1")),
      combo1(add<ui::ComboBox>("Combo1")),
      command1(add<ui::Button>("Command1")),
      command7(add<ui::Button>("Command7")),
      frame2(add<ui::Frame>("Frame2")),
      compare(add<ui::Button>("Compare")),
      command2(add<ui::Button>("Command2")),
      helper(add<ui::Button>("Helper")),
      command3(add<ui::Button>("Command3")),
      command6(add<ui::Button>("Command6")),
      command8(add<ui::Button>("Command8")),
      frame3(add<ui::Frame>("Frame3")),
      command4(add<ui::Button>("Command4")),
      command5(add<ui::Button>("Command5")),
      timer1(add<ui::Timer>("Timer1")),
      services_(services),
      dialog_(services.user),
      context_{services, settings, state_, dialog_, combo1} {
  layOut();
  wire();
}

void ToolWindow::layOut() {
  setClientSize(3120, 3495);
  move(6000, 3000);
  struct Place {
    ui::Control& c;
    ui::Frame* holder;
    const char* caption;
    int left, top, width, height;
  };
  const Place places[] = {
      {frame1, nullptr, "Velmora", 60, 50, 2985, 735},
      {combo1, nullptr, nullptr, 240, 300, 1275, 300},
      {command1, &frame1, "Create", 1620, 240, 695, 345},
      {command7, &frame1, "BOM", 2310, 240, 500, 345},
      {frame2, nullptr, "PADS", 60, 870, 2985, 1740},
      {compare, &frame2, "Compare", 240, 270, 1000, 375},
      {command2, &frame2, "Add Value", 1750, 270, 1000, 375},
      {helper, &frame2, "Helper", 240, 720, 1000, 375},
      {command3, &frame2, "Modify", 1750, 720, 1000, 375},
      {command6, &frame2, "ReName", 240, 1200, 1000, 375},
      {command8, &frame2, "设置", 1750, 1200, 1000, 375},
      {frame3, nullptr, "Velmorabar", 60, 2640, 2985, 795},
      {command4, &frame3, "Pads Protel", 230, 300, 1275, 345},
      {command5, &frame3, "Format BOM", 1650, 300, 1175, 345},
  };
  for (const Place& p : places) {
    p.c.move(p.left, p.top, p.width, p.height);
    p.c.setContainer(p.holder);
    if (p.caption) static_cast<ui::CaptionControl&>(p.c).setCaption(p.caption);
  }
  int tab = 0;
  for (ui::Control* c : std::initializer_list<ui::Control*>{&combo1, &command1, &command2, &command3, &command4,
                                                            &command5, &compare, &command6, &command8, &helper,
                                                            &command7})
    c->setTabIndex(tab++);
  timer1.setVisible(false);
  timer1.setInterval(100);
}

void ToolWindow::wire() {
  command1.onClick = [this] { create(); };
  command5.onClick = [this] { formatBom(); };
  combo1.onClick = [this] {
    // Picking an entry (not typing) sets the netlist button's caption.
    command4.setCaption(combo1.text() == "Protel99se" ? "Protel Ref" : "Pads Protel");
  };
  command6.onClick = [this] { services_.windows.switchToWindow(*this, "Logic元件重新编号"); };
  command7.onClick = [this] { services_.windows.switchToWindow(*this, "BOM_View"); };
  helper.onClick = [this] { services_.windows.switchToWindow(*this, "Decal"); };
  command8.onClick = [this] { services_.windows.window(SettingsWindow::kName).show(); };
  compare.onClick = [this] { compare::compareClick(context_); };
  command2.onClick = [this] { compare::addValueClick(context_); };
  command3.onClick = [this] { compare::modifyClick(context_); };
  command4.onClick = [this] { compare::netlistButtonClick(context_, command4.caption()); };
  timer1.onTimer = [this] { edgeDocking(); };
}

void ToolWindow::startUp() {
  show();
  shortDateSetup(services_.desktop);
  combo1.clear();
  for (const char* s : kSourcePrograms) combo1.addItem(s);
  combo1.setText("选择软件");
  setFocus(combo1);
}

void ToolWindow::queryClose() { throw vb::ProgramEnd(); }

void ToolWindow::create() {
  state_.abortFlag.clear();
  Operation op = find(kCreateSources, sourceProgram());
  if (!op) {
    platform::notify(services_.user, platform::kTitle, "请选择对应软件");
    return;
  }
  op(context_);
  if (state_.abortFlag != "ON") normalise::zhuanhuan(context_);
}

void ToolWindow::formatBom() {
  Operation op = find(kFormatSources, sourceProgram());
  if (!op) {
    platform::notify(services_.user, platform::kTitle,
                     "如果是格式化现有BOM,请选择Excel软件!!!\n如果是输出Layout的特殊BOM,请选择Layout软件!!!");
    return;
  }
  op(context_);
}

void ToolWindow::edgeDocking() {
  platform::Desktop& desk = services_.desktop;
  platform::Point p = desk.cursorPos();
  platform::Rect r = desk.windowRect(*this);
  if (ui::Window::state() == ui::Window::State::Minimized) return;
  int screenW = desk.screenWidth();
  bool inside = r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
  if (inside) {
    if (top() < 0) setTop(-10);
    else if (left() < 0) setLeft(-10);
    else if (left() + width() >= screenW) setLeft(screenW - width() + 10);
    else return;
    show();
    return;
  }
  if (r.top <= 4) setTop(40 - height());
  else if (r.left <= 4) setLeft(40 - width());
  else if (screenW - 4 <= left() + width()) setLeft(screenW - 40);
}

}  // namespace capture
