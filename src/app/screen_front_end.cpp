#ifdef _WIN32
#include "app/screen_front_end.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "app/program.h"
#include "platform/files.h"
#include "platform/win/com_programs.h"
#include "platform/win/screen.h"
#include "platform/win/win_desktop.h"
#include "platform/win/win_user.h"
#include "sim/sim_programs.h"

namespace app {

namespace {

platform::win::Screen::Hooks hooksOf(Program& program) {
  return {[&program] { return program.windows(); },
          [&program](const std::function<void()>& action) { program.dispatch(action); },
          [&program](const std::string& name) { program.close(name); }};
}

class RealSessionScreen : public SessionScreen {
 public:
  explicit RealSessionScreen(const std::optional<std::string>& shotsDir) {
    if (!shotsDir) return;
    // Absolute: the player works in the session's folder while it plays.
    const std::filesystem::path dir = std::filesystem::absolute(platform::pathOf(*shotsDir));
    std::filesystem::create_directories(dir);
    shotsDir_ = platform::textOf(dir);
  }

  void attach(Program& program) override {
    program_ = &program;
    screen_ = std::make_unique<platform::win::Screen>(hooksOf(program), false);
  }

  void afterStep(long line) override {
    screen_->pump();
    const std::vector<std::string> differences = screen_->mismatches();
    if (!differences.empty()) {
      std::string text = "the real windows differ from the model:";
      for (const std::string& d : differences) text += "\n  " + d;
      throw std::runtime_error(text);
    }
    if (shotsDir_) shootWhenTheViewChanged(line);
  }

  bool click(ui::Control& c) override {
    if (!dynamic_cast<ui::Button*>(&c) && !dynamic_cast<ui::CheckBox*>(&c)) return false;
    HWND h = screen_->controlHandle(c);
    if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h)) return false;
    screen_->click(c);
    screen_->pump();  // an error of the click's action is raised here
    return true;
  }

 private:
  // The windows shown, each with the current tab of its tab containers.
  std::string view() const {
    std::string v;
    for (ui::Window* w : program_->windows()) {
      if (!w->visible()) continue;
      v += (v.empty() ? "" : "+") + w->name();
      for (ui::Control* c : w->controls())
        if (auto* tabs = dynamic_cast<ui::Tabs*>(c); tabs && tabs->visible()) v += "-tab" + std::to_string(tabs->tab());
    }
    return v.empty() ? "nothing" : v;
  }

  void shootWhenTheViewChanged(long line) {
    const std::string now = view();
    if (now == lastView_) return;
    lastView_ = now;
    char number[16];
    std::snprintf(number, sizeof number, "%04ld", line);
    // Joined as text: the library's paths take narrow names as Latin-1 on Windows.
    const std::string shot = *shotsDir_ + "/" + number + "-" + now + ".bmp";
    if (!screen_->screenshot(shot)) throw std::runtime_error("cannot save the screenshot " + shot);
  }

  std::optional<std::string> shotsDir_;
  Program* program_ = nullptr;
  std::unique_ptr<platform::win::Screen> screen_;
  std::string lastView_;
};

}  // namespace

std::unique_ptr<SessionScreen> realSessionScreen(const std::optional<std::string>& shotsDir) {
  return std::make_unique<RealSessionScreen>(shotsDir);
}

int runOnScreen() {
  sim::Faults faults;
  platform::win::WinUser user;
  platform::win::WinDesktop desktop;
  sim::SimFiles files{faults};
  sim::SimPrograms standIns{faults, files, &user};
  // VELMORA_PROGRAMS=automation: the real spreadsheet and PADS programs through COM.
  const char* choice = std::getenv("VELMORA_PROGRAMS");
  std::unique_ptr<platform::win::ComPrograms> real;
  if (choice && std::string(choice) == "automation") real = std::make_unique<platform::win::ComPrograms>();
  platform::Programs& programs = real ? static_cast<platform::Programs&>(*real) : standIns;
  Program program(programs, user, desktop, files);
  platform::win::Screen screen(hooksOf(program), true);
  desktop.handleOf = [&screen](const ui::Window& w) { return screen.windowHandle(w); };
  user.owner = [&screen, &program]() -> HWND {
    ui::Window* tool = program.existing("Tool");
    return tool ? screen.windowHandle(*tool) : nullptr;
  };
  program.start();
  return screen.run([&program] { return program.ended(); });
}

}  // namespace app
#endif
