// The Screen's life, its message loops and the user's actions made through real controls.
#include "platform/win/screen.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win/screen_state.h"

namespace platform::win {

namespace {

constexpr wchar_t kWindowClass[] = L"VelmoraScreenWindow";

void registerWindowClass() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = topLevelProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);
  done = true;
}

}  // namespace

WindowView* Screen::State::view(const ui::Window& w) const {
  for (const auto& v : windows)
    if (v->model == &w) return v.get();
  return nullptr;
}

ControlView* Screen::State::view(const ui::Control& c) const {
  WindowView* w = view(c.window());
  if (!w) return nullptr;
  auto it = w->byModel.find(&c);
  return it == w->byModel.end() ? nullptr : it->second;
}

HFONT Screen::State::fontFor(const std::string& face, double points, bool bold) {
  std::wstring name = widen(face.empty() ? std::string("SimSun") : face);
  if (points <= 0) points = 9;
  int height = -static_cast<int>(points * dpi / 72.0 + 0.5);
  auto key = std::make_pair(name, bold ? -height : height);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HFONT f = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, name.c_str());
  fonts[key] = f;
  return f;
}

HBRUSH Screen::State::brushFor(long color) {
  auto it = brushes.find(color);
  if (it != brushes.end()) return it->second;
  HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(color));
  brushes[color] = b;
  return b;
}

void Screen::State::act(const std::function<void()>& action) {
  if (syncing) return;
  ++handling;
  try {
    if (hooks.dispatch) hooks.dispatch(action);
    else action();
  } catch (...) {
    if (!pending) pending = std::current_exception();
  }
  // Still counted as handling: a window that went is only hidden, since the procedure of one
  // of its controls may be running below; it is destroyed by the next sync outside actions.
  screen->sync();
  --handling;
}

void Screen::State::raisePending() {
  if (!pending) return;
  std::exception_ptr e = pending;
  pending = nullptr;
  if (hooks.dispatch) hooks.dispatch([e] { std::rethrow_exception(e); });
  else std::rethrow_exception(e);
}

Screen::Screen(Hooks hooks, bool realTimers) : s_(std::make_unique<State>()) {
  s_->screen = this;
  s_->hooks = std::move(hooks);
  s_->realTimers = realTimers;
  HDC dc = GetDC(nullptr);
  s_->dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  if (s_->dpi <= 0) s_->dpi = 96;
  registerWindowClass();
}

Screen::~Screen() {
  s_->syncing = true;  // nothing the destruction sends goes back to the model
  for (auto& w : s_->windows)
    if (w->hwnd) DestroyWindow(w->hwnd);
  for (auto& d : s_->doomed)
    if (d->hwnd && IsWindow(d->hwnd)) DestroyWindow(d->hwnd);
  for (auto& f : s_->fonts) DeleteObject(f.second);
  for (auto& b : s_->brushes) DeleteObject(b.second);
}

int Screen::dpi() const { return s_->dpi; }

HWND Screen::windowHandle(const ui::Window& w) const {
  WindowView* v = s_->view(w);
  return v ? v->hwnd : nullptr;
}

HWND Screen::controlHandle(const ui::Control& c) const {
  ControlView* v = s_->view(c);
  return v ? v->hwnd : nullptr;
}

void Screen::pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));  // left for the loop that owns the program
      break;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  sync();
  s_->raisePending();
}

int Screen::run(const std::function<bool()>& ended) {
  sync();
  MSG m;
  while (!ended()) {
    BOOL got = GetMessageW(&m, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(m.wParam);
    if (got < 0) return -1;
    TranslateMessage(&m);
    DispatchMessageW(&m);
    if (!s_->doomed.empty()) sync();
    s_->raisePending();
  }
  return 0;
}

namespace {

POINT centreOf(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return {(r.right - r.left) / 2, (r.bottom - r.top) / 2};
}

void mouse(HWND h, UINT down, POINT p) {
  LPARAM at = MAKELPARAM(p.x, p.y);
  SendMessageW(h, down, MK_LBUTTON, at);
  SendMessageW(h, WM_LBUTTONUP, 0, at);
}

// A point of a list view below its last row, or of row r when r >= 0.
POINT listViewPoint(HWND h, int r, int rows) {
  RECT client;
  GetClientRect(h, &client);
  RECT item{};
  item.left = LVIR_BOUNDS;
  if (r >= 0 && SendMessageW(h, LVM_GETITEMRECT, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item)))
    return {item.left + 4, (item.top + item.bottom) / 2};
  int below = 0;
  item = RECT{};
  item.left = LVIR_BOUNDS;
  if (rows > 0 && SendMessageW(h, LVM_GETITEMRECT, static_cast<WPARAM>(rows - 1), reinterpret_cast<LPARAM>(&item)))
    below = item.bottom + 2;
  return {4, std::min(std::max(below, static_cast<int>(client.top) + 2), static_cast<int>(client.bottom) - 2)};
}

}  // namespace

void Screen::click(ui::Control& c) {
  ControlView* v = s_->view(c);
  if (!v || !v->hwnd) return;
  switch (v->kind) {
    case ui::Kind::Button:
    case ui::Kind::CheckBox:
      SendMessageW(v->hwnd, BM_CLICK, 0, 0);
      break;
    case ui::Kind::ListView:
      mouse(v->hwnd, WM_LBUTTONDOWN, listViewPoint(v->hwnd, -1, static_cast<ui::ListView&>(c).rowCount()));
      break;
    case ui::Kind::ComboBox:
      break;  // a click on a combo box only opens its list; picking is the user's action there
    default:
      mouse(v->hwnd, WM_LBUTTONDOWN, centreOf(v->hwnd));
      break;
  }
}

void Screen::dblClick(ui::Control& c) {
  ControlView* v = s_->view(c);
  if (!v || !v->hwnd) return;
  POINT p = centreOf(v->hwnd);
  if (v->kind == ui::Kind::ListView) {
    auto& view = static_cast<ui::ListView&>(c);
    p = listViewPoint(v->hwnd, view.selectedRow() >= 0 ? view.selectedRow() : 0, view.rowCount());
  }
  mouse(v->hwnd, WM_LBUTTONDBLCLK, p);
}

HWND createTopLevel(Screen::State& s, WindowView& w) {
  return CreateWindowExW(0, kWindowClass, widen(w.model->caption()).c_str(),
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT,
                         CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), &s);
}

}  // namespace platform::win
