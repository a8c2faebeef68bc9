#pragma once
// The Program: owns the windows (each created on first need), the services and the
// event dispatch with the failure modes. A front end fires the user's actions through
// dispatch(); an error no command handled is shown in a message box titled "Velmora"
// and the program goes on; ProgramEnd ends it.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "capture/settings_window.h"
#include "app/tool_window.h"
#include "platform/services.h"
#include "platform/windows.h"

namespace app {

class Program : public platform::WindowHost {
 public:
  Program(platform::Programs& programs, platform::User& user, platform::Desktop& desktop, platform::Files& files);
  ~Program() override;

  // Program start: the toolbar is created and runs its start-up.
  void start();
  bool ended() const { return ended_; }

  // Runs one action of the user (an event of a control, a close request, a tick).
  void dispatch(const std::function<void()>& action);
  // A close request for a window, as the user's close box makes it.
  void close(const std::string& windowName);
  // n ticks of every enabled timer of every window that exists.
  void tick(int n = 1);

  ui::Window& window(const std::string& name) override;
  ui::Window* existing(const std::string& name) const override;
  void destroy(const std::string& name) override;
  // Every window that exists, in the order of creation.
  std::vector<ui::Window*> windows() const;
  bool knows(const std::string& name) const { return factories_.count(name) != 0; }

  platform::Services& services() { return services_; }
  platform::Settings& settings() { return settings_; }
  ToolWindow& tool();

 private:
  using Factory = std::function<std::unique_ptr<ui::Window>()>;
  void registerWindows();
  void reportUntrapped(int number, const std::string& description);

  platform::Services services_;
  capture::WindowSettings settings_;
  std::map<std::string, Factory> factories_;
  std::vector<std::pair<std::string, std::unique_ptr<ui::Window>>> windows_;
  std::vector<std::unique_ptr<ui::Window>> dying_;  // destroyed once the current action ends
  int depth_ = 0;
  bool ended_ = false;
};

// The text of the box that reports an error no command handled.
std::string untrappedText(int number, const std::string& description);

}  // namespace app
