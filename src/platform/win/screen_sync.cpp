// Screen::sync: makes the real windows and controls look like the model. Each view keeps
// what the last sync put on screen, so a sync touches only what changed since.
#include "platform/win/screen_state.h"

#include <commctrl.h>

#include <algorithm>


namespace platform::win {

namespace {

// The extra height a drop-down combo box is made with: the height of its open list.
constexpr int kDropListPixels = 200;

DWORD builtStyleOf(const ui::Control& c, ui::Kind kind) {
  switch (kind) {
    case ui::Kind::TextBox: return static_cast<const ui::TextBox&>(c).multiLine() ? 1 : 0;
    case ui::Kind::ComboBox: return static_cast<DWORD>(static_cast<const ui::ComboBox&>(c).style());
    case ui::Kind::ListBox: return static_cast<const ui::ListBox&>(c).multiSelect() ? 1 : 0;
    default: return 0;
  }
}

bool isContainer(ui::Kind kind) {
  return kind == ui::Kind::Frame || kind == ui::Kind::Tabs;
}

int depthOf(const ui::Control& c) {
  int d = 0;
  for (const ui::Control* k = c.container(); k && d < 64; k = k->container()) ++d;
  return d;
}

void createControl(Screen::State& s, WindowView& w, ControlView& v) {
  ui::Control& c = *v.model;
  v.builtStyle = builtStyleOf(c, v.kind);
  v.applied = false;
  if (v.kind == ui::Kind::Timer) return;
  const wchar_t* cls = WC_STATICW;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD ex = 0;
  std::wstring text;
  switch (v.kind) {
    case ui::Kind::Button:
      cls = WC_BUTTONW;
      style |= BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP;
      break;
    case ui::Kind::CheckBox:
      cls = WC_BUTTONW;
      style |= BS_CHECKBOX | BS_NOTIFY | WS_TABSTOP;
      break;
    case ui::Kind::Frame:
      cls = WC_BUTTONW;
      style |= BS_GROUPBOX;
      break;
    case ui::Kind::Label:
      style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
      break;
    case ui::Kind::TextBox:
      cls = WC_EDITW;
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      if (v.builtStyle) style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
      ex = WS_EX_CLIENTEDGE;
      break;
    case ui::Kind::ComboBox: {
      cls = WC_COMBOBOXW;
      style |= WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL;
      auto st = static_cast<ui::ComboBox::Style>(v.builtStyle);
      style |= st == ui::ComboBox::Style::SimpleCombo    ? CBS_SIMPLE
               : st == ui::ComboBox::Style::DropDownList ? CBS_DROPDOWNLIST
                                                         : CBS_DROPDOWN;
      break;
    }
    case ui::Kind::ListBox:
      cls = WC_LISTBOXW;
      style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (v.builtStyle ? LBS_EXTENDEDSEL : 0);
      ex = WS_EX_CLIENTEDGE;
      break;
    case ui::Kind::ListView:
      cls = WC_LISTVIEWW;
      style |= WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
      ex = WS_EX_CLIENTEDGE;
      break;
    case ui::Kind::Tabs:
      cls = WC_TABCONTROLW;
      break;
    case ui::Kind::Timer:
      break;
  }
  v.id = w.nextId++;
  v.hwnd = CreateWindowExW(ex, cls, L"", style, 0, 0, 0, 0, w.hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(v.id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (!v.hwnd) return;
  s.controlByHwnd[v.hwnd] = &v;
  if (v.kind == ui::Kind::ComboBox) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(v.hwnd, &info)) {
      if (info.hwndItem && info.hwndItem != v.hwnd) v.edit = info.hwndItem;
      v.list = info.hwndList;
      if (v.edit) s.controlByHwnd[v.edit] = &v;
      if (v.list) s.controlByHwnd[v.list] = &v;
    }
  }
  if (v.kind == ui::Kind::ListView)
    SendMessageW(v.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  subclassControl(v);
  // What the new control shows starts from nothing, so the first sync sets all of it.
  v.visible = false;
  v.enabled = true;
  v.text.clear();
  v.items.clear();
  v.selected.clear();
  v.index = -1;
  v.check = 0;
  v.caret = 0;
  v.columns.clear();
  v.rowCount = 0;
  v.shownTop = -1;
  v.tabs.clear();
  v.font = nullptr;
  v.back = v.fore = -1;
}

void forget(Screen::State& s, ControlView& v) {
  for (HWND h : {v.hwnd, v.edit, v.list})
    if (h) s.controlByHwnd.erase(h);
}

void destroyControl(Screen::State& s, ControlView& v) {
  forget(s, v);
  if (v.kind == ui::Kind::Timer && v.timerRunning) KillTimer(v.owner->hwnd, static_cast<UINT_PTR>(v.id));
  v.timerRunning = false;
  if (v.hwnd) DestroyWindow(v.hwnd);
  v.hwnd = v.edit = v.list = nullptr;
}

// Containers lie under what they hold: deeper controls higher, a container under its
// fellows at its depth, and among equals a later control above an earlier one.
void orderControls(WindowView& w) {
  std::vector<std::pair<int, ControlView*>> order;  // the key, then the control, in the window's order
  for (auto& v : w.controls)
    if (v->hwnd) order.emplace_back(depthOf(*v->model) * 2 + (isContainer(v->kind) ? 0 : 1), v.get());
  std::reverse(order.begin(), order.end());
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  HWND after = HWND_TOP;
  for (const auto& entry : order) {
    SetWindowPos(entry.second->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = entry.second->hwnd;
  }
}

bool sameRow(const ui::ListView::Row& a, const ui::ListView::Row& b) {
  return a.cells == b.cells && a.foreColor == b.foreColor && a.backColor == b.backColor && a.bold == b.bold &&
         a.checked == b.checked;
}

bool sameColumn(const ui::ListView::Column& a, const ui::ListView::Column& b) {
  return a.header == b.header && a.width == b.width && a.align == b.align;
}

int columnFormat(ui::ListView::Align a) {
  return a == ui::ListView::Align::Right ? LVCFMT_RIGHT : a == ui::ListView::Align::Center ? LVCFMT_CENTER : LVCFMT_LEFT;
}

void setItems(HWND h, UINT reset, UINT add, const std::vector<std::string>& items) {
  SendMessageW(h, WM_SETREDRAW, FALSE, 0);
  SendMessageW(h, reset, 0, 0);
  for (const std::string& item : items) SendMessageW(h, add, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
  SendMessageW(h, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(h, nullptr, TRUE);
}

void syncListView(Screen::State& s, ControlView& v, ui::ListView& view) {
  HWND h = v.hwnd;
  const auto& cols = view.columns();
  bool sameCount = cols.size() == v.columns.size();
  if (!sameCount) {
    while (SendMessageW(h, LVM_DELETECOLUMN, 0, 0)) {
    }
  }
  bool changed = !sameCount;
  for (size_t i = 0; i < cols.size(); ++i) {
    if (sameCount && sameColumn(cols[i], v.columns[i])) continue;
    changed = true;
    std::wstring heading = widen(cols[i].header);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = columnFormat(cols[i].align);
    col.cx = twipsToPixels(cols[i].width, s.dpi);
    col.pszText = heading.data();
    col.iSubItem = static_cast<int>(i);
    SendMessageW(h, sameCount ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }
  if (changed) v.columns = cols;
  if (view.headingsHidden() != v.headingsHidden || !v.applied) {
    LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
    style = view.headingsHidden() ? (style | LVS_NOCOLUMNHEADER) : (style & ~static_cast<LONG_PTR>(LVS_NOCOLUMNHEADER));
    SetWindowLongPtrW(h, GWL_STYLE, style);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    v.headingsHidden = view.headingsHidden();
  }
  if (view.backColor() != v.back || view.foreColor() != v.fore) {
    SendMessageW(h, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(view.backColor()));
    SendMessageW(h, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(view.backColor()));
    SendMessageW(h, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(view.foreColor()));
    InvalidateRect(h, nullptr, TRUE);
  }
  if (view.rowCount() != v.rowCount || !v.applied) {
    SendMessageW(h, LVM_SETITEMCOUNT, static_cast<WPARAM>(view.rowCount()), LVSICF_NOSCROLL);
    InvalidateRect(h, nullptr, TRUE);
    v.rowCount = view.rowCount();
    v.shownTop = -1;
    v.index = -2;  // the selection is set again over the new rows
  }
  // Only the rows on screen are compared: the rest are read when they scroll into view.
  int top = static_cast<int>(SendMessageW(h, LVM_GETTOPINDEX, 0, 0));
  int end = std::min(view.rowCount(), top + static_cast<int>(SendMessageW(h, LVM_GETCOUNTPERPAGE, 0, 0)) + 1);
  top = std::clamp(top, 0, std::max(end, 0));
  bool same = top == v.shownTop && static_cast<int>(v.shownRows.size()) == end - top;
  for (int r = top; same && r < end; ++r)
    same = sameRow(view.rows()[static_cast<size_t>(r)], v.shownRows[static_cast<size_t>(r - top)]);
  if (!same) {
    v.shownRows.assign(view.rows().begin() + top, view.rows().begin() + end);
    v.shownTop = top;
    if (end > top) SendMessageW(h, LVM_REDRAWITEMS, static_cast<WPARAM>(top), static_cast<LPARAM>(end - 1));
  }
  if (view.selectedRow() != v.index || !v.applied) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (view.selectedRow() >= 0) {
      item.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(view.selectedRow()), reinterpret_cast<LPARAM>(&item));
    }
    v.index = view.selectedRow();
  }
}

void syncContent(Screen::State& s, ControlView& v) {
  ui::Control& c = *v.model;
  HWND h = v.hwnd;
  switch (v.kind) {
    case ui::Kind::Button:
    case ui::Kind::Label:
    case ui::Kind::Frame:
    case ui::Kind::CheckBox: {
      const std::string& caption = static_cast<ui::CaptionControl&>(c).caption();
      if (caption != v.text || !v.applied) {
        SetWindowTextW(h, widen(caption).c_str());
        v.text = caption;
      }
      if (v.kind == ui::Kind::CheckBox) {
        int value = static_cast<ui::CheckBox&>(c).value();
        if (value != v.check || !v.applied) {
          SendMessageW(h, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
          v.check = value;
        }
      }
      break;
    }
    case ui::Kind::TextBox: {
      auto& box = static_cast<ui::TextBox&>(c);
      if (box.text() != v.text || !v.applied) {
        SetWindowTextW(h, widen(withCrLf(box.text())).c_str());
        v.text = box.text();
        v.caret = -1;  // a new text puts the caret at its start: it goes back to SelStart
      }
      if (box.selStart() != v.caret || !v.applied) {
        SendMessageW(h, EM_SETSEL, static_cast<WPARAM>(box.selStart()), static_cast<LPARAM>(box.selStart()));
        v.caret = box.selStart();
      }
      if (box.locked() != v.locked || !v.applied) {
        SendMessageW(h, EM_SETREADONLY, box.locked(), 0);
        v.locked = box.locked();
      }
      break;
    }
    case ui::Kind::ComboBox: {
      auto& combo = static_cast<ui::ComboBox&>(c);
      bool reset = combo.items() != v.items || !v.applied;
      if (reset) {
        setItems(h, CB_RESETCONTENT, CB_ADDSTRING, combo.items());
        v.items = combo.items();
      }
      int i = combo.listIndex();
      bool pickList = combo.style() == ui::ComboBox::Style::DropDownList;
      if (reset || i != v.index || (!pickList && combo.text() != v.text)) {
        if (i >= 0 && (pickList || combo.item(i) == combo.text())) {
          SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        } else {
          SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
          if (!pickList) SetWindowTextW(h, widen(combo.text()).c_str());
        }
        v.index = i;
        v.text = combo.text();
      }
      break;
    }
    case ui::Kind::ListBox: {
      auto& box = static_cast<ui::ListBox&>(c);
      bool reset = box.items() != v.items || !v.applied;
      if (reset) {
        setItems(h, LB_RESETCONTENT, LB_ADDSTRING, box.items());
        v.items = box.items();
      }
      if (box.multiSelect()) {
        std::vector<bool> want(box.items().size());
        for (size_t k = 0; k < want.size(); ++k) want[k] = box.selected(static_cast<int>(k));
        if (reset || want != v.selected) {
          SendMessageW(h, LB_SETSEL, FALSE, -1);
          for (size_t k = 0; k < want.size(); ++k)
            if (want[k]) SendMessageW(h, LB_SETSEL, TRUE, static_cast<LPARAM>(k));
          v.selected = want;
        }
        if (box.listIndex() >= 0 && (reset || box.listIndex() != v.index))
          SendMessageW(h, LB_SETCARETINDEX, static_cast<WPARAM>(box.listIndex()), FALSE);
      } else if (reset || box.listIndex() != v.index) {
        SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(box.listIndex()), 0);
      }
      v.index = box.listIndex();
      break;
    }
    case ui::Kind::ListView:
      syncListView(s, v, static_cast<ui::ListView&>(c));
      break;
    case ui::Kind::Tabs: {
      auto& tabs = static_cast<ui::Tabs&>(c);
      bool reset = tabs.captions() != v.tabs || !v.applied;
      if (reset) {
        SendMessageW(h, TCM_DELETEALLITEMS, 0, 0);
        for (size_t t = 0; t < tabs.captions().size(); ++t) {
          std::wstring caption = widen(tabs.captions()[t]);
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = caption.data();
          SendMessageW(h, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
        }
        v.tabs = tabs.captions();
      }
      if (reset || tabs.tab() != v.index) {
        SendMessageW(h, TCM_SETCURSEL, static_cast<WPARAM>(tabs.tab()), 0);
        v.index = tabs.tab();
      }
      break;
    }
    case ui::Kind::Timer:
      break;
  }
}

void syncTimer(Screen::State& s, ControlView& v) {
  auto& timer = static_cast<ui::Timer&>(*v.model);
  bool on = s.realTimers && timer.enabled() && timer.interval() > 0;
  if (on == v.timerRunning && (!on || timer.interval() == v.interval)) return;
  if (on) SetTimer(v.owner->hwnd, static_cast<UINT_PTR>(v.id), static_cast<UINT>(timer.interval()), nullptr);
  else KillTimer(v.owner->hwnd, static_cast<UINT_PTR>(v.id));
  v.timerRunning = on;
  v.interval = timer.interval();
}

void syncControl(Screen::State& s, ControlView& v) {
  if (v.kind == ui::Kind::Timer) {
    syncTimer(s, v);
    return;
  }
  if (!v.hwnd) return;
  ui::Control& c = *v.model;
  int left, top;
  absolutePlace(c, left, top);
  int x = twipsToPixels(left, s.dpi), y = twipsToPixels(top, s.dpi);
  int w = twipsToPixels(c.width(), s.dpi), h = twipsToPixels(c.height(), s.dpi);
  if (!v.applied || x != v.x || y != v.y || w != v.w || h != v.h) {
    int made = h;
    if (v.kind == ui::Kind::ComboBox && static_cast<ui::ComboBox&>(c).style() != ui::ComboBox::Style::SimpleCombo)
      made += kDropListPixels;
    SetWindowPos(v.hwnd, nullptr, x, y, w, made, SWP_NOZORDER | SWP_NOACTIVATE);
    v.x = x, v.y = y, v.w = w, v.h = h;
  }
  HFONT font = v.kind == ui::Kind::ListView
                   ? s.fontFor(static_cast<ui::ListView&>(c).fontName(), static_cast<ui::ListView&>(c).fontSize(), false)
                   : s.fontFor("", 9, false);
  if (font != v.font) {
    SendMessageW(v.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    v.font = font;
  }
  syncContent(s, v);
  if (c.backColor() != v.back || c.foreColor() != v.fore) {
    InvalidateRect(v.hwnd, nullptr, TRUE);
    v.back = c.backColor();
    v.fore = c.foreColor();
  }
  if (!v.applied || c.enabled() != v.enabled) {
    EnableWindow(v.hwnd, c.enabled());
    v.enabled = c.enabled();
  }
  bool shown = shownByModel(c);
  if (!v.applied || shown != v.visible) {
    ShowWindow(v.hwnd, shown ? SW_SHOWNA : SW_HIDE);
    v.visible = shown;
  }
  v.applied = true;
}

void syncWindow(Screen::State& s, WindowView& w) {
  ui::Window& m = *w.model;
  if (!w.hwnd) {
    w.hwnd = createTopLevel(s, w);
    if (!w.hwnd) return;
    s.windowByHwnd[w.hwnd] = &w;
    w.applied = false;
    w.caption = m.caption();
  }
  bool added = false;
  for (ui::Control* c : m.controls()) {
    ControlView*& known = w.byModel[c];
    if (known) {
      if (builtStyleOf(*c, known->kind) != known->builtStyle) {
        destroyControl(s, *known);
        createControl(s, w, *known);
        added = true;
      }
      continue;
    }
    auto v = std::make_unique<ControlView>();
    v->model = c;
    v->kind = kindOf(*c);
    v->owner = &w;
    createControl(s, w, *v);
    known = v.get();
    w.controls.push_back(std::move(v));
    added = true;
  }
  if (added) orderControls(w);
  for (auto& v : w.controls) syncControl(s, *v);

  if (!w.applied || m.caption() != w.caption) {
    SetWindowTextW(w.hwnd, widen(m.caption()).c_str());
    w.caption = m.caption();
  }
  int x = twipsToPixels(m.left(), s.dpi), y = twipsToPixels(m.top(), s.dpi);
  int cw = twipsToPixels(std::max(m.clientWidth(), 0), s.dpi), ch = twipsToPixels(std::max(m.clientHeight(), 0), s.dpi);
  bool normal = m.state() == ui::Window::State::Normal;
  bool stateChanged = !w.applied || m.visible() != w.visible || m.state() != w.state;
  if (normal && m.visible() && (IsIconic(w.hwnd) || IsZoomed(w.hwnd))) ShowWindow(w.hwnd, SW_RESTORE);
  if (normal && (!w.applied || stateChanged || x != w.x || y != w.y || cw != w.cw || ch != w.ch)) {
    RECT r{0, 0, cw, ch};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(w.hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(w.hwnd, GWL_EXSTYLE)));
    SetWindowPos(w.hwnd, nullptr, x, y, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    w.x = x, w.y = y, w.cw = cw, w.ch = ch;
  }
  if (stateChanged) {
    int how = !m.visible()                                   ? SW_HIDE
              : m.state() == ui::Window::State::Minimized    ? SW_SHOWMINNOACTIVE
              : m.state() == ui::Window::State::Maximized    ? SW_SHOWMAXIMIZED
                                                             : SW_SHOWNORMAL;
    ShowWindow(w.hwnd, how);
    w.visible = m.visible();
    w.state = m.state();
  }
  // Focus moved by code goes to the real control, in the window the user works in.
  if (m.focused() != w.focused) {
    w.focused = m.focused();
    auto it = w.byModel.find(w.focused);
    if (it != w.byModel.end() && it->second->hwnd && it->second->visible && it->second->enabled &&
        GetActiveWindow() == w.hwnd)
      SetFocus(it->second->hwnd);
  }
  w.applied = true;
}

// Whether the view still belongs to the model window at its address: a window destroyed and
// made again may come back at the same address, with other controls.
bool sameWindow(const WindowView& w, const ui::Window& m) {
  if (w.name != m.name()) return false;
  std::vector<ui::Control*> controls = m.controls();
  if (controls.size() < w.controls.size()) return false;
  for (size_t i = 0; i < w.controls.size(); ++i)
    if (controls[i] != w.controls[i]->model || kindOf(*controls[i]) != w.controls[i]->kind) return false;
  return true;
}

void dropWindow(Screen::State& s, std::unique_ptr<WindowView> w) {
  w->model = nullptr;
  for (auto& v : w->controls) {
    forget(s, *v);
    if (v->kind == ui::Kind::Timer && v->timerRunning) KillTimer(w->hwnd, static_cast<UINT_PTR>(v->id));
    v->model = nullptr;
  }
  if (w->hwnd) {
    s.windowByHwnd.erase(w->hwnd);
    if (s.handling > 0) {
      // A handler of this window may still run below us: destroy it once the actions end.
      ShowWindow(w->hwnd, SW_HIDE);
    } else {
      DestroyWindow(w->hwnd);
      w->hwnd = nullptr;
    }
  }
  if (w->hwnd) s.doomed.push_back(std::move(w));
}

}  // namespace

void Screen::sync() {
  State& s = *s_;
  if (s.syncing) return;
  s.syncing = true;
  if (s.handling == 0) {
    for (auto& d : s.doomed)
      if (d->hwnd && IsWindow(d->hwnd)) DestroyWindow(d->hwnd);
    s.doomed.clear();
  }
  std::vector<ui::Window*> models = s.hooks.windows ? s.hooks.windows() : std::vector<ui::Window*>{};
  for (size_t i = 0; i < s.windows.size();) {
    ui::Window* m = s.windows[i]->model;
    if (std::find(models.begin(), models.end(), m) == models.end() || !sameWindow(*s.windows[i], *m)) {
      std::unique_ptr<WindowView> gone = std::move(s.windows[i]);
      s.windows.erase(s.windows.begin() + static_cast<long>(i));
      dropWindow(s, std::move(gone));
    } else {
      ++i;
    }
  }
  for (ui::Window* m : models) {
    if (!m) continue;
    WindowView* w = s.view(*m);
    if (!w) {
      auto made = std::make_unique<WindowView>();
      made->model = m;
      made->name = m->name();
      w = made.get();
      s.windows.push_back(std::move(made));
    }
    syncWindow(s, *w);
  }
  s.syncing = false;
}

}  // namespace platform::win
