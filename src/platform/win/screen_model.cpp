// Texts, kinds and the model's rules of what shows, as the Screen reads them.
#include "platform/win/screen_state.h"

#include <commctrl.h>


namespace platform::win {

int twipsToPixels(int twips, int dpi) {
  long long t = static_cast<long long>(twips) * dpi;
  return static_cast<int>(t >= 0 ? (t + 720) / 1440 : -((-t + 720) / 1440));
}

int pixelsToTwips(int pixels, int dpi) {
  if (dpi <= 0) return 0;
  long long t = static_cast<long long>(pixels) * 1440;
  return static_cast<int>(t >= 0 ? (t + dpi / 2) / dpi : -((-t + dpi / 2) / dpi));
}

std::string windowText(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  int got = GetWindowTextW(h, buf.data(), n + 1);
  buf.resize(static_cast<size_t>(got > 0 ? got : 0));
  return narrow(buf);
}

std::string withCrLf(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return out;
}

ui::Kind kindOf(const ui::Control& c) {
  if (dynamic_cast<const ui::CheckBox*>(&c)) return ui::Kind::CheckBox;
  if (dynamic_cast<const ui::Button*>(&c)) return ui::Kind::Button;
  if (dynamic_cast<const ui::Label*>(&c)) return ui::Kind::Label;
  if (dynamic_cast<const ui::Frame*>(&c)) return ui::Kind::Frame;
  if (dynamic_cast<const ui::TextBox*>(&c)) return ui::Kind::TextBox;
  if (dynamic_cast<const ui::ComboBox*>(&c)) return ui::Kind::ComboBox;
  if (dynamic_cast<const ui::ListBox*>(&c)) return ui::Kind::ListBox;
  if (dynamic_cast<const ui::ListView*>(&c)) return ui::Kind::ListView;
  if (dynamic_cast<const ui::Tabs*>(&c)) return ui::Kind::Tabs;
  if (dynamic_cast<const ui::Timer*>(&c)) return ui::Kind::Timer;
  return ui::Kind::Label;  // a caption control of no known kind shows as a label
}

// Containers nest only a few deep; the bound stops a loop of containers from hanging.
constexpr int kMaxNesting = 64;

bool shownByModel(const ui::Control& c) {
  const ui::Control* k = &c;
  for (int depth = 0; k && depth < kMaxNesting; ++depth) {
    if (!k->visible()) return false;
    const ui::Control* holder = k->container();
    if (holder && k->page() >= 0) {
      if (auto* tabs = dynamic_cast<const ui::Tabs*>(holder); tabs && tabs->tab() != k->page()) return false;
    }
    k = holder;
  }
  return true;
}

void absolutePlace(const ui::Control& c, int& left, int& top) {
  left = c.left();
  top = c.top();
  const ui::Control* holder = c.container();
  for (int depth = 0; holder && depth < kMaxNesting; ++depth) {
    left += holder->left();
    top += holder->top();
    holder = holder->container();
  }
}

}  // namespace platform::win
