#pragma once
// The control model: windows and controls as plain objects with integer twips geometry,
// captions, texts, list items, visibility and synchronous events in the manner of the
// original toolkit. A front end (tests, the session player) fires the user's events;
// code that sets a property fires the events the toolkit fires for it.
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui {

constexpr int kTwipsPerPixel = 15;
constexpr int kKeyEnter = 13;

class Window;

class Control {
 public:
  Control(Window& owner, std::string name, int index);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Window& window() const { return owner_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }            // -1 unless the control is a member of an array
  std::string fullName() const;                    // "Check1" or "Check1(1)"

  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void move(int left, int top);
  void move(int left, int top, int width, int height);
  void setSize(int width, int height);

  bool visible() const { return visible_; }
  void setVisible(bool v) { visible_ = v; }
  bool enabled() const { return enabled_; }
  void setEnabled(bool e) { enabled_ = e; }
  int tabIndex() const { return tabIndex_; }
  void setTabIndex(int t) { tabIndex_ = t; }
  // The frame or container that holds the control (positions are relative to it).
  Control* container() const { return container_; }
  void setContainer(Control* c) { container_ = c; }
  // The tab (from 0) of the tab container that shows the control; -1 when it lies on no tab.
  int page() const { return page_; }
  void setPage(int p) { page_ = p; }

  long backColor() const { return backColor_; }
  void setBackColor(long c) { backColor_ = c; }
  long foreColor() const { return foreColor_; }
  void setForeColor(long c) { foreColor_ = c; }

  // What the session's "expect text" compares: a caption or a text.
  virtual std::string displayText() const { return ""; }

  // The user's actions. Each fires the events the toolkit fires for it.
  virtual void userClick();
  virtual void userDblClick();
  void userKeyDown(int keyCode, int shift = 0);
  void userKeyPress(int keyAscii);

  std::function<void()> onClick, onDblClick, onGotFocus, onLostFocus, onChange;
  std::function<void(int& keyCode, int shift)> onKeyDown, onKeyUp;
  std::function<void(int& keyAscii)> onKeyPress;

 protected:
  void fire(const std::function<void()>& f) {
    if (f) f();
  }

 private:
  Window& owner_;
  std::string name_;
  int index_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true, enabled_ = true;
  int tabIndex_ = 0;
  Control* container_ = nullptr;
  int page_ = -1;
  long backColor_ = 0xFFFFFF, foreColor_ = 0;
};

// Controls with a caption: buttons, labels, frames.
class CaptionControl : public Control {
 public:
  using Control::Control;
  const std::string& caption() const { return caption_; }
  void setCaption(std::string c) { caption_ = std::move(c); }
  std::string displayText() const override { return caption_; }

 private:
  std::string caption_;
};

class Button : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
};

class Label : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
};

class Frame : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
};

// A check box: a user's click toggles the tick; Click fires only when the value changes.
class CheckBox : public CaptionControl {
 public:
  using CaptionControl::CaptionControl;
  int value() const { return value_; }  // 0 unticked, 1 ticked
  bool checked() const { return value_ == 1; }
  void setValue(int v);
  void userClick() override;

 private:
  int value_ = 0;
};

// A text box: setting its text, by the user or by code, fires Change.
class TextBox : public Control {
 public:
  using Control::Control;
  const std::string& text() const { return text_; }
  void setText(std::string t);
  std::string displayText() const override { return text_; }
  // SelStart: the caret's place, in characters from the start of the text.
  int selStart() const { return selStart_; }
  void setSelStart(int at) { selStart_ = at; }
  bool locked() const { return locked_; }
  void setLocked(bool l) { locked_ = l; }
  bool multiLine() const { return multiLine_; }
  void setMultiLine(bool m) { multiLine_ = m; }

 private:
  int selStart_ = 0;
  std::string text_;
  bool locked_ = false, multiLine_ = false;
};

// A list of text entries with a selected index (-1 none), shared by combo and list boxes.
class ListControl : public Control {
 public:
  using Control::Control;
  // A sorted list puts each new entry at its place in ascending text order.
  void addItem(std::string item);
  void insertItem(std::string item, int at);
  bool sorted() const { return sorted_; }
  void setSorted(bool s) { sorted_ = s; }
  void removeItem(int at);
  virtual void clear();
  int listCount() const { return static_cast<int>(items_.size()); }
  const std::vector<std::string>& items() const { return items_; }
  const std::string& item(int i) const { return items_.at(static_cast<size_t>(i)); }
  void setItem(int i, std::string t) { items_.at(static_cast<size_t>(i)) = std::move(t); }
  int listIndex() const { return listIndex_; }
  // Index of the entry equal to t, -1 when none.
  int find(const std::string& t) const;

 protected:
  std::vector<std::string> items_;
  int listIndex_ = -1;
  bool sorted_ = false;
};

// A combo box. Editable drop-down boxes take any typed text. Picking an entry sets the
// text and fires Click; typing sets the text and fires Change (not Click); setting the
// list index from code fires Click.
class ComboBox : public ListControl {
 public:
  enum class Style { DropDownCombo, SimpleCombo, DropDownList };
  using ListControl::ListControl;
  Style style() const { return style_; }
  void setStyle(Style s) { style_ = s; }
  const std::string& text() const { return text_; }
  // Code sets the text: Change fires.
  void setText(std::string t);
  void setListIndex(int i);
  // The user picks entry i (or the entry equal to text): text, index, Click.
  void userPick(int i);
  void userType(std::string t);
  void clear() override;
  std::string displayText() const override { return text_; }

 private:
  Style style_ = Style::DropDownCombo;
  std::string text_;
};

// A list box; setting the selected index from code fires Click. A multi-select list
// keeps a selection flag per entry.
class ListBox : public ListControl {
 public:
  using ListControl::ListControl;
  void setListIndex(int i);
  bool multiSelect() const { return multiSelect_; }
  void setMultiSelect(bool m) { multiSelect_ = m; }
  bool selected(int i) const;
  void setSelected(int i, bool s);
  // The user clicks entry i; with several, a ctrl-click selection of each.
  void userSelect(const std::vector<int>& entries);
  // The entry's selection flag goes with it.
  void removeItem(int at);
  void clear() override;
  std::string text() const { return listIndex_ >= 0 && listIndex_ < listCount() ? item(listIndex_) : ""; }

 private:
  bool multiSelect_ = false;
  std::vector<bool> selected_;
};

// A report-style list view: columns with widths and alignment, rows of cells (the row's
// text and its sub-items), one selected row, fore and back colours per row. A row's top
// and height are those the view reports: rows stand one under the other below the
// heading row, in the view's own coordinates (twips).
class ListView : public Control {
 public:
  enum class Align { Left, Center, Right };
  struct Column {
    std::string header;
    int width = 1000;
    Align align = Align::Left;
  };
  struct Row {
    std::vector<std::string> cells;  // the text and the sub-items
    long foreColor = 0;
    long backColor = 0xFFFFFF;
    bool bold = false;
    bool checked = false;
    std::string key;
  };
  using Control::Control;
  std::vector<Column>& columns() { return columns_; }
  const std::vector<Column>& columns() const { return columns_; }
  void addColumn(std::string header, int width, Align align = Align::Left) {
    columns_.push_back({std::move(header), width, align});
  }
  // Column c (from 0): its width, and its left edge measured from the view's left edge.
  int columnWidth(int c) const { return columns_.at(static_cast<size_t>(c)).width; }
  void setColumnWidth(int c, int w) { columns_.at(static_cast<size_t>(c)).width = w; }
  int columnLeft(int c) const;
  std::vector<Row>& rows() { return rows_; }
  const std::vector<Row>& rows() const { return rows_; }
  Row& addRow(std::vector<std::string> cells);
  // Row r goes; the rows below move up. The selection goes when it was that row.
  void removeRow(int r);
  void clearRows();
  int rowCount() const { return static_cast<int>(rows_.size()); }
  // The text of cell c (0 the row's text, 1... the sub-items) of row r; a cell never written is "".
  std::string cell(int r, int c) const;
  void setCell(int r, int c, std::string text);
  // The selected row, -1 for none. Selecting from code fires nothing.
  int selectedRow() const { return selected_; }
  void setSelectedRow(int r) { selected_ = (r >= 0 && r < rowCount()) ? r : -1; }
  // The user clicks row r: it becomes the selected row; Click, then ItemClick fire.
  void userSelect(int r);
  // The user clicks the view below its last row: no row stays selected; Click fires.
  void userClick() override;
  std::function<void(int row)> onItemClick;
  std::function<void(int column)> onColumnClick;

  // Geometry of rows: the heading row's height (0 when headings are hidden) and the
  // height of each row.
  bool headingsHidden() const { return headingsHidden_; }
  void setHeadingsHidden(bool h) { headingsHidden_ = h; }
  int rowHeight() const { return rowHeight_; }
  void setRowHeight(int h) { rowHeight_ = h; }
  int headingHeight() const { return headingsHidden_ ? 0 : headingHeight_; }
  void setHeadingHeight(int h) { headingHeight_ = h; }
  int rowTop(int r) const { return headingHeight() + r * rowHeight_; }

  const std::string& fontName() const { return fontName_; }
  double fontSize() const { return fontSize_; }
  void setFont(std::string name, double size) {
    fontName_ = std::move(name);
    fontSize_ = size;
  }

 private:
  std::vector<Column> columns_;
  std::vector<Row> rows_;
  int selected_ = -1;
  bool headingsHidden_ = false;
  int headingHeight_ = 225, rowHeight_ = 210;
  std::string fontName_;
  double fontSize_ = 9;
};

// A tabbed container: the current tab counts from 0; the user's click fires Click
// with the previous tab.
class Tabs : public Control {
 public:
  using Control::Control;
  void addTab(std::string caption) { captions_.push_back(std::move(caption)); }
  int tabCount() const { return static_cast<int>(captions_.size()); }
  int tab() const { return tab_; }
  void setTab(int t);
  void userSelect(int t) { setTab(t); }
  const std::vector<std::string>& captions() const { return captions_; }
  const std::string& caption(int t) const { return captions_.at(static_cast<size_t>(t)); }
  std::function<void(int previousTab)> onTabClick;

 private:
  std::vector<std::string> captions_;
  int tab_ = 0;
};

// A timer: the front end's ticks fire Timer while it is enabled.
class Timer : public Control {
 public:
  using Control::Control;
  int interval() const { return interval_; }
  void setInterval(int ms) { interval_ = ms; }
  void tick();
  std::function<void()> onTimer;

 private:
  int interval_ = 0;
};

// The system colour of window backgrounds (COLOR_WINDOW) as it reads.
constexpr long kColorWindow = 16777215;

enum class Kind { Button, ComboBox, TextBox, Label, Frame, CheckBox, ListBox, ListView, Tabs, Timer };

// One row of a window's layout: a control with its name, kind, the frame that holds it,
// its caption, its place (twips, within the frame), its place in the tab order, and the
// window's handlers of its events. A search for a caption lands on the row that names
// the control's code. A timer is not placed; its onClick handler runs on every tick.
template <class W>
struct ControlRow {
  const char* name;
  Kind kind;
  const char* frame;    // the name of the frame that holds it, or nullptr
  const char* caption;  // for buttons, labels, frames and check boxes; nullptr: none
  int left, top, width, height;
  int tabIndex = -1;    // -1: not set
  void (W::*onClick)() = nullptr;
  void (W::*onKeyPress)(int& keyAscii) = nullptr;
  int page = -1;                      // the tab of the container `frame` (a tab container) that shows it
  void (W::*onDblClick)() = nullptr;
  void (W::*onGotFocus)() = nullptr;
  void (W::*onKeyDown)(int& keyCode, int shift) = nullptr;
  void (W::*onKeyUp)(int& keyCode, int shift) = nullptr;
};

// A window: caption, geometry in twips, visibility, window state, controls by name.
class Window {
 public:
  enum class State { Normal, Minimized, Maximized };
  Window(std::string name, std::string caption);
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }
  void setCaption(std::string c) { caption_ = std::move(c); }

  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void setLeft(int l) { left_ = l; }
  void setTop(int t) { top_ = t; }
  void move(int left, int top) { left_ = left, top_ = top; }
  // The outer size follows from the client area and the frame of the window.
  void setClientSize(int width, int height);
  // The outer size, frame included; the client area follows.
  void setWidth(int width);
  void setHeight(int height);
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }

  bool visible() const { return visible_; }
  virtual void show();
  virtual void hide();
  State state() const { return state_; }
  void setState(State s) { state_ = s; }

  // A close request by the user or the system; the window's own rule decides.
  virtual void queryClose() { hide(); }

  Control* control(const std::string& name, int index = -1) const;
  std::vector<Control*> controls() const;
  std::vector<Timer*> timers() const;

  // Focus: the control that has it; moving it fires LostFocus, then GotFocus.
  Control* focused() const { return focused_; }
  void setFocus(Control& c);

 protected:
  template <class T>
  T& add(const std::string& name, int index = -1) {
    auto c = std::make_unique<T>(*this, name, index);
    T& ref = *c;
    controls_.push_back(std::move(c));
    return ref;
  }
  // A control the window's layout made, as its kind.
  template <class T>
  T& find(const std::string& name) {
    T* c = dynamic_cast<T*>(control(name));
    if (!c) throw std::logic_error("window " + name_ + " has no such control " + name);
    return *c;
  }
  // Makes the controls of a layout table (see ControlRow), in its order, and wires their
  // handlers to the window W.
  template <class W, size_t N>
  void layOut(const ControlRow<W> (&rows)[N]);

 private:
  std::string name_, caption_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int clientWidth_ = 0, clientHeight_ = 0;
  bool visible_ = false;
  State state_ = State::Normal;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* focused_ = nullptr;
};

template <class W, size_t N>
void Window::layOut(const ControlRow<W> (&rows)[N]) {
  W& self = static_cast<W&>(*this);
  for (const ControlRow<W>& row : rows) {
    Control& c = [&]() -> Control& {
      switch (row.kind) {
        case Kind::Button: return add<Button>(row.name);
        case Kind::ComboBox: return add<ComboBox>(row.name);
        case Kind::TextBox: return add<TextBox>(row.name);
        case Kind::Label: return add<Label>(row.name);
        case Kind::Frame: return add<Frame>(row.name);
        case Kind::CheckBox: return add<CheckBox>(row.name);
        case Kind::ListBox: return add<ListBox>(row.name);
        case Kind::ListView: return add<ListView>(row.name);
        case Kind::Tabs: return add<Tabs>(row.name);
        case Kind::Timer: break;
      }
      return add<Timer>(row.name);
    }();
    if (row.kind != Kind::Timer) c.move(row.left, row.top, row.width, row.height);
    if (row.frame) {
      Control* holder = control(row.frame);
      if (!holder) throw std::logic_error("window " + name_ + " has no container " + row.frame);
      c.setContainer(holder);
    }
    c.setPage(row.page);
    if (row.caption) static_cast<CaptionControl&>(c).setCaption(row.caption);
    if (row.tabIndex >= 0) c.setTabIndex(row.tabIndex);
    if (auto handler = row.onClick) {
      auto run = [&self, handler] { (self.*handler)(); };
      if (row.kind == Kind::Timer) static_cast<Timer&>(c).onTimer = run;
      else c.onClick = run;
    }
    if (auto handler = row.onKeyPress) c.onKeyPress = [&self, handler](int& key) { (self.*handler)(key); };
    if (auto handler = row.onDblClick) c.onDblClick = [&self, handler] { (self.*handler)(); };
    if (auto handler = row.onGotFocus) c.onGotFocus = [&self, handler] { (self.*handler)(); };
    if (auto handler = row.onKeyDown) c.onKeyDown = [&self, handler](int& key, int shift) { (self.*handler)(key, shift); };
    if (auto handler = row.onKeyUp) c.onKeyUp = [&self, handler](int& key, int shift) { (self.*handler)(key, shift); };
  }
}

// Frame of a window (twips): a fixed border on each side and a caption bar on top.
constexpr int kWindowBorder = 60;
constexpr int kWindowCaption = 300;

}  // namespace ui
