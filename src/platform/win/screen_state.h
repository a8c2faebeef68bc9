#pragma once
// The inside of platform::win::Screen, shared by its source files.
#include <windows.h>

#include <exception>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/win/wide_text.h"
#include "platform/win/screen.h"

namespace platform::win {

std::string windowText(HWND h);
// A model text as an edit control holds it: lone line feeds become CR LF.
std::string withCrLf(const std::string& s);

ui::Kind kindOf(const ui::Control& c);
// Whether the model shows the control: it and every container above it are visible and,
// where it lies on a page of a tab container, that page is the current tab.
bool shownByModel(const ui::Control& c);
// The control's place in its window's client area (twips): its place plus its containers'.
void absolutePlace(const ui::Control& c, int& left, int& top);

struct WindowView;

// A model control and its real control, with what the last sync put on screen.
struct ControlView {
  ui::Control* model = nullptr;
  ui::Kind kind = ui::Kind::Button;
  WindowView* owner = nullptr;
  HWND hwnd = nullptr;
  HWND edit = nullptr;  // the edit field inside an editable combo box
  HWND list = nullptr;  // the drop-down list of a combo box
  int id = 0;
  DWORD builtStyle = 0;  // the kind-specific style the control was made with
  bool applied = false;  // false until the first sync has set everything

  int x = 0, y = 0, w = 0, h = 0;
  bool visible = false, enabled = true;
  std::string text;
  int check = 0;
  bool locked = false;
  int caret = 0;  // a text box's SelStart
  std::vector<std::string> items;
  int index = -1;
  std::vector<bool> selected;
  long back = -1, fore = -1;
  HFONT font = nullptr;
  // list views
  std::vector<ui::ListView::Column> columns;
  bool headingsHidden = false;
  int rowCount = 0;
  int shownTop = -1;
  std::vector<ui::ListView::Row> shownRows;  // the rows on screen at the last sync
  std::wstring cellBuffer;                   // the text handed out for the last cell asked for
  // tabs
  std::vector<std::string> tabs;
  // timers
  bool timerRunning = false;
  int interval = 0;
  // keys and mouse
  bool swallowChar = false;
  bool mouseDown = false;  // a list view's click is under way: its selection change is the click's
};

struct WindowView {
  ui::Window* model = nullptr;
  std::string name;
  HWND hwnd = nullptr;
  std::vector<std::unique_ptr<ControlView>> controls;
  std::map<const ui::Control*, ControlView*> byModel;
  int nextId = 1000;
  bool applied = false;
  std::string caption;
  int x = 0, y = 0, cw = 0, ch = 0;
  bool visible = false;
  ui::Window::State state = ui::Window::State::Normal;
  const ui::Control* focused = nullptr;
};

struct Screen::State {
  Screen* screen = nullptr;
  Screen::Hooks hooks;
  bool realTimers = false;
  int dpi = 96;
  std::vector<std::unique_ptr<WindowView>> windows;
  std::map<HWND, WindowView*> windowByHwnd;
  std::map<HWND, ControlView*> controlByHwnd;
  std::map<std::pair<std::wstring, int>, HFONT> fonts;  // face and height, bold as a negative height
  std::map<long, HBRUSH> brushes;
  std::vector<std::unique_ptr<WindowView>> doomed;  // real windows of model windows that went, destroyed outside handlers
  bool syncing = false;
  int handling = 0;  // depth of user actions being handled
  // An error that left a user's action run from inside a window procedure, where no C++
  // exception may pass; raised again by pump() or run() once back in plain C++ frames.
  std::exception_ptr pending;

  WindowView* view(const ui::Window& w) const;
  ControlView* view(const ui::Control& c) const;
  HFONT fontFor(const std::string& face, double points, bool bold);
  HBRUSH brushFor(long color);
  // Runs one user action through the dispatch hook, then syncs; nothing while a sync runs.
  void act(const std::function<void()>& action);
  // Raises a pending error through the dispatch hook: reported there, or passed on to the
  // action that pumped the messages.
  void raisePending();
};

// The real windows' procedures (screen_events.cpp).
LRESULT CALLBACK topLevelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void subclassControl(ControlView& v);
HWND createTopLevel(Screen::State& s, WindowView& w);

}  // namespace platform::win
