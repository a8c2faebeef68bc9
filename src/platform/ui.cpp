#include "platform/ui.h"

#include <algorithm>

namespace ui {

Control::Control(Window& owner, std::string name, int index)
    : owner_(owner), name_(std::move(name)), index_(index) {}

std::string Control::fullName() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::move(int left, int top) {
  left_ = left;
  top_ = top;
}

void Control::move(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

void Control::setSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void Control::userClick() { fire(onClick); }

void Control::userDblClick() {
  fire(onClick);
  fire(onDblClick);
}

void Control::userKeyDown(int keyCode, int shift) {
  int code = keyCode;
  if (onKeyDown) onKeyDown(code, shift);
  if (code == 0) return;  // the handler swallowed the key
  if (code < 256 && onKeyPress) {
    int ascii = code;
    onKeyPress(ascii);
  }
  if (onKeyUp) onKeyUp(code, shift);
}

void Control::userKeyPress(int keyAscii) {
  if (onKeyPress) onKeyPress(keyAscii);
}

void CheckBox::setValue(int v) {
  if (v == value_) return;
  value_ = v;
  fire(onClick);
}

void CheckBox::userClick() { setValue(value_ == 1 ? 0 : 1); }

void TextBox::setText(std::string t) {
  text_ = std::move(t);
  fire(onChange);
}

void ListControl::addItem(std::string item) {
  if (!sorted_) {
    items_.push_back(std::move(item));
    return;
  }
  insertItem(item, static_cast<int>(std::upper_bound(items_.begin(), items_.end(), item) - items_.begin()));
}

void ListControl::insertItem(std::string item, int at) {
  at = std::clamp(at, 0, listCount());
  items_.insert(items_.begin() + at, std::move(item));
  if (listIndex_ >= at) ++listIndex_;
}

void ListControl::removeItem(int at) {
  if (at < 0 || at >= listCount()) return;
  items_.erase(items_.begin() + at);
  if (listIndex_ == at) listIndex_ = -1;
  else if (listIndex_ > at) --listIndex_;
}

void ListControl::clear() {
  items_.clear();
  listIndex_ = -1;
}

int ListControl::find(const std::string& t) const {
  auto it = std::find(items_.begin(), items_.end(), t);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void ComboBox::setText(std::string t) {
  text_ = std::move(t);
  listIndex_ = find(text_);
  fire(onChange);
}

void ComboBox::setListIndex(int i) {
  if (i < 0 || i >= listCount()) {
    listIndex_ = -1;
    return;
  }
  listIndex_ = i;
  text_ = items_[static_cast<size_t>(i)];
  fire(onClick);
}

void ComboBox::userPick(int i) { setListIndex(i); }

void ComboBox::userType(std::string t) { setText(std::move(t)); }

void ComboBox::clear() {
  ListControl::clear();
  if (style_ == Style::DropDownList) text_.clear();
}

void ListBox::setListIndex(int i) {
  listIndex_ = (i >= 0 && i < listCount()) ? i : -1;
  if (!multiSelect_) {
    selected_.assign(items_.size(), false);
    if (listIndex_ >= 0) selected_[static_cast<size_t>(listIndex_)] = true;
  } else if (listIndex_ >= 0) {
    setSelected(listIndex_, true);
  }
  fire(onClick);
}

bool ListBox::selected(int i) const {
  if (i < 0 || i >= listCount()) return false;
  if (!multiSelect_) return i == listIndex_;
  return static_cast<size_t>(i) < selected_.size() && selected_[static_cast<size_t>(i)];
}

void ListBox::setSelected(int i, bool s) {
  if (i < 0 || i >= listCount()) return;
  selected_.resize(items_.size(), false);
  selected_[static_cast<size_t>(i)] = s;
}

void ListBox::userSelect(const std::vector<int>& entries) {
  if (multiSelect_) selected_.assign(items_.size(), false);
  for (int e : entries) setListIndex(e);
}

void ListBox::removeItem(int at) {
  if (at >= 0 && static_cast<size_t>(at) < selected_.size()) selected_.erase(selected_.begin() + at);
  ListControl::removeItem(at);
}

void ListBox::clear() {
  ListControl::clear();
  selected_.clear();
}

ListView::Row& ListView::addRow(std::vector<std::string> cells) {
  Row r;
  r.cells = std::move(cells);
  rows_.push_back(std::move(r));
  return rows_.back();
}

int ListView::columnLeft(int c) const {
  int left = 0;
  for (int k = 0; k < c && k < static_cast<int>(columns_.size()); ++k) left += columns_[static_cast<size_t>(k)].width;
  return left;
}

void ListView::removeRow(int r) {
  if (r < 0 || r >= rowCount()) return;
  rows_.erase(rows_.begin() + r);
  if (selected_ == r) selected_ = -1;
  else if (selected_ > r) --selected_;
}

std::string ListView::cell(int r, int c) const {
  const auto& cells = rows_.at(static_cast<size_t>(r)).cells;
  return c >= 0 && static_cast<size_t>(c) < cells.size() ? cells[static_cast<size_t>(c)] : "";
}

void ListView::setCell(int r, int c, std::string text) {
  auto& cells = rows_.at(static_cast<size_t>(r)).cells;
  if (static_cast<size_t>(c) >= cells.size()) cells.resize(static_cast<size_t>(c) + 1);
  cells[static_cast<size_t>(c)] = std::move(text);
}

void ListView::clearRows() {
  rows_.clear();
  selected_ = -1;
}

void ListView::userSelect(int r) {
  if (r < 0 || r >= rowCount()) return;
  selected_ = r;
  fire(onClick);
  if (onItemClick) onItemClick(r);
}

void ListView::userClick() {
  selected_ = -1;
  fire(onClick);
}

void Tabs::setTab(int t) {
  if (t < 0 || t >= tabCount()) return;
  int previous = tab_;
  tab_ = t;
  if (onTabClick) onTabClick(previous);
  fire(onClick);
}

void Timer::tick() {
  if (enabled() && interval() > 0) fire(onTimer);
}

Window::Window(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}

void Window::setClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  width_ = width + 2 * kWindowBorder;
  height_ = height + kWindowCaption + 2 * kWindowBorder;
}

void Window::setWidth(int width) {
  width_ = width;
  clientWidth_ = width - 2 * kWindowBorder;
}

void Window::setHeight(int height) {
  height_ = height;
  clientHeight_ = height - kWindowCaption - 2 * kWindowBorder;
}

void Window::show() { visible_ = true; }
void Window::hide() { visible_ = false; }

Control* Window::control(const std::string& name, int index) const {
  for (const auto& c : controls_)
    if (c->name() == name && c->index() == index) return c.get();
  return nullptr;
}

std::vector<Control*> Window::controls() const {
  std::vector<Control*> out;
  for (const auto& c : controls_) out.push_back(c.get());
  return out;
}

std::vector<Timer*> Window::timers() const {
  std::vector<Timer*> out;
  for (const auto& c : controls_)
    if (auto* t = dynamic_cast<Timer*>(c.get())) out.push_back(t);
  return out;
}

void Window::setFocus(Control& c) {
  if (focused_ == &c) return;
  Control* previous = focused_;
  focused_ = &c;
  if (previous && previous->onLostFocus) previous->onLostFocus();
  if (c.onGotFocus) c.onGotFocus();
}

}  // namespace ui
