// Screen::mismatches reads the real windows back through Win32 and names each difference
// from the model; Screen::screenshot writes the whole screen as a BMP file.
#include "platform/win/screen_state.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>


namespace platform::win {

namespace {

// The cells of larger list views are read for their first rows only.
constexpr int kCheckedRows = 10000;
// A control reports this many differing cells at most.
constexpr int kReportedCells = 20;

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string place(int x, int y, int w, int h) {
  return "(" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(w) + ", " + std::to_string(h) + ")";
}

std::string joined(const std::vector<int>& v) {
  std::string out = "[";
  for (size_t i = 0; i < v.size(); ++i) out += (i ? ", " : "") + std::to_string(v[i]);
  return out + "]";
}

std::string stateName(ui::Window::State s) {
  return s == ui::Window::State::Minimized ? "minimised" : s == ui::Window::State::Maximized ? "maximised" : "normal";
}

struct Report {
  std::vector<std::string>& out;
  std::string who;
  void differs(const std::string& what, const std::string& screen, const std::string& model) {
    if (screen != model)
      out.push_back(who + ": " + (what.empty() ? "" : what + " ") + screen + " on screen, " + model + " in the model");
  }
  void differs(const std::string& what, int screen, int model) {
    differs(what, std::to_string(screen), std::to_string(model));
  }
  void note(const std::string& what) { out.push_back(who + ": " + what); }
};

std::string listText(HWND h, UINT lenMsg, UINT textMsg, int i) {
  auto n = SendMessageW(h, lenMsg, static_cast<WPARAM>(i), 0);
  if (n < 0) return {};
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  auto got = SendMessageW(h, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
  return narrow(buf);
}

void checkItems(Report& r, HWND h, UINT countMsg, UINT lenMsg, UINT textMsg, const std::vector<std::string>& items) {
  int n = static_cast<int>(SendMessageW(h, countMsg, 0, 0));
  if (n != static_cast<int>(items.size())) {
    r.differs("item count", n, static_cast<int>(items.size()));
    return;
  }
  for (int i = 0; i < n; ++i)
    r.differs("item " + std::to_string(i), quoted(listText(h, lenMsg, textMsg, i)), quoted(items[static_cast<size_t>(i)]));
}

std::string cellText(HWND h, int row, int col) {
  std::wstring buf(1024, L'\0');
  LVITEMW item{};
  item.iSubItem = col;
  item.pszText = buf.data();
  item.cchTextMax = static_cast<int>(buf.size());
  auto n = SendMessageW(h, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  buf.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
  return narrow(buf);
}

void checkListView(Report& r, HWND h, const ui::ListView& view, int dpi) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(h, LVM_GETHEADER, 0, 0));
  int cols = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  r.differs("column count", cols, static_cast<int>(view.columns().size()));
  for (int c = 0; c < std::min(cols, static_cast<int>(view.columns().size())); ++c) {
    const auto& want = view.columns()[static_cast<size_t>(c)];
    std::wstring buf(512, L'\0');
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = buf.data();
    col.cchTextMax = static_cast<int>(buf.size());
    SendMessageW(h, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
    buf.resize(wcslen(buf.c_str()));
    std::string at = "column " + std::to_string(c);
    r.differs(at + " heading", quoted(narrow(buf)), quoted(want.header));
    r.differs(at + " width", col.cx, twipsToPixels(want.width, dpi));
    int fmt = col.fmt & LVCFMT_JUSTIFYMASK;
    int wantFmt = want.align == ui::ListView::Align::Right    ? LVCFMT_RIGHT
                  : want.align == ui::ListView::Align::Center ? LVCFMT_CENTER
                                                              : LVCFMT_LEFT;
    if (c > 0) r.differs(at + " alignment", fmt, wantFmt);  // the first column always reads left
  }
  bool noHeadings = (GetWindowLongPtrW(h, GWL_STYLE) & LVS_NOCOLUMNHEADER) != 0;
  r.differs("headings", noHeadings ? "hidden" : "shown", view.headingsHidden() ? "hidden" : "shown");
  int rows = static_cast<int>(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0));
  r.differs("row count", rows, view.rowCount());
  int reported = 0;
  int last = std::min({rows, view.rowCount(), kCheckedRows});
  for (int row = 0; row < last && reported < kReportedCells; ++row)
    for (int c = 0; c < static_cast<int>(view.columns().size()) && reported < kReportedCells; ++c) {
      std::string screen = cellText(h, row, c), model = view.cell(row, c);
      if (screen == model) continue;
      r.differs("cell (" + std::to_string(row) + ", " + std::to_string(c) + ")", quoted(screen), quoted(model));
      ++reported;
    }
  int selected = static_cast<int>(SendMessageW(h, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  r.differs("selected row", selected, view.selectedRow());
}

void checkControl(Report& r, const ControlView& v, int dpi) {
  const ui::Control& c = *v.model;
  HWND h = v.hwnd;
  if (!h || !IsWindow(h)) {
    r.note("no real control");
    return;
  }
  int left, top;
  absolutePlace(c, left, top);
  RECT rc;
  GetWindowRect(h, &rc);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&rc), 2);
  int w = rc.right - rc.left, hgt = rc.bottom - rc.top;
  int wantH = twipsToPixels(c.height(), dpi);
  // A drop-down combo box is as high as its font makes it.
  if (v.kind == ui::Kind::ComboBox && static_cast<const ui::ComboBox&>(c).style() != ui::ComboBox::Style::SimpleCombo)
    hgt = wantH;
  r.differs("rectangle", place(rc.left, rc.top, w, hgt),
            place(twipsToPixels(left, dpi), twipsToPixels(top, dpi), twipsToPixels(c.width(), dpi), wantH));
  bool visible = (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0;
  r.differs("", visible ? "visible" : "hidden", shownByModel(c) ? "visible" : "hidden");
  r.differs("", IsWindowEnabled(h) ? "enabled" : "disabled", c.enabled() ? "enabled" : "disabled");
  switch (v.kind) {
    case ui::Kind::Button:
    case ui::Kind::Label:
    case ui::Kind::Frame:
    case ui::Kind::CheckBox:
      r.differs("caption", quoted(windowText(h)), quoted(static_cast<const ui::CaptionControl&>(c).caption()));
      if (v.kind == ui::Kind::CheckBox)
        r.differs("tick", SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0,
                  static_cast<const ui::CheckBox&>(c).value() == 1 ? 1 : 0);
      break;
    case ui::Kind::TextBox: {
      auto& box = static_cast<const ui::TextBox&>(c);
      r.differs("text", quoted(windowText(h)), quoted(withCrLf(box.text())));
      bool readOnly = (GetWindowLongPtrW(h, GWL_STYLE) & ES_READONLY) != 0;
      r.differs("", readOnly ? "locked" : "unlocked", box.locked() ? "locked" : "unlocked");
      break;
    }
    case ui::Kind::ComboBox: {
      auto& combo = static_cast<const ui::ComboBox&>(c);
      checkItems(r, h, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, combo.items());
      bool pickList = combo.style() == ui::ComboBox::Style::DropDownList;
      int i = combo.listIndex();
      std::string want = pickList ? (i >= 0 && i < combo.listCount() ? combo.item(i) : "") : combo.text();
      r.differs("text", quoted(windowText(h)), quoted(want));
      // Typing leaves an editable box's selection where it was; only a picked entry is compared.
      int real = static_cast<int>(SendMessageW(h, CB_GETCURSEL, 0, 0));
      if (pickList || i >= 0) r.differs("selected entry", real, i);
      break;
    }
    case ui::Kind::ListBox: {
      auto& box = static_cast<const ui::ListBox&>(c);
      checkItems(r, h, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, box.items());
      if (box.multiSelect()) {
        std::vector<int> screen, model;
        int n = static_cast<int>(SendMessageW(h, LB_GETCOUNT, 0, 0));
        for (int k = 0; k < n; ++k)
          if (SendMessageW(h, LB_GETSEL, static_cast<WPARAM>(k), 0) > 0) screen.push_back(k);
        for (int k = 0; k < box.listCount(); ++k)
          if (box.selected(k)) model.push_back(k);
        r.differs("selected entries", joined(screen), joined(model));
      } else {
        r.differs("selected entry", static_cast<int>(SendMessageW(h, LB_GETCURSEL, 0, 0)), box.listIndex());
      }
      break;
    }
    case ui::Kind::ListView:
      checkListView(r, h, static_cast<const ui::ListView&>(c), dpi);
      break;
    case ui::Kind::Tabs: {
      auto& tabs = static_cast<const ui::Tabs&>(c);
      int n = static_cast<int>(SendMessageW(h, TCM_GETITEMCOUNT, 0, 0));
      r.differs("tab count", n, tabs.tabCount());
      for (int t = 0; t < std::min(n, tabs.tabCount()); ++t) {
        std::wstring buf(512, L'\0');
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buf.data();
        item.cchTextMax = static_cast<int>(buf.size());
        SendMessageW(h, TCM_GETITEMW, static_cast<WPARAM>(t), reinterpret_cast<LPARAM>(&item));
        buf.resize(wcslen(buf.c_str()));
        r.differs("tab " + std::to_string(t), quoted(narrow(buf)), quoted(tabs.caption(t)));
      }
      r.differs("current tab", static_cast<int>(SendMessageW(h, TCM_GETCURSEL, 0, 0)), tabs.tab());
      break;
    }
    case ui::Kind::Timer:
      break;
  }
}

void checkWindow(std::vector<std::string>& out, const WindowView& w, int dpi) {
  const ui::Window& m = *w.model;
  Report r{out, m.name()};
  if (!w.hwnd || !IsWindow(w.hwnd)) {
    r.note("no real window");
    return;
  }
  r.differs("caption", quoted(windowText(w.hwnd)), quoted(m.caption()));
  r.differs("", IsWindowVisible(w.hwnd) ? "shown" : "hidden", m.visible() ? "shown" : "hidden");
  if (m.visible()) {
    ui::Window::State real = IsIconic(w.hwnd)   ? ui::Window::State::Minimized
                             : IsZoomed(w.hwnd) ? ui::Window::State::Maximized
                                                : ui::Window::State::Normal;
    r.differs("state", stateName(real), stateName(m.state()));
  }
  // The place of a normal window: the outer rectangle's corner, and the client area's size.
  if (m.state() == ui::Window::State::Normal) {
    RECT rc, client;
    if (IsIconic(w.hwnd) || IsZoomed(w.hwnd)) {
      WINDOWPLACEMENT wp{};
      wp.length = sizeof wp;
      GetWindowPlacement(w.hwnd, &wp);
      rc = wp.rcNormalPosition;
    } else {
      GetWindowRect(w.hwnd, &rc);
    }
    GetClientRect(w.hwnd, &client);
    r.differs("position", "(" + std::to_string(rc.left) + ", " + std::to_string(rc.top) + ")",
              "(" + std::to_string(twipsToPixels(m.left(), dpi)) + ", " + std::to_string(twipsToPixels(m.top(), dpi)) + ")");
    if (!IsIconic(w.hwnd))
      r.differs("client size", std::to_string(client.right) + " x " + std::to_string(client.bottom),
                std::to_string(twipsToPixels(std::max(m.clientWidth(), 0), dpi)) + " x " +
                    std::to_string(twipsToPixels(std::max(m.clientHeight(), 0), dpi)));
  }
  for (ui::Control* c : m.controls()) {
    Report cr{out, m.name() + "." + c->fullName()};
    auto it = w.byModel.find(c);
    if (it == w.byModel.end() || !it->second) {
      if (kindOf(*c) != ui::Kind::Timer) cr.note("no real control");
      continue;
    }
    if (it->second->kind == ui::Kind::Timer) continue;
    checkControl(cr, *it->second, dpi);
  }
}

}  // namespace

std::vector<std::string> Screen::mismatches() const {
  std::vector<std::string> out;
  std::vector<ui::Window*> models = s_->hooks.windows ? s_->hooks.windows() : std::vector<ui::Window*>{};
  for (ui::Window* m : models) {
    if (!m) continue;
    WindowView* w = s_->view(*m);
    if (!w) out.push_back(m->name() + ": no real window");
    else checkWindow(out, *w, s_->dpi);
  }
  for (const auto& w : s_->windows)
    if (std::find(models.begin(), models.end(), w->model) == models.end())
      out.push_back(w->name + ": a real window whose model window went");
  return out;
}

bool Screen::screenshot(const std::string& bmpPath) const {
  for (const auto& w : s_->windows)
    if (w->hwnd) RedrawWindow(w->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bmp && bits;
  if (ok) {
    HGDIOBJ old = SelectObject(mem, bmp);
    ok = BitBlt(mem, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(mem, old);
  }
  if (ok) {
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    info.bmiHeader.biSizeImage = size;
    FILE* f = _wfopen(widen(bmpPath).c_str(), L"wb");
    ok = f && fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
         fwrite(bits, size, 1, f) == 1;
    if (f && fclose(f) != 0) ok = false;
  }
  if (bmp) DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace platform::win
