#include "app/session.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "app/program.h"
#include "sim/sim_programs.h"
#include "formats/workbook_files.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"

namespace app {

namespace fs = std::filesystem;

std::vector<std::string> sessionWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0, n = line.size();
  while (i < n) {
    while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= n) break;
    std::string w;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < n) {
        char c = line[i++];
        if (c == '"') {
          closed = true;
          break;
        }
        if (c == '\\') {
          if (i >= n) throw std::runtime_error("a backslash ends the line");
          char e = line[i++];
          if (e == 'n') w += '\n';
          else if (e == '"') w += '"';
          else if (e == '\\') w += '\\';
          else throw std::runtime_error(std::string("unknown escape \\") + e);
        } else {
          w += c;
        }
      }
      if (!closed) throw std::runtime_error("a quoted word is not closed");
      if (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
        throw std::runtime_error("a quoted word runs into the next word");
    } else {
      while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') w += line[i++];
    }
    words.push_back(std::move(w));
  }
  return words;
}

namespace {

// A step that cannot be carried out: the run stops with this text.
struct StepError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& what) { throw StepError(what); }

long number(const std::string& w, const std::string& what) {
  auto n = vb::parseNumber(w);
  // Compared as doubles first: converting a value beyond long's range is undefined.
  constexpr double kLimit = 9.0e18;
  if (!n || !(*n > -kLimit && *n < kLimit) || *n != std::floor(*n))
    fail(what + " must be a whole number, not \"" + w + "\"");
  return static_cast<long>(*n);
}

// A whole number from lo to hi: sizes, places and counts the program holds as int.
long numberIn(const std::string& w, const std::string& what, long lo, long hi) {
  long n = number(w, what);
  if (n < lo || n > hi)
    fail(what + " must be from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not " + w);
  return n;
}

constexpr long kMaxScreenPixels = 100000;
constexpr long kMaxCursorPixels = 1000000;
constexpr long kMaxPlaceTwips = 100000000;  // far beyond any screen, far below int's limit
constexpr long kMaxTicks = 1000000;

std::string executableFolder() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return fs::current_path().string();
  buf[n] = 0;
  return fs::path(buf).parent_path().string();
}

class Player {
 public:
  Player(const std::string& sessionPath, std::ostream& out) : out_(out) {
    base_ = fs::absolute(fs::path(sessionPath)).parent_path();
    world_.user.onLine = [this](const std::string& l) { out_ << l << "\n"; };
    world_.desktop.onLine = [this](const std::string& l) { out_ << l << "\n"; };
    world_.desktop.setProgramFolder(executableFolder());
    program_ = std::make_unique<Program>(world_.programs, world_.user, world_.desktop, world_.files);
    program_->start();
  }

  void step(const std::vector<std::string>& w);
  void saveAll(const fs::path& dir);

 private:
  using Args = std::vector<std::string>;
  std::string resolve(const std::string& p) const {
    fs::path path(p);
    if (path.is_relative()) path = base_ / path;
    return path.lexically_normal().string();
  }
  void need(const Args& w, size_t min, size_t max, const char* usage) {
    if (w.size() < min || w.size() > max) fail(std::string("usage: ") + usage);
  }
  ui::Window& existingWindow(const std::string& name);
  ui::Control& control(const std::string& ref);
  std::shared_ptr<sim::SimSpreadsheet> spreadsheet();
  std::shared_ptr<sim::SimPads> pads(const std::string& progId);
  void fire(const std::function<void()>& f) { program_->dispatch(f); }

  void spreadsheetStep(const Args& w);
  void padsStep(const Args& w);
  void faultStep(const Args& w);
  void answerStep(const Args& w);
  void expectStep(const Args& w);
  void controlStep(const Args& w);

  std::ostream& out_;
  fs::path base_;
  sim::World world_;
  std::unique_ptr<Program> program_;
};

ui::Window& Player::existingWindow(const std::string& name) {
  if (!program_->knows(name)) fail("no window named \"" + name + "\"");
  ui::Window* win = program_->existing(name);
  if (!win) fail("window \"" + name + "\" does not exist yet");
  return *win;
}

ui::Control& Player::control(const std::string& ref) {
  size_t dot = ref.find('.');
  if (dot == std::string::npos) fail("a control is written WINDOW.CONTROL, not \"" + ref + "\"");
  ui::Window& win = existingWindow(ref.substr(0, dot));
  std::string name = ref.substr(dot + 1);
  int index = -1;
  if (!name.empty() && name.back() == ')') {
    size_t open = name.find('(');
    if (open == std::string::npos) fail("bad control name \"" + name + "\"");
    index = static_cast<int>(numberIn(name.substr(open + 1, name.size() - open - 2), "a control index", 0, 32767));
    name = name.substr(0, open);
  }
  ui::Control* c = win.control(name, index);
  if (!c) fail("window \"" + win.name() + "\" has no control \"" + ref.substr(dot + 1) + "\"");
  return *c;
}

std::shared_ptr<sim::SimSpreadsheet> Player::spreadsheet() {
  const auto& all = world_.programs.spreadsheets();
  if (all.empty()) fail("no spreadsheet program runs");
  return all.front();
}

std::shared_ptr<sim::SimPads> Player::pads(const std::string& progId) {
  auto p = world_.programs.pads(progId);
  if (!p) fail("no program " + progId + " runs");
  return p;
}

void Player::step(const Args& w) {
  const std::string& verb = w[0];
  static const std::set<std::string> afterEnd = {"expect", "save"};
  if (program_->ended() && !afterEnd.count(verb)) fail("the program has ended; only expect and save may follow");

  if (verb == "spreadsheet") return spreadsheetStep(w);
  if (verb == "pads") return padsStep(w);
  if (verb == "fault") return faultStep(w);
  if (verb == "answer") return answerStep(w);
  if (verb == "expect") return expectStep(w);
  if (verb == "screen") {
    need(w, 3, 3, "screen W H");
    world_.desktop.setScreen(static_cast<int>(numberIn(w[1], "W", 1, kMaxScreenPixels)),
                             static_cast<int>(numberIn(w[2], "H", 1, kMaxScreenPixels)));
    return;
  }
  if (verb == "cursor") {
    need(w, 3, 3, "cursor X Y");
    world_.desktop.setCursor(static_cast<int>(numberIn(w[1], "X", -kMaxCursorPixels, kMaxCursorPixels)),
                             static_cast<int>(numberIn(w[2], "Y", -kMaxCursorPixels, kMaxCursorPixels)));
    return;
  }
  if (verb == "date") {
    need(w, 2, 2, "date YYYY-MM-DD");
    const std::string& d = w[1];
    if (d.size() != 10 || d[4] != '-' || d[7] != '-') fail("a date is written YYYY-MM-DD");
    platform::Date date{static_cast<int>(number(d.substr(0, 4), "the year")),
                        static_cast<int>(number(d.substr(5, 2), "the month")),
                        static_cast<int>(number(d.substr(8, 2), "the day"))};
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) fail("no such date: " + d);
    world_.desktop.setToday(date);
    return;
  }
  if (verb == "folder") {
    need(w, 2, 2, "folder DIR");
    world_.desktop.setProgramFolder(resolve(w[1]));
    return;
  }
  if (verb == "save") {
    need(w, 2, 2, "save DIR");
    saveAll(resolve(w[1]));
    return;
  }
  if (verb == "tick") {
    need(w, 1, 2, "tick [N]");
    long n = w.size() == 2 ? numberIn(w[1], "N", 0, kMaxTicks) : 1;
    program_->tick(static_cast<int>(n));
    return;
  }
  if (verb == "close") {
    need(w, 2, 2, "close W");
    existingWindow(w[1]);
    program_->close(w[1]);
    return;
  }
  if (verb == "move") {
    need(w, 4, 4, "move W LEFT TOP");
    ui::Window& win = existingWindow(w[1]);
    int l = static_cast<int>(numberIn(w[2], "LEFT", -kMaxPlaceTwips, kMaxPlaceTwips));
    int t = static_cast<int>(numberIn(w[3], "TOP", -kMaxPlaceTwips, kMaxPlaceTwips));
    fire([&] { win.move(l, t); });
    return;
  }
  if (verb == "minimize" || verb == "restore") {
    need(w, 2, 2, "minimize W / restore W");
    ui::Window& win = existingWindow(w[1]);
    win.setState(verb == "minimize" ? ui::Window::State::Minimized : ui::Window::State::Normal);
    return;
  }
  controlStep(w);
}

void Player::controlStep(const Args& w) {
  const std::string& verb = w[0];
  if (verb == "type") {
    need(w, 3, 3, "type W.C TEXT");
    ui::Control& c = control(w[1]);
    std::string text = w[2];
    if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) fire([combo, text] { combo->userType(text); });
    else if (auto* box = dynamic_cast<ui::TextBox*>(&c)) fire([box, text] { box->setText(text); });
    else fail(w[1] + " takes no typed text");
    return;
  }
  if (verb == "pick") {
    need(w, 3, 3, "pick W.C TEXT");
    ui::Control& c = control(w[1]);
    auto* list = dynamic_cast<ui::ListControl*>(&c);
    if (!list) fail(w[1] + " has no list entries");
    int i = list->find(w[2]);
    if (i < 0) fail(w[1] + " has no entry \"" + sim::printable(w[2]) + "\"");
    if (auto* combo = dynamic_cast<ui::ComboBox*>(list)) fire([combo, i] { combo->userPick(i); });
    else if (auto* box = dynamic_cast<ui::ListBox*>(list)) fire([box, i] { box->userSelect({i}); });
    return;
  }
  if (verb == "click" || verb == "dblclick") {
    need(w, 2, 2, "click W.C");
    ui::Control& c = control(w[1]);
    if (verb == "click") fire([&c] { c.userClick(); });
    else fire([&c] { c.userDblClick(); });
    return;
  }
  if (verb == "key") {
    need(w, 3, 3, "key W.C CODE");
    ui::Control& c = control(w[1]);
    int code = static_cast<int>(numberIn(w[2], "CODE", 0, 65535));
    fire([&c, code] { c.userKeyDown(code); });
    return;
  }
  if (verb == "focus") {
    need(w, 2, 2, "focus W.C");
    ui::Control& c = control(w[1]);
    fire([&c] { c.window().setFocus(c); });
    return;
  }
  if (verb == "select") {
    if (w.size() < 3) fail("usage: select W.C N [N ...]");
    ui::Control& c = control(w[1]);
    std::vector<int> picks;
    for (size_t k = 2; k < w.size(); ++k) {
      long n = number(w[k], "N");
      if (n < 1) fail("N counts from 1");
      if (n > 1000000000) fail(w[1] + " has no entry " + w[k]);
      picks.push_back(static_cast<int>(n - 1));
    }
    if (auto* box = dynamic_cast<ui::ListBox*>(&c)) {
      for (int p : picks)
        if (p >= box->listCount()) fail(w[1] + " has no entry " + std::to_string(p + 1));
      if (picks.size() > 1 && !box->multiSelect()) fail(w[1] + " takes one entry at a time");
      fire([box, picks] { box->userSelect(picks); });
      return;
    }
    if (picks.size() != 1) fail(w[1] + " takes one number");
    int p = picks[0];
    if (auto* view = dynamic_cast<ui::ListView*>(&c)) {
      if (p >= view->rowCount()) fail(w[1] + " has no row " + std::to_string(p + 1));
      fire([view, p] { view->userSelect(p); });
    } else if (auto* tabs = dynamic_cast<ui::Tabs*>(&c)) {
      if (p >= tabs->tabCount()) fail(w[1] + " has no tab " + std::to_string(p + 1));
      fire([tabs, p] { tabs->userSelect(p); });
    } else if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) {
      if (p >= combo->listCount()) fail(w[1] + " has no entry " + std::to_string(p + 1));
      fire([combo, p] { combo->userPick(p); });
    } else {
      fail(w[1] + " has nothing to select");
    }
    return;
  }
  fail("unknown step \"" + verb + "\"");
}

void Player::spreadsheetStep(const Args& w) {
  if (w.size() < 2) fail("usage: spreadsheet start PROGID | open FILE | activate SHEET");
  const std::string& sub = w[1];
  if (sub == "start") {
    need(w, 3, 3, "spreadsheet start PROGID");
    if (!sim::SimPrograms::isSpreadsheetId(w[2])) fail("no spreadsheet program \"" + w[2] + "\"");
    world_.programs.runSpreadsheet(w[2])->setVisible(true);
  } else if (sub == "open") {
    need(w, 3, 3, "spreadsheet open FILE");
    auto s = spreadsheet();
    try {
      s->open(resolve(w[2]));
    } catch (const vb::Error& e) {
      fail("cannot open " + w[2] + ": " + e.description());
    }
  } else if (sub == "activate") {
    need(w, 3, 3, "spreadsheet activate SHEET");
    auto s = spreadsheet();
    try {
      s->userActivateSheet(w[2]);
    } catch (const vb::Error& e) {
      fail("no sheet \"" + w[2] + "\" in the active workbook");
    }
  } else {
    fail("unknown step \"spreadsheet " + sub + "\"");
  }
}

void Player::padsStep(const Args& w) {
  if (w.size() < 3) fail("usage: pads start PROGID [FILE] | save PROGID FILE | log PROGID");
  const std::string& sub = w[1];
  if (sub == "start") {
    need(w, 3, 4, "pads start PROGID [FILE]");
    if (!sim::SimPrograms::isPadsId(w[2])) fail("no PADS program \"" + w[2] + "\"");
    auto p = world_.programs.runPads(w[2]);
    p->setVisible(true);
    if (w.size() == 4) {
      try {
        p->openDocument(resolve(w[3]));
      } catch (const vb::Error& e) {
        fail("cannot open " + w[3] + ": " + e.description());
      }
    }
    p->takeLog();  // the set-up is no call of the program's
  } else if (sub == "save") {
    need(w, 4, 4, "pads save PROGID FILE");
    auto p = pads(w[2]);
    try {
      p->saveDesign(resolve(w[3]));
    } catch (const vb::Error& e) {
      fail("cannot save " + w[3] + ": " + e.description());
    }
  } else if (sub == "log") {
    need(w, 3, 3, "pads log PROGID");
    for (const std::string& line : pads(w[2])->takeLog()) out_ << "pads " << w[2] << ": " << line << "\n";
  } else {
    fail("unknown step \"pads " + sub + "\"");
  }
}

void Player::faultStep(const Args& w) {
  if (w.size() < 2) fail("usage: fault write PATH | pads PROGID add | pads PROGID MEMBER [N] | spreadsheet MEMBER [N] | clear");
  const std::string& sub = w[1];
  auto times = [&](size_t at) { return w.size() > at ? number(w[at], "N") : sim::Faults::kAlways; };
  if (sub == "clear") {
    need(w, 2, 2, "fault clear");
    world_.faults.clear();
  } else if (sub == "write") {
    need(w, 3, 3, "fault write PATH");
    std::error_code ec;
    std::string abs = fs::weakly_canonical(fs::path(resolve(w[2])), ec).string();
    world_.faults.failWrites(abs.empty() ? resolve(w[2]) : abs);
  } else if (sub == "pads") {
    need(w, 4, 5, "fault pads PROGID add | fault pads PROGID MEMBER [N]");
    if (!sim::SimPrograms::isPadsId(w[2])) fail("no PADS program \"" + w[2] + "\"");
    if (w[3] == "add" && w.size() == 4) world_.faults.refuseChangedAdds(w[2]);
    else world_.faults.set(w[2], w[3], times(4));
  } else if (sub == "spreadsheet") {
    need(w, 3, 4, "fault spreadsheet MEMBER [N]");
    world_.faults.set("spreadsheet", w[2], times(3));
  } else {
    fail("unknown step \"fault " + sub + "\"");
  }
}

void Player::answerStep(const Args& w) {
  if (w.size() == 2 && (w[1] == "yes" || w[1] == "no")) {
    if (w[1] == "yes") world_.user.answerYes();
    else world_.user.answerNo();
    return;
  }
  if (w.size() == 3 && w[1] == "input") {
    if (w[2] == "cancel") world_.user.cancelInput();
    else world_.user.answerInput(w[2]);
    return;
  }
  if (w.size() == 3 && w[1] == "file") {
    if (w[2] == "cancel") world_.user.cancelFile();
    else world_.user.answerFile(resolve(w[2]));
    return;
  }
  fail("usage: answer yes | answer no | answer input TEXT|cancel | answer file PATH|cancel");
}

bool matches(const std::string& expected, long actual) { return expected == "*" || number(expected, "a place") == actual; }

std::string windowState(const ui::Window* w) {
  if (!w) return "hidden";
  if (w->state() == ui::Window::State::Minimized) return "minimized";
  return w->visible() ? "visible" : "hidden";
}

void Player::expectStep(const Args& w) {
  if (w.size() < 2) fail("usage: expect message|ended|window|text|count|row|checked|enabled|place|spreadsheet|backcolor ...");
  const std::string& what = w[1];
  auto shown = [](const std::string& s) { return "\"" + sim::printable(s) + "\""; };
  if (what == "message") {
    need(w, 3, 3, "expect message TEXT");
    auto m = world_.user.takeMessage();
    if (!m) fail("expected the message " + shown(w[2]) + ", but no further message was shown");
    if (*m != w[2]) fail("expected the message " + shown(w[2]) + ", but it was " + shown(*m));
    return;
  }
  if (what == "ended") {
    need(w, 2, 2, "expect ended");
    if (!program_->ended()) fail("the program has not ended");
    return;
  }
  if (what == "window") {
    need(w, 6, 6, "expect window W LEFT TOP STATE");
    if (!program_->knows(w[2])) fail("no window named \"" + w[2] + "\"");
    const ui::Window* win = program_->existing(w[2]);
    std::string state = windowState(win);
    if (state != w[5]) fail("window " + w[2] + " is " + state + ", not " + w[5]);
    if (win && (!matches(w[3], win->left()) || !matches(w[4], win->top())))
      fail("window " + w[2] + " stands at " + std::to_string(win->left()) + " " + std::to_string(win->top()));
    return;
  }
  if (what == "spreadsheet") {
    need(w, 3, 3, "expect spreadsheet STATE");
    auto s = spreadsheet();
    std::string state = s->minimized() ? "minimized" : s->visible() ? "visible" : "hidden";
    if (state != w[2]) fail("the spreadsheet program is " + state + ", not " + w[2]);
    return;
  }
  if (w.size() < 3) fail("usage: expect " + what + " W.C ...");
  ui::Control& c = control(w[2]);
  if (what == "text") {
    need(w, 4, 4, "expect text W.C TEXT");
    if (c.displayText() != w[3]) fail(w[2] + " reads " + shown(c.displayText()) + ", not " + shown(w[3]));
  } else if (what == "count") {
    need(w, 4, 4, "expect count W.C N");
    long n;
    if (auto* list = dynamic_cast<ui::ListControl*>(&c)) n = list->listCount();
    else if (auto* view = dynamic_cast<ui::ListView*>(&c)) n = view->rowCount();
    else fail(w[2] + " has no entries");
    if (n != number(w[3], "N")) fail(w[2] + " has " + std::to_string(n) + " entries, not " + w[3]);
  } else if (what == "row") {
    need(w, 5, 5, "expect row W.C N TEXT");
    long n = number(w[3], "N");
    std::string text;
    if (auto* list = dynamic_cast<ui::ListControl*>(&c)) {
      if (n < 1 || n > list->listCount()) fail(w[2] + " has no entry " + w[3]);
      text = list->item(static_cast<int>(n - 1));
    } else if (auto* view = dynamic_cast<ui::ListView*>(&c)) {
      if (n < 1 || n > view->rowCount()) fail(w[2] + " has no row " + w[3]);
      const auto& cells = view->rows()[static_cast<size_t>(n - 1)].cells;
      for (size_t k = 0; k < cells.size(); ++k) text += (k ? " | " : "") + cells[k];
    } else {
      fail(w[2] + " has no rows");
    }
    if (text != w[4]) fail(w[2] + " row " + w[3] + " reads " + shown(text) + ", not " + shown(w[4]));
  } else if (what == "checked" || what == "enabled") {
    need(w, 4, 4, "expect checked|enabled W.C yes|no");
    if (w[3] != "yes" && w[3] != "no") fail("expected yes or no");
    bool want = w[3] == "yes";
    bool is;
    if (what == "enabled") is = c.enabled();
    else if (auto* box = dynamic_cast<ui::CheckBox*>(&c)) is = box->checked();
    else fail(w[2] + " is no check box");
    if (is != want) fail(w[2] + (what == "enabled" ? " enabled: " : " checked: ") + (is ? "yes" : "no"));
  } else if (what == "place") {
    if (w.size() != 5 && w.size() != 7) fail("usage: expect place W.C LEFT TOP [WIDTH HEIGHT]");
    bool ok = matches(w[3], c.left()) && matches(w[4], c.top());
    if (w.size() == 7) ok = ok && matches(w[5], c.width()) && matches(w[6], c.height());
    if (!ok)
      fail(w[2] + " stands at " + std::to_string(c.left()) + " " + std::to_string(c.top()) + " " +
           std::to_string(c.width()) + " " + std::to_string(c.height()));
  } else if (what == "backcolor") {
    need(w, 4, 4, "expect backcolor W.C NUMBER");
    if (c.backColor() != number(w[3], "NUMBER")) fail(w[2] + " has the back colour " + std::to_string(c.backColor()));
  } else {
    fail("unknown step \"expect " + what + "\"");
  }
}

void Player::saveAll(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) fail("cannot make the folder " + dir.string());
  std::set<std::string> used;
  for (const auto& s : world_.programs.spreadsheets()) {
    for (const auto& wb : s->workbooks()) {
      formats::WorkbookData data = sim::toData(*wb);
      std::string name = data.name;
      size_t dot = name.rfind('.');
      if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
      std::string file = name;
      for (int k = 2; used.count(file); ++k) file = name + "-" + std::to_string(k);
      used.insert(file);
      try {
        formats::saveXlsx(data, (dir / (file + ".xlsx")).string());
      } catch (const formats::FileError& e) {
        fail("cannot save " + file + ".xlsx: " + e.what());
      }
    }
  }
}

}  // namespace

int playSession(const std::string& sessionPath, const std::optional<std::string>& outDir, std::ostream& out,
                std::ostream& err) {
  std::error_code ec;
  std::ifstream in(sessionPath, std::ios::binary);
  if (!in || !fs::is_regular_file(sessionPath, ec)) {
    err << sessionPath << ": error: cannot read the session file\n";
    return 1;
  }
  long lineNo = 0;
  auto where = [&] { return sessionPath + ":" + std::to_string(lineNo) + ": error: "; };
  try {
    Player player(sessionPath, out);
    std::string line;
    bool stopped = false;
    while (!stopped && std::getline(in, line)) {
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      size_t first = line.find_first_not_of(" \t");
      if (first == std::string::npos || line[first] == '#') continue;
      try {
        std::vector<std::string> words = sessionWords(line);
        player.step(words);
      } catch (const std::exception& e) {  // a failing step, a dialog without an answer, ...
        err << where() << e.what() << "\n";
        stopped = true;
      }
    }
    // The workbooks still open are saved also when a step stopped the run, so a failure
    // loses nothing the run had made.
    if (outDir) {
      try {
        player.saveAll(fs::absolute(*outDir));
      } catch (const std::exception& e) {
        err << sessionPath << ": error: " << e.what() << "\n";
        return 1;
      }
    }
    if (stopped) return 1;
  } catch (const std::exception& e) {
    err << sessionPath << ": error: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace app
