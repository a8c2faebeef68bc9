// The Screen's message handling: the real controls' notifications, keys, focus and mouse
// become the model's user actions, and the window answers colours and list view cells.
#include "platform/win/screen_state.h"

#include <commctrl.h>

#include <algorithm>

namespace platform::win {

namespace {

constexpr UINT_PTR kSubclassId = 1;

int shiftState() {
  int s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= 1;
  if (GetKeyState(VK_CONTROL) < 0) s |= 2;
  if (GetKeyState(VK_MENU) < 0) s |= 4;
  return s;
}

// Runs the model's key down and tells whether a handler swallowed the key (set its code to 0).
// The model fires KeyDown, KeyPress and KeyUp for one key stroke; the wrapper only watches
// the code KeyDown leaves.
bool keyDownSwallowed(Screen::State& s, ui::Control& c, int code, int shift) {
  bool swallowed = false;
  s.act([&] {
    auto original = c.onKeyDown;
    struct Restore {
      ui::Control& c;
      std::function<void(int&, int)> f;
      ~Restore() { c.onKeyDown = std::move(f); }
    } restore{c, original};
    c.onKeyDown = [&](int& key, int sh) {
      if (original) original(key, sh);
      swallowed = key == 0;
    };
    c.userKeyDown(code, shift);
  });
  return swallowed;
}

std::vector<int> realSelection(HWND list) {
  int n = static_cast<int>(SendMessageW(list, LB_GETSELCOUNT, 0, 0));
  std::vector<int> picks(static_cast<size_t>(std::max(n, 0)));
  if (n > 0) SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(picks.data()));
  return picks;
}

// The colours of a label, frame or check box of the default white are the window's own.
bool takesWindowBackground(const ControlView& v) {
  return (v.kind == ui::Kind::Label || v.kind == ui::Kind::Frame || v.kind == ui::Kind::CheckBox) &&
         v.model->backColor() == 0xFFFFFF;
}

HBRUSH backgroundBrush(Screen::State& s, const ControlView& v) {
  return takesWindowBackground(v) ? GetSysColorBrush(COLOR_BTNFACE) : s.brushFor(v.model->backColor());
}

// A text box's SelStart follows the real caret: the user's keys and clicks move it.
void followCaret(ControlView& v) {
  if (v.kind != ui::Kind::TextBox || !v.model) return;
  DWORD start = 0, end = 0;
  SendMessageW(v.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  v.caret = static_cast<int>(end);
  static_cast<ui::TextBox&>(*v.model).setSelStart(v.caret);
}

bool takesFocus(ui::Kind k) {
  return k != ui::Kind::Label && k != ui::Kind::Frame && k != ui::Kind::Timer;
}

// Tab and shift-Tab move the focus along the model's tab order among the controls on screen.
void tabToNext(const ControlView& from, bool back) {
  std::vector<const ControlView*> order;
  for (const auto& v : from.owner->controls)
    if (v->hwnd && takesFocus(v->kind) && v->visible && v->enabled) order.push_back(v.get());
  std::stable_sort(order.begin(), order.end(),
                   [](auto* a, auto* b) { return a->model->tabIndex() < b->model->tabIndex(); });
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), &from);
  size_t i = at == order.end() ? 0 : static_cast<size_t>(at - order.begin());
  size_t next = back ? (i + order.size() - 1) % order.size() : (i + 1) % order.size();
  SetFocus(order[next]->hwnd);
}

LRESULT CALLBACK controlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* v = reinterpret_cast<ControlView*>(ref);
  Screen::State* s = v && v->owner ? reinterpret_cast<Screen::State*>(GetWindowLongPtrW(v->owner->hwnd, GWLP_USERDATA)) : nullptr;
  if (s && v->model && v->kind == ui::Kind::Frame && msg == WM_PAINT) {
    // A group box paints only its edge and caption; its inside is the window's to fill,
    // which the window's clipping of its children leaves undone.
    RECT r;
    GetClientRect(hwnd, &r);
    HDC dc = GetDC(hwnd);
    FillRect(dc, &r, backgroundBrush(*s, *v));
    ReleaseDC(hwnd, dc);
  }
  if (!s || s->syncing || !v->model) {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, controlProc, kSubclassId);
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  ui::Control& c = *v->model;
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (wp == VK_TAB && !(shiftState() & 6) && !(v->kind == ui::Kind::TextBox && v->builtStyle)) {
        v->swallowChar = true;  // the tab character goes nowhere
        tabToNext(*v, shiftState() & 1);
        return 0;
      }
    {
      auto* box = v->kind == ui::Kind::TextBox ? static_cast<ui::TextBox*>(&c) : nullptr;
      int caretBefore = box ? box->selStart() : 0;
      if (keyDownSwallowed(*s, c, static_cast<int>(wp), shiftState())) {
        v->swallowChar = true;
        return 0;
      }
      v->swallowChar = false;
      if (box && v->model) {
        // The model runs KeyUp with KeyDown, before the key's own move of the caret: a caret
        // its handlers placed stays where they put it, as it would after a real KeyUp.
        int placed = box->selStart();
        LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        if (v->model && placed != caretBefore)
          SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(placed), static_cast<LPARAM>(placed));
        else followCaret(*v);
        return r;
      }
      break;
    }
    case WM_CHAR:
    case WM_SYSCHAR:
      if (v->swallowChar) {
        v->swallowChar = false;
        return 0;
      }
      break;
    case WM_SETFOCUS: {
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      s->act([&c] { c.window().setFocus(c); });
      return r;
    }
    case WM_LBUTTONDBLCLK:
      if (v->kind == ui::Kind::ListView) v->mouseDown = true;
      if (v->kind == ui::Kind::TextBox) {
        LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        s->act([&c] { c.userDblClick(); });
        return r;
      }
      break;
    case WM_LBUTTONDOWN:
      if (v->kind == ui::Kind::ListView) v->mouseDown = true;  // until its NM_CLICK or button up
      break;
    case WM_LBUTTONUP:
      if (v->kind == ui::Kind::TextBox) {
        LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        followCaret(*v);
        return r;
      }
      if (v->kind == ui::Kind::ListView) {
        LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        v->mouseDown = false;
        return r;
      }
      if (v->kind == ui::Kind::Frame) {
        LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
        s->act([&c] { c.userClick(); });
        return r;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, controlProc, kSubclassId);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void onCommand(Screen::State& s, ControlView& v, int code) {
  ui::Control& c = *v.model;
  switch (v.kind) {
    case ui::Kind::Button:
    case ui::Kind::CheckBox:
      if (code == BN_CLICKED) s.act([&c] { c.userClick(); });
      else if (code == BN_DBLCLK) s.act([&c] { c.userDblClick(); });
      break;
    case ui::Kind::Label:
      if (code == STN_CLICKED) s.act([&c] { c.userClick(); });
      else if (code == STN_DBLCLK) s.act([&c] { c.userDblClick(); });
      break;
    case ui::Kind::TextBox:
      if (code == EN_CHANGE) {
        auto& box = static_cast<ui::TextBox&>(c);
        std::string real = windowText(v.hwnd);
        if (real == withCrLf(box.text())) break;  // the echo of our own text
        v.text = real;
        DWORD start = 0, end = 0;
        SendMessageW(v.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        v.caret = static_cast<int>(end);
        int caret = v.caret;
        s.act([&box, real, caret] {
          box.setSelStart(caret);
          box.setText(real);
        });
      }
      break;
    case ui::Kind::ComboBox: {
      auto& combo = static_cast<ui::ComboBox&>(c);
      if (code == CBN_SELCHANGE) {
        int i = static_cast<int>(SendMessageW(v.hwnd, CB_GETCURSEL, 0, 0));
        if (i < 0) break;
        v.index = i;
        if (i < combo.listCount()) v.text = combo.item(i);
        s.act([&combo, i] { combo.userPick(i); });
      } else if (code == CBN_EDITCHANGE) {
        std::string real = windowText(v.hwnd);
        v.text = real;
        v.index = combo.find(real);
        s.act([&combo, real] { combo.userType(real); });
      }
      break;
    }
    case ui::Kind::ListBox: {
      auto& box = static_cast<ui::ListBox&>(c);
      if (code == LBN_SELCHANGE) {
        std::vector<int> picks;
        if (box.multiSelect()) {
          picks = realSelection(v.hwnd);
        } else {
          int i = static_cast<int>(SendMessageW(v.hwnd, LB_GETCURSEL, 0, 0));
          if (i >= 0) picks.push_back(i);
        }
        if (picks.empty()) break;
        v.index = picks.back();
        v.selected.assign(box.items().size(), false);
        for (int p : picks)
          if (p < static_cast<int>(v.selected.size())) v.selected[static_cast<size_t>(p)] = true;
        s.act([&box, picks] { box.userSelect(picks); });
      } else if (code == LBN_DBLCLK) {
        s.act([&box] { box.userDblClick(); });
      }
      break;
    }
    default:
      break;
  }
}

LRESULT customDraw(Screen::State& s, ControlView& v, NMLVCUSTOMDRAW& cd) {
  auto& view = static_cast<ui::ListView&>(*v.model);
  switch (cd.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      auto r = static_cast<int>(cd.nmcd.dwItemSpec);
      if (r < 0 || r >= view.rowCount()) return CDRF_DODEFAULT;
      const ui::ListView::Row& row = view.rows()[static_cast<size_t>(r)];
      cd.clrText = static_cast<COLORREF>(row.foreColor != 0 ? row.foreColor : view.foreColor());
      // A row of the default white takes the view's own background.
      cd.clrTextBk = static_cast<COLORREF>(row.backColor != 0xFFFFFF ? row.backColor : view.backColor());
      if (row.bold) {
        SelectObject(cd.nmcd.hdc, s.fontFor(view.fontName(), view.fontSize(), true));
        return CDRF_NEWFONT;
      }
      return CDRF_DODEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

LRESULT onNotify(Screen::State& s, ControlView& v, NMHDR& n) {
  ui::Control& c = *v.model;
  if (v.kind == ui::Kind::ListView) {
    auto& view = static_cast<ui::ListView&>(c);
    if (n.code == LVN_GETDISPINFOW) {
      auto& info = reinterpret_cast<NMLVDISPINFOW&>(n);
      if ((info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0) {
        v.cellBuffer = info.item.iItem >= 0 && info.item.iItem < view.rowCount()
                           ? widen(view.cell(info.item.iItem, info.item.iSubItem))
                           : std::wstring();
        size_t n2 = std::min(v.cellBuffer.size(), static_cast<size_t>(info.item.cchTextMax - 1));
        std::copy_n(v.cellBuffer.data(), n2, info.item.pszText);
        info.item.pszText[n2] = L'\0';
      }
      return 0;
    }
    if (n.code == static_cast<UINT>(NM_CUSTOMDRAW)) return customDraw(s, v, reinterpret_cast<NMLVCUSTOMDRAW&>(n));
    if (s.syncing) return 0;
    if (n.code == LVN_ITEMCHANGED && !v.mouseDown) {
      // The keyboard moved the selection: the row it reached is the user's pick.
      auto& change = reinterpret_cast<NMLISTVIEW&>(n);
      bool nowSelected = (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED);
      int r = change.iItem;
      if (nowSelected && r >= 0 && r < view.rowCount() && r != view.selectedRow()) {
        v.index = r;
        s.act([&view, r] { view.userSelect(r); });
      }
    } else if (n.code == static_cast<UINT>(NM_CLICK)) {
      v.mouseDown = false;
      auto& act = reinterpret_cast<NMITEMACTIVATE&>(n);
      LVHITTESTINFO hit{};
      hit.pt = act.ptAction;
      int r = act.iItem;
      if (r < 0) r = static_cast<int>(SendMessageW(v.hwnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (r >= 0 && r < view.rowCount()) {
        v.index = r;
        s.act([&view, r] { view.userSelect(r); });
      } else {
        v.index = -1;
        s.act([&view] { view.userClick(); });
      }
    } else if (n.code == static_cast<UINT>(NM_DBLCLK)) {
      s.act([&view] { view.userDblClick(); });
    } else if (n.code == LVN_COLUMNCLICK) {
      int column = reinterpret_cast<NMLISTVIEW&>(n).iSubItem;
      s.act([&view, column] {
        if (view.onColumnClick) view.onColumnClick(column);
      });
    }
    return 0;
  }
  if (v.kind == ui::Kind::Tabs && n.code == static_cast<UINT>(TCN_SELCHANGE) && !s.syncing) {
    auto& tabs = static_cast<ui::Tabs&>(c);
    int t = static_cast<int>(SendMessageW(v.hwnd, TCM_GETCURSEL, 0, 0));
    v.index = t;
    s.act([&tabs, t] { tabs.userSelect(t); });
  }
  return 0;
}

ControlView* controlFor(Screen::State& s, HWND h) {
  auto it = s.controlByHwnd.find(h);
  return it == s.controlByHwnd.end() ? nullptr : it->second;
}

}  // namespace

LRESULT CALLBACK topLevelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* s = reinterpret_cast<Screen::State*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!s) return DefWindowProcW(hwnd, msg, wp, lp);
  auto found = s->windowByHwnd.find(hwnd);
  WindowView* w = found == s->windowByHwnd.end() ? nullptr : found->second;
  switch (msg) {
    case WM_COMMAND:
      if (lp && !s->syncing)
        if (ControlView* v = controlFor(*s, reinterpret_cast<HWND>(lp))) onCommand(*s, *v, HIWORD(wp));
      return 0;
    case WM_NOTIFY: {
      auto* n = reinterpret_cast<NMHDR*>(lp);
      if (ControlView* v = controlFor(*s, n->hwndFrom)) return onNotify(*s, *v, *n);
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      ControlView* v = controlFor(*s, reinterpret_cast<HWND>(lp));
      if (!v) break;
      auto dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, static_cast<COLORREF>(v->model->foreColor()));
      SetBkColor(dc, takesWindowBackground(*v) ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(v->model->backColor()));
      return reinterpret_cast<LRESULT>(backgroundBrush(*s, *v));
    }
    case WM_TIMER:
      if (w && !s->syncing)
        for (auto& v : w->controls)
          if (v->kind == ui::Kind::Timer && static_cast<WPARAM>(v->id) == wp) {
            auto& timer = static_cast<ui::Timer&>(*v->model);
            s->act([&timer] { timer.tick(); });
            return 0;
          }
      return 0;
    case WM_CLOSE:
      if (w && !s->syncing) {
        std::string name = w->name;
        ++s->handling;
        try {
          if (s->hooks.close) s->hooks.close(name);
        } catch (...) {
          if (!s->pending) s->pending = std::current_exception();
        }
        s->screen->sync();
        --s->handling;
      }
      return 0;  // the model decides whether the window goes
    case WM_MOVE:
      if (w && w->applied && !s->syncing && !IsIconic(hwnd) && !IsZoomed(hwnd)) {
        RECT r;
        GetWindowRect(hwnd, &r);
        ui::Window& m = *w->model;
        if (r.left != twipsToPixels(m.left(), s->dpi) || r.top != twipsToPixels(m.top(), s->dpi)) {
          w->x = r.left, w->y = r.top;
          int left = pixelsToTwips(r.left, s->dpi), top = pixelsToTwips(r.top, s->dpi);
          s->act([&m, left, top] { m.move(left, top); });
        }
      }
      break;
    case WM_SIZE:
      if (w && w->applied && !s->syncing) {
        ui::Window& m = *w->model;
        auto state = wp == SIZE_MINIMIZED   ? ui::Window::State::Minimized
                     : wp == SIZE_MAXIMIZED ? ui::Window::State::Maximized
                                            : ui::Window::State::Normal;
        int cw = LOWORD(lp), ch = HIWORD(lp);
        bool resized = state == ui::Window::State::Normal &&
                       (cw != twipsToPixels(m.clientWidth(), s->dpi) || ch != twipsToPixels(m.clientHeight(), s->dpi));
        if (state != m.state() || resized) {
          w->state = state;
          if (resized) w->cw = cw, w->ch = ch;
          int tw = pixelsToTwips(cw, s->dpi), th = pixelsToTwips(ch, s->dpi);
          s->act([&m, state, resized, tw, th] {
            m.setState(state);
            if (resized) m.setClientSize(tw, th);
          });
        }
      }
      break;
    case WM_SETFOCUS:
      // The window got the focus back (it was activated): it goes on to the model's focused control.
      if (w && w->model && w->model->focused()) {
        auto it = w->byModel.find(w->model->focused());
        if (it != w->byModel.end() && it->second->hwnd && it->second->visible && it->second->enabled)
          SetFocus(it->second->hwnd);
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      mm->ptMinTrackSize = {1, 1};
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Subclasses a new real control so its keys, focus and mouse reach the model.
void subclassControl(ControlView& v) {
  SetWindowSubclass(v.hwnd, controlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&v));
  if (v.edit) SetWindowSubclass(v.edit, controlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&v));
}

}  // namespace platform::win
