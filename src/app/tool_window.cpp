#include "app/tool_window.h"

#include "app/report_pipelines.h"
#include "capture/part_lists.h"
#include "compare/toolbar_commands.h"
#include "report/special_bom.h"
#include "vb/error.h"

namespace app {

const char* const kSourcePrograms[11] = {"",          "Logic",       "Layout",     "Excel",    "Protel99se", "Altium Designer",
                                         "Allegro.dll", "Mentor.dll", "Pcad.dll", "Pads2k.dll", "Protel2.dll"};

namespace {

using platform::ToolContext;
using Command = void (*)(ToolContext&);

struct Source {
  const char* text;
  Command run;
};

// "Create": the list command of each source but the netlists (capture::kNetlistSources).
const Source kCreateSources[] = {
    {"Logic", capture::listFromPadsLogic},
    {"Layout", capture::listFromPadsLayout},
    {"Excel", capture::listFromPreparedWorkbook},
};

// "Format BOM": the special BOM, or a list followed by the "Format BOM" reports.
const Source kFormatSources[] = {
    {"Excel", report::buildSpecialBom},
    {"Layout", [](ToolContext& t) {
       if (capture::formatListFromPadsLayout(t)) buildFormatBomReports(t);
     }},
    {"Altium Designer", [](ToolContext& t) {
       if (capture::formatListFromAltiumBom(t)) buildFormatBomReports(t);
     }},
};

template <size_t N>
Command commandFor(const Source (&table)[N], const std::string& text) {
  for (const Source& s : table)
    if (text == s.text) return s.run;
  return nullptr;
}

}  // namespace

void shortDateSetup(platform::Desktop& desktop) {
  long lcid = desktop.systemDefaultLcid();
  desktop.setLocaleInfo(lcid, 31, "yyyy-MM-dd");  // LOCALE_SSHORTDATE
  desktop.broadcastSettingChange();               // WM_SETTINGCHANGE to every top-level window
  desktop.enumDateFormats(lcid, 1);               // DATE_SHORTDATE
}

bool ToolWindow::layOutControls() {
  using ui::Kind;
  using W = ToolWindow;
  static const ui::ControlRow<W> kControls[] = {
      // name       kind           frame     caption        left  top   width height tab handler
      {"Frame1",   Kind::Frame,    nullptr,  "Velmora",     60,   50,   2985, 735},
      {"Combo1",   Kind::ComboBox, nullptr,  nullptr,       240,  300,  1275, 300,  0,  &W::sourcePicked},
      {"Command1", Kind::Button,   "Frame1", "Create",      1620, 240,  695,  345,  1,  &W::create},
      {"Command7", Kind::Button,   "Frame1", "BOM",         2310, 240,  500,  345,  10, &W::openBomView},
      {"Frame2",   Kind::Frame,    nullptr,  "PADS",        60,   870,  2985, 1740},
      {"Compare",  Kind::Button,   "Frame2", "Compare",     240,  270,  1000, 375,  6,  &W::compareWithDesign},
      {"Command2", Kind::Button,   "Frame2", "Add Value",   1750, 270,  1000, 375,  2,  &W::addValue},
      {"Helper",   Kind::Button,   "Frame2", "Helper",      240,  720,  1000, 375,  9,  &W::openAssistant},
      {"Command3", Kind::Button,   "Frame2", "Modify",      1750, 720,  1000, 375,  3,  &W::modify},
      {"Command6", Kind::Button,   "Frame2", "ReName",      240,  1200, 1000, 375,  7,  &W::openRenumbering},
      {"Command8", Kind::Button,   "Frame2", "设置",        1750, 1200, 1000, 375,  8,  &W::showSettings},
      {"Frame3",   Kind::Frame,    nullptr,  "Velmorabar",  60,   2640, 2985, 795},
      {"Command4", Kind::Button,   "Frame3", "Pads Protel", 230,  300,  1275, 345,  4,  &W::netlistTool},
      {"Command5", Kind::Button,   "Frame3", "Format BOM",  1650, 300,  1175, 345,  5,  &W::formatBom},
      {"Timer1",   Kind::Timer,    nullptr,  nullptr,       0,    0,    0,    0,    -1, &W::edgeDocking},
  };
  layOut(kControls);
  setClientSize(3120, 3495);
  move(6000, 3000);
  return true;
}

ToolWindow::ToolWindow(platform::Services& services, platform::Settings& settings)
    : ui::Window(kName, "Velmora"),
      laidOut_(layOutControls()),
      frame1(find<ui::Frame>("Frame1")),
      combo1(find<ui::ComboBox>("Combo1")),
      command1(find<ui::Button>("Command1")),
      command7(find<ui::Button>("Command7")),
      frame2(find<ui::Frame>("Frame2")),
      compare(find<ui::Button>("Compare")),
      command2(find<ui::Button>("Command2")),
      helper(find<ui::Button>("Helper")),
      command3(find<ui::Button>("Command3")),
      command6(find<ui::Button>("Command6")),
      command8(find<ui::Button>("Command8")),
      frame3(find<ui::Frame>("Frame3")),
      command4(find<ui::Button>("Command4")),
      command5(find<ui::Button>("Command5")),
      timer1(find<ui::Timer>("Timer1")),
      services_(services),
      dialog_(services.user),
      context_{services, settings, state_, dialog_, combo1} {
  timer1.setVisible(false);
  timer1.setInterval(100);
}

// Picking an entry (not typing) sets the netlist button's caption.
void ToolWindow::sourcePicked() { command4.setCaption(combo1.text() == "Protel99se" ? "Protel Ref" : "Pads Protel"); }
void ToolWindow::openRenumbering() { services_.windows.switchToWindow(*this, "Logic元件重新编号"); }
void ToolWindow::openBomView() { services_.windows.switchToWindow(*this, "BOM_View"); }
void ToolWindow::openAssistant() { services_.windows.switchToWindow(*this, "Decal"); }
void ToolWindow::showSettings() { services_.windows.window(capture::SettingsWindow::kName).show(); }
void ToolWindow::compareWithDesign() { compare::compareWithDesign(context_); }
void ToolWindow::addValue() { compare::copyAttributeToValue(context_); }
void ToolWindow::modify() { compare::writeValuesBack(context_); }
void ToolWindow::netlistTool() { compare::runNetlistTool(context_, command4.caption()); }

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
  const std::string source = sourceProgram();
  if (Command list = commandFor(kCreateSources, source)) list(context_);
  else if (const capture::NetlistSource* netlist = capture::findNetlistSource(source)) capture::listFromNetlist(context_, *netlist);
  else {
    platform::notify(services_.user, platform::kTitle, "请选择对应软件");
    return;
  }
  if (state_.abortFlag != "ON") buildCreateReports(context_);
}

void ToolWindow::formatBom() {
  Command run = commandFor(kFormatSources, sourceProgram());
  if (!run) {
    platform::notify(services_.user, platform::kTitle,
                     "如果是格式化现有BOM,请选择Excel软件!!!\n如果是输出Layout的特殊BOM,请选择Layout软件!!!");
    return;
  }
  run(context_);
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

}  // namespace app
