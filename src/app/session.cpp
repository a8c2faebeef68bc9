#include "app/session.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <ostream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <variant>

#include "app/program.h"
#include "platform/files.h"
#include "platform/os_calls.h"
#include "sim/sim_programs.h"
#include "formats/workbook_files.h"
#include "vb/convert.h"
#include "vb/error.h"
#include "vb/text.h"
#include "vb/text_lines.h"

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

// 64 bits on every platform (a long has 32 on Windows), so a number too large for its
// purpose is told as itself.
long long number(const std::string& w, const std::string& what) {
  auto n = vb::parseNumber(w);
  // Compared as doubles first: converting a value beyond the range is undefined.
  constexpr double kLimit = 9.0e18;
  if (!n || !(*n > -kLimit && *n < kLimit) || *n != std::floor(*n))
    fail(what + " must be a whole number, not \"" + w + "\"");
  return static_cast<long long>(*n);
}

// A whole number from lo to hi: sizes, places and counts the program holds as int.
long numberIn(const std::string& w, const std::string& what, long lo, long hi) {
  const long long n = number(w, what);
  if (n < lo || n > hi)
    fail(what + " must be from " + std::to_string(lo) + " to " + std::to_string(hi) + ", not " + w);
  return static_cast<long>(n);
}

constexpr long kMaxScreenPixels = 100000;
constexpr long kMaxCursorPixels = 1000000;
constexpr long kMaxPlaceTwips = 100000000;  // far beyond any screen, far below int's limit
constexpr long kMaxTicks = 1000000;

std::string executableFolder() {
  const std::string exe = platform::executablePath();
  if (exe.empty()) return platform::textOf(fs::current_path());
  return platform::textOf(platform::pathOf(exe).parent_path());
}

bool matches(const std::string& expected, long actual) { return expected == "*" || number(expected, "a place") == actual; }

std::string windowState(const ui::Window* w) {
  if (!w) return "hidden";
  if (w->state() == ui::Window::State::Minimized) return "minimized";
  return w->visible() ? "visible" : "hidden";
}

std::string shown(const std::string& s) { return "\"" + sim::printable(s) + "\""; }

// The yes|no word of a check.
bool yesNo(const std::string& w) {
  if (w != "yes" && w != "no") fail("expected yes or no");
  return w == "yes";
}

// The optional count N of a fault at word at: every call when it is left out.
long faultTimes(const std::vector<std::string>& w, size_t at) {
  return w.size() > at ? number(w[at], "N") : sim::Faults::kAlways;
}

constexpr size_t kNoLimit = std::numeric_limits<size_t>::max();

class Player {
 public:
  Player(const std::string& sessionPath, std::ostream& out, SessionScreen* screen, const ProgramsBridge& bridge)
      : out_(out), screen_(screen) {
    base_ = fs::absolute(platform::pathOf(sessionPath)).parent_path();
    world_.user.onLine = [this](const std::string& l) { out_ << l << "\n"; };
    world_.desktop.onLine = [this](const std::string& l) { out_ << l << "\n"; };
    world_.desktop.setProgramFolder(executableFolder());
    if (bridge) bridged_ = bridge(world_.programs);
    platform::Programs& programs = bridged_ ? *bridged_ : static_cast<platform::Programs&>(world_.programs);
    program_ = std::make_unique<Program>(programs, world_.user, world_.desktop, world_.files);
    program_->start();
    if (screen_) {
      screen_->attach(*program_);
      screen_->afterStep(0);
    }
  }

  void step(const std::vector<std::string>& w);
  void afterStep(long line) {
    if (screen_) screen_->afterStep(line);
  }
  void saveAll(const fs::path& dir);

 private:
  using Args = std::vector<std::string>;

  // How a verb with sub-verbs takes its sub-word.
  enum class Subs {
    Steps,   // each sub-verb is a step of its own; another sub-word is an unknown step
    Forms,   // the sub-verbs are the verb's forms: a step that fits none is told all of them
    Checks,  // a check on a control W.C (a row whose handler takes one, or a sub-word no row
             // names) looks the control up first, then the sub-word, then the count
  };

  // One row of the verb table.
  struct Verb {
    using Run = void (Player::*)(const Args& w);
    using RunOn = void (Player::*)(const Args& w, ui::Control& c);  // c: the control W.C the step names
    const char* name;   // the verb, or the verb, a blank and its sub-word
    size_t min, max;    // words in the step, the verb's own included
    const char* usage;  // told after "usage: " to a step with fewer or more words
    std::variant<Run, RunOn, Subs> run;  // Subs: the own row of a verb with sub-verbs
  };
  static const Verb kVerbs[];

  static const Verb* find(std::string_view verb, std::optional<std::string_view> sub = std::nullopt);
  static std::string usageOf(const Verb& v);
  [[noreturn]] static void refuse(const Verb& v) { fail("usage: " + usageOf(v)); }
  static void checkCount(const Verb& v, const Args& w) {
    if (w.size() < v.min || w.size() > v.max) refuse(v);
  }
  void play(const Verb& v, const Args& w);

  std::string resolve(const std::string& p) const {
    // A path from the root ("/tmp/x") stays as it is on Windows too, on the current drive;
    // forward slashes throughout, so a session prints the same paths on every platform.
    fs::path path = platform::pathOf(p);
    if (!path.has_root_directory()) path = base_ / path;
    return platform::genericTextOf(path.lexically_normal());
  }
  ui::Window& existingWindow(const std::string& name);
  ui::Control& control(const std::string& ref);
  std::shared_ptr<sim::SimSpreadsheet> spreadsheet();
  std::shared_ptr<sim::SimPads> pads(const std::string& progId);
  void fire(const std::function<void()>& f) { program_->dispatch(f); }

  void screen(const Args& w);
  void cursor(const Args& w);
  void date(const Args& w);
  void folder(const Args& w) { world_.desktop.setProgramFolder(resolve(w[1])); }
  void save(const Args& w) { saveAll(resolve(w[1])); }
  void tick(const Args& w);
  void close(const Args& w);
  void move(const Args& w);
  void minimize(const Args& w) { existingWindow(w[1]).setState(ui::Window::State::Minimized); }
  void restore(const Args& w) { existingWindow(w[1]).setState(ui::Window::State::Normal); }

  void type(const Args& w, ui::Control& c);
  void pick(const Args& w, ui::Control& c);
  void click(const Args&, ui::Control& c) {
    if (screen_ && screen_->click(c)) return;
    fire([&c] { c.userClick(); });
  }
  void dblclick(const Args&, ui::Control& c) { fire([&c] { c.userDblClick(); }); }
  void key(const Args& w, ui::Control& c);
  void focus(const Args&, ui::Control& c) { fire([&c] { c.window().setFocus(c); }); }
  void select(const Args& w, ui::Control& c);

  void spreadsheetStart(const Args& w);
  void spreadsheetOpen(const Args& w);
  void spreadsheetActivate(const Args& w);
  void padsStart(const Args& w);
  void padsSave(const Args& w);
  void padsLog(const Args& w);
  void faultClear(const Args&) { world_.faults.clear(); }
  void faultWrite(const Args& w);
  void faultPads(const Args& w);
  void faultSpreadsheet(const Args& w) { world_.faults.set("spreadsheet", w[2], faultTimes(w, 3)); }

  void answerYes(const Args&) { world_.user.answerYes(); }
  void answerNo(const Args&) { world_.user.answerNo(); }
  void answerInput(const Args& w);
  void answerFile(const Args& w);

  void expectMessage(const Args& w);
  void expectEnded(const Args&) {
    if (!program_->ended()) fail("the program has not ended");
  }
  void expectWindow(const Args& w);
  void expectSpreadsheet(const Args& w);
  void expectText(const Args& w, ui::Control& c);
  void expectCount(const Args& w, ui::Control& c);
  void expectRow(const Args& w, ui::Control& c);
  void expectChecked(const Args& w, ui::Control& c);
  void expectEnabled(const Args& w, ui::Control& c);
  void expectPlace(const Args& w, ui::Control& c);
  void expectBackcolor(const Args& w, ui::Control& c);

  std::ostream& out_;
  fs::path base_;
  sim::World world_;
  SessionScreen* screen_;
  std::unique_ptr<platform::Programs> bridged_;  // outlives the program, which holds its applications
  std::unique_ptr<Program> program_;
};

// Every step the player knows. A step whose word count is outside its row's range is told
// "usage: " and the row's usage. A verb with sub-verbs has a row of its own, whose range
// is checked before the sub-word is read, and then a row for each sub-verb.
const Player::Verb Player::kVerbs[] = {
    {"screen", 3, 3, "screen W H", &Player::screen},
    {"cursor", 3, 3, "cursor X Y", &Player::cursor},
    {"date", 2, 2, "date YYYY-MM-DD", &Player::date},
    {"folder", 2, 2, "folder DIR", &Player::folder},
    {"save", 2, 2, "save DIR", &Player::save},
    {"tick", 1, 2, "tick [N]", &Player::tick},
    {"close", 2, 2, "close W", &Player::close},
    {"move", 4, 4, "move W LEFT TOP", &Player::move},
    {"minimize", 2, 2, "minimize W / restore W", &Player::minimize},
    {"restore", 2, 2, "minimize W / restore W", &Player::restore},
    // The user's actions on a control: W.C follows the verb and is looked up once the count fits.
    {"type", 3, 3, "type W.C TEXT", &Player::type},
    {"pick", 3, 3, "pick W.C TEXT", &Player::pick},
    {"click", 2, 2, "click W.C", &Player::click},
    {"dblclick", 2, 2, "click W.C", &Player::dblclick},
    {"key", 3, 3, "key W.C CODE", &Player::key},
    {"focus", 2, 2, "focus W.C", &Player::focus},
    {"select", 3, kNoLimit, "select W.C N [N ...]", &Player::select},

    {"spreadsheet", 2, kNoLimit, "spreadsheet start PROGID | open FILE | activate SHEET", Subs::Steps},
    {"spreadsheet start", 3, 3, "spreadsheet start PROGID", &Player::spreadsheetStart},
    {"spreadsheet open", 3, 3, "spreadsheet open FILE", &Player::spreadsheetOpen},
    {"spreadsheet activate", 3, 3, "spreadsheet activate SHEET", &Player::spreadsheetActivate},

    {"pads", 3, kNoLimit, "pads start PROGID [FILE] | save PROGID FILE | log PROGID", Subs::Steps},
    {"pads start", 3, 4, "pads start PROGID [FILE]", &Player::padsStart},
    {"pads save", 4, 4, "pads save PROGID FILE", &Player::padsSave},
    {"pads log", 3, 3, "pads log PROGID", &Player::padsLog},

    {"fault", 2, kNoLimit,
     "fault write PATH | pads PROGID add | pads PROGID MEMBER [N] | spreadsheet MEMBER [N] | clear", Subs::Steps},
    {"fault clear", 2, 2, "fault clear", &Player::faultClear},
    {"fault write", 3, 3, "fault write PATH", &Player::faultWrite},
    {"fault pads", 4, 5, "fault pads PROGID add | fault pads PROGID MEMBER [N]", &Player::faultPads},
    {"fault spreadsheet", 3, 4, "fault spreadsheet MEMBER [N]", &Player::faultSpreadsheet},

    {"answer", 2, kNoLimit, "", Subs::Forms},  // its usage is the usages below, joined
    {"answer yes", 2, 2, "answer yes", &Player::answerYes},
    {"answer no", 2, 2, "answer no", &Player::answerNo},
    {"answer input", 3, 3, "answer input TEXT|cancel", &Player::answerInput},
    {"answer file", 3, 3, "answer file PATH|cancel", &Player::answerFile},

    {"expect", 2, kNoLimit,
     "expect message|ended|window|text|count|row|checked|enabled|place|spreadsheet|backcolor ...", Subs::Checks},
    {"expect message", 3, 3, "expect message TEXT", &Player::expectMessage},
    {"expect ended", 2, 2, "expect ended", &Player::expectEnded},
    {"expect window", 6, 6, "expect window W LEFT TOP STATE", &Player::expectWindow},
    {"expect spreadsheet", 3, 3, "expect spreadsheet STATE", &Player::expectSpreadsheet},
    {"expect text", 4, 4, "expect text W.C TEXT", &Player::expectText},
    {"expect count", 4, 4, "expect count W.C N", &Player::expectCount},
    {"expect row", 5, 5, "expect row W.C N TEXT", &Player::expectRow},
    {"expect checked", 4, 4, "expect checked|enabled W.C yes|no", &Player::expectChecked},
    {"expect enabled", 4, 4, "expect checked|enabled W.C yes|no", &Player::expectEnabled},
    {"expect place", 5, 7, "expect place W.C LEFT TOP [WIDTH HEIGHT]", &Player::expectPlace},  // 5 or 7
    {"expect backcolor", 4, 4, "expect backcolor W.C NUMBER", &Player::expectBackcolor},
};

// The row of verb, or with sub, of that sub-verb of verb. The verb and the sub-word are
// matched each on its own, so a quoted word such as "pads save" names no row.
const Player::Verb* Player::find(std::string_view verb, std::optional<std::string_view> sub) {
  for (const Verb& v : kVerbs) {
    std::string_view name = v.name;
    size_t blank = name.find(' ');
    if (name.substr(0, blank) != verb) continue;
    if (sub ? blank != std::string_view::npos && name.substr(blank + 1) == *sub : blank == std::string_view::npos)
      return &v;
  }
  return nullptr;
}

// The usage a step of v that does not fit is told.
std::string Player::usageOf(const Verb& v) {
  std::string_view name = v.name;
  std::string_view verb = name.substr(0, name.find(' '));
  const auto* subs = std::get_if<Subs>(&find(verb)->run);
  if (!subs || *subs != Subs::Forms) return v.usage;
  const std::string prefix = std::string(verb) + " ";
  std::string forms;
  for (const Verb& form : kVerbs)
    if (std::string_view(form.name).starts_with(prefix))
      forms += (forms.empty() ? "" : " | ") + std::string(form.usage);
  return forms;
}

void Player::step(const Args& w) {
  static const std::set<std::string> afterEnd = {"expect", "save"};
  if (program_->ended() && !afterEnd.count(w[0])) fail("the program has ended; only expect and save may follow");
  const Verb* verb = find(w[0]);
  if (!verb) fail("unknown step \"" + w[0] + "\"");
  const auto* subs = std::get_if<Subs>(&verb->run);
  if (!subs) return play(*verb, w);

  checkCount(*verb, w);
  const Verb* sub = find(w[0], w[1]);
  const std::string name = w[0] + " " + w[1];
  if (*subs == Subs::Checks && !(sub && std::holds_alternative<Verb::Run>(sub->run))) {  // on a control
    if (w.size() < 3) fail("usage: " + name + " W.C ...");
    ui::Control& c = control(w[2]);
    if (!sub) fail("unknown step \"" + name + "\"");
    checkCount(*sub, w);
    return (this->*std::get<Verb::RunOn>(sub->run))(w, c);
  }
  if (!sub) {
    if (*subs == Subs::Forms) refuse(*verb);
    fail("unknown step \"" + name + "\"");
  }
  play(*sub, w);
}

// A step on words, or on the control W.C that follows the verb's words.
void Player::play(const Verb& v, const Args& w) {
  checkCount(v, w);
  if (const auto* run = std::get_if<Verb::Run>(&v.run)) return (this->*(*run))(w);
  size_t verbWords = std::string_view(v.name).find(' ') == std::string_view::npos ? 1 : 2;
  (this->*std::get<Verb::RunOn>(v.run))(w, control(w[verbWords]));
}

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

void Player::screen(const Args& w) {
  world_.desktop.setScreen(static_cast<int>(numberIn(w[1], "W", 1, kMaxScreenPixels)),
                           static_cast<int>(numberIn(w[2], "H", 1, kMaxScreenPixels)));
}

void Player::cursor(const Args& w) {
  world_.desktop.setCursor(static_cast<int>(numberIn(w[1], "X", -kMaxCursorPixels, kMaxCursorPixels)),
                           static_cast<int>(numberIn(w[2], "Y", -kMaxCursorPixels, kMaxCursorPixels)));
}

void Player::date(const Args& w) {
  const std::string& d = w[1];
  if (d.size() != 10 || d[4] != '-' || d[7] != '-') fail("a date is written YYYY-MM-DD");
  platform::Date date{static_cast<int>(number(d.substr(0, 4), "the year")),
                      static_cast<int>(number(d.substr(5, 2), "the month")),
                      static_cast<int>(number(d.substr(8, 2), "the day"))};
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) fail("no such date: " + d);
  world_.desktop.setToday(date);
}

void Player::tick(const Args& w) {
  long n = w.size() == 2 ? numberIn(w[1], "N", 0, kMaxTicks) : 1;
  program_->tick(static_cast<int>(n));
}

void Player::close(const Args& w) {
  existingWindow(w[1]);
  program_->close(w[1]);
}

void Player::move(const Args& w) {
  ui::Window& win = existingWindow(w[1]);
  int l = static_cast<int>(numberIn(w[2], "LEFT", -kMaxPlaceTwips, kMaxPlaceTwips));
  int t = static_cast<int>(numberIn(w[3], "TOP", -kMaxPlaceTwips, kMaxPlaceTwips));
  fire([&] { win.move(l, t); });
}

void Player::type(const Args& w, ui::Control& c) {
  std::string text = w[2];
  if (auto* combo = dynamic_cast<ui::ComboBox*>(&c)) fire([combo, text] { combo->userType(text); });
  else if (auto* box = dynamic_cast<ui::TextBox*>(&c)) fire([box, text] { box->setText(text); });
  else fail(w[1] + " takes no typed text");
}

void Player::pick(const Args& w, ui::Control& c) {
  auto* list = dynamic_cast<ui::ListControl*>(&c);
  if (!list) fail(w[1] + " has no list entries");
  int i = list->find(w[2]);
  if (i < 0) fail(w[1] + " has no entry \"" + sim::printable(w[2]) + "\"");
  if (auto* combo = dynamic_cast<ui::ComboBox*>(list)) fire([combo, i] { combo->userPick(i); });
  else if (auto* box = dynamic_cast<ui::ListBox*>(list)) fire([box, i] { box->userSelect({i}); });
}

void Player::key(const Args& w, ui::Control& c) {
  int code = static_cast<int>(numberIn(w[2], "CODE", 0, 65535));
  fire([&c, code] { c.userKeyDown(code); });
}

void Player::select(const Args& w, ui::Control& c) {
  std::vector<int> picks;
  for (size_t k = 2; k < w.size(); ++k) {
    const long long n = number(w[k], "N");
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
}

void Player::spreadsheetStart(const Args& w) {
  if (!sim::SimPrograms::isSpreadsheetId(w[2])) fail("no spreadsheet program \"" + w[2] + "\"");
  world_.programs.runSpreadsheet(w[2])->setVisible(true);
}

void Player::spreadsheetOpen(const Args& w) {
  auto s = spreadsheet();
  try {
    s->open(resolve(w[2]));
  } catch (const vb::Error& e) {
    fail("cannot open " + w[2] + ": " + e.description());
  }
}

void Player::spreadsheetActivate(const Args& w) {
  auto s = spreadsheet();
  try {
    s->userActivateSheet(w[2]);
  } catch (const vb::Error&) {
    fail("no sheet \"" + w[2] + "\" in the active workbook");
  }
}

void Player::padsStart(const Args& w) {
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
}

void Player::padsSave(const Args& w) {
  auto p = pads(w[2]);
  try {
    p->saveDesign(resolve(w[3]));
  } catch (const vb::Error& e) {
    fail("cannot save " + w[3] + ": " + e.description());
  }
}

void Player::padsLog(const Args& w) {
  for (const std::string& line : pads(w[2])->takeLog()) out_ << "pads " << w[2] << ": " << line << "\n";
}

void Player::faultWrite(const Args& w) {
  std::error_code ec;
  std::string abs = platform::textOf(fs::weakly_canonical(platform::pathOf(resolve(w[2])), ec));
  world_.faults.failWrites(abs.empty() ? resolve(w[2]) : abs);
}

void Player::faultPads(const Args& w) {
  if (!sim::SimPrograms::isPadsId(w[2])) fail("no PADS program \"" + w[2] + "\"");
  if (w[3] == "add" && w.size() == 4) world_.faults.refuseChangedAdds(w[2]);
  else world_.faults.set(w[2], w[3], faultTimes(w, 4));
}

void Player::answerInput(const Args& w) {
  if (w[2] == "cancel") world_.user.cancelInput();
  else world_.user.answerInput(w[2]);
}

void Player::answerFile(const Args& w) {
  if (w[2] == "cancel") world_.user.cancelFile();
  else world_.user.answerFile(resolve(w[2]));
}

void Player::expectMessage(const Args& w) {
  auto m = world_.user.takeMessage();
  if (!m) fail("expected the message " + shown(w[2]) + ", but no further message was shown");
  if (*m != w[2]) fail("expected the message " + shown(w[2]) + ", but it was " + shown(*m));
}

void Player::expectWindow(const Args& w) {
  if (!program_->knows(w[2])) fail("no window named \"" + w[2] + "\"");
  const ui::Window* win = program_->existing(w[2]);
  std::string state = windowState(win);
  if (state != w[5]) fail("window " + w[2] + " is " + state + ", not " + w[5]);
  if (win && (!matches(w[3], win->left()) || !matches(w[4], win->top())))
    fail("window " + w[2] + " stands at " + std::to_string(win->left()) + " " + std::to_string(win->top()));
}

void Player::expectSpreadsheet(const Args& w) {
  auto s = spreadsheet();
  std::string state = s->minimized() ? "minimized" : s->visible() ? "visible" : "hidden";
  if (state != w[2]) fail("the spreadsheet program is " + state + ", not " + w[2]);
}

void Player::expectText(const Args& w, ui::Control& c) {
  if (c.displayText() != w[3]) fail(w[2] + " reads " + shown(c.displayText()) + ", not " + shown(w[3]));
}

void Player::expectCount(const Args& w, ui::Control& c) {
  long n;
  if (auto* list = dynamic_cast<ui::ListControl*>(&c)) n = list->listCount();
  else if (auto* view = dynamic_cast<ui::ListView*>(&c)) n = view->rowCount();
  else fail(w[2] + " has no entries");
  if (n != number(w[3], "N")) fail(w[2] + " has " + std::to_string(n) + " entries, not " + w[3]);
}

void Player::expectRow(const Args& w, ui::Control& c) {
  const long long n = number(w[3], "N");
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
}

void Player::expectChecked(const Args& w, ui::Control& c) {
  bool want = yesNo(w[3]);
  auto* box = dynamic_cast<ui::CheckBox*>(&c);
  if (!box) fail(w[2] + " is no check box");
  if (box->checked() != want) fail(w[2] + " checked: " + (box->checked() ? "yes" : "no"));
}

void Player::expectEnabled(const Args& w, ui::Control& c) {
  bool want = yesNo(w[3]);
  if (c.enabled() != want) fail(w[2] + " enabled: " + (c.enabled() ? "yes" : "no"));
}

void Player::expectPlace(const Args& w, ui::Control& c) {
  if (w.size() == 6) refuse(*find("expect", "place"));  // WIDTH and HEIGHT come together
  bool ok = matches(w[3], c.left()) && matches(w[4], c.top());
  if (w.size() == 7) ok = ok && matches(w[5], c.width()) && matches(w[6], c.height());
  if (!ok)
    fail(w[2] + " stands at " + std::to_string(c.left()) + " " + std::to_string(c.top()) + " " +
         std::to_string(c.width()) + " " + std::to_string(c.height()));
}

void Player::expectBackcolor(const Args& w, ui::Control& c) {
  if (c.backColor() != number(w[3], "NUMBER")) fail(w[2] + " has the back colour " + std::to_string(c.backColor()));
}

void Player::saveAll(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) fail("cannot make the folder " + platform::textOf(dir));
  std::set<std::string> used;
  for (const auto& s : world_.programs.spreadsheets()) {
    for (const auto& wb : s->workbooks()) {
      std::string name = wb->name();
      size_t dot = name.rfind('.');
      if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
      std::string file = name;
      for (int k = 2; used.count(file); ++k) file = name + "-" + std::to_string(k);
      used.insert(file);
      try {
        sim::saveCopyAsXlsx(*wb, platform::textOf(dir / platform::pathOf(file + ".xlsx")));
      } catch (const formats::FileError& e) {
        fail("cannot save " + file + ".xlsx: " + e.what());
      }
    }
  }
}

}  // namespace

int playSession(const std::string& sessionPath, const std::optional<std::string>& outDir, std::ostream& out,
                std::ostream& err, SessionScreen* screen, const ProgramsBridge& bridge) {
  std::error_code ec;
  std::ifstream in(sessionPath, std::ios::binary);
  if (!in || !fs::is_regular_file(platform::pathOf(sessionPath), ec)) {
    err << sessionPath << ": error: cannot read the session file\n";
    return 1;
  }
  // The session is a text file like any other the program reads (see vb/text_lines.h).
  const vb::TextLines lines =
      vb::splitTextLines(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  long lineNo = 0;
  auto where = [&] { return sessionPath + ":" + std::to_string(lineNo) + ": error: "; };
  const std::optional<fs::path> saveTo = outDir ? std::optional<fs::path>(fs::absolute(platform::pathOf(*outDir))) : std::nullopt;
  try {
    Player player(sessionPath, out, screen, bridge);
    // The programs' own relative paths (a design's default file path) are the session folder's too.
    struct InSessionFolder {
      fs::path before = fs::current_path();
      explicit InSessionFolder(const fs::path& folder) { fs::current_path(folder); }
      ~InSessionFolder() {
        std::error_code ec;
        fs::current_path(before, ec);
      }
    } inFolder(fs::absolute(platform::pathOf(sessionPath)).parent_path());
    bool stopped = false;
    for (size_t k = 0; !stopped && k < lines.lines.size(); ++k) {
      const std::string& line = lines.lines[k].text;
      ++lineNo;
      // A line of blanks and control characters is a blank line.
      auto first = std::find_if(line.begin(), line.end(), [](char c) {
        return static_cast<unsigned char>(c) > ' ' && c != '\x7F';
      });
      if (first == line.end() || *first == '#') continue;
      try {
        std::vector<std::string> words = sessionWords(line);
        if (words.empty()) continue;  // only separators
        player.step(words);
        player.afterStep(lineNo);
      } catch (const std::exception& e) {  // a failing step, a dialog without an answer, ...
        err << where() << e.what() << "\n";
        stopped = true;
      }
    }
    // The workbooks still open are saved also when a step stopped the run, so a failure
    // loses nothing the run had made.
    if (outDir) {
      try {
        player.saveAll(*saveTo);
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
