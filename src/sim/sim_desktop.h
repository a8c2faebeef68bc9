#pragma once
// The simulated desktop: cursor and screen as a test sets them, a clock with a date
// of the test's choosing, and a record of every Notepad launch and pause.
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace sim {

class SimDesktop : public platform::Desktop {
 public:
  SimDesktop();
  platform::Point cursorPos() override { return cursor_; }
  platform::Rect windowRect(const ui::Window& w) override;
  int screenWidth() override { return screenW_ * 15; }
  int screenHeight() override { return screenH_ * 15; }
  long systemDefaultLcid() override { return 2052; }  // zh-CN
  bool setLocaleInfo(long lcid, int item, const std::string& value) override;
  bool broadcastSettingChange() override;
  bool enumDateFormats(long lcid, int flags) override;
  std::string shortDateFormat() override { return shortDate_; }
  platform::Date today() override { return today_; }
  void startProcess(const std::vector<std::string>& argv) override;
  void sleep(int milliseconds) override { sleeps_.push_back(milliseconds); }
  std::string programFolder() override { return programFolder_; }

  // What a test or session sets.
  void setCursor(int x, int y) { cursor_ = {x, y}; }
  void setScreen(int widthPx, int heightPx) { screenW_ = widthPx, screenH_ = heightPx; }
  void setToday(platform::Date d) { today_ = d; }
  void setProgramFolder(std::string f) { programFolder_ = std::move(f); }
  void setShortDateFormat(std::string f) { shortDate_ = std::move(f); }

  // What the program did.
  // Each launch as one line, the arguments joined by blanks ("notepad PATH").
  const std::vector<std::string>& processes() const { return processes_; }
  // Each launch's argument vector as the program received it.
  const std::vector<std::vector<std::string>>& launches() const { return launches_; }
  const std::vector<int>& sleeps() const { return sleeps_; }
  const std::vector<std::string>& localeCalls() const { return localeCalls_; }
  std::function<void(const std::string&)> onLine;  // "notepad PATH" for each launch

 private:
  platform::Point cursor_{};
  int screenW_ = 1920, screenH_ = 1080;
  std::string shortDate_ = "yyyy/M/d";
  platform::Date today_;
  std::string programFolder_ = ".";
  std::vector<std::string> processes_;
  std::vector<std::vector<std::string>> launches_;
  std::vector<int> sleeps_;
  std::vector<std::string> localeCalls_;
};

}  // namespace sim
