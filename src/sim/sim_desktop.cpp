#include "sim/sim_desktop.h"

#include <ctime>

#include "platform/os_calls.h"
#include "platform/ui.h"

namespace sim {

SimDesktop::SimDesktop() {
  std::time_t t = std::time(nullptr);
  const std::tm tm = platform::localTime(t);
  today_ = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

platform::Rect SimDesktop::windowRect(const ui::Window& w) {
  return {w.left() / ui::kTwipsPerPixel, w.top() / ui::kTwipsPerPixel, (w.left() + w.width()) / ui::kTwipsPerPixel,
          (w.top() + w.height()) / ui::kTwipsPerPixel};
}

bool SimDesktop::setLocaleInfo(long lcid, int item, const std::string& value) {
  localeCalls_.push_back("SetLocaleInfo " + std::to_string(lcid) + " " + std::to_string(item) + " " + value);
  if (item == 31) shortDate_ = value;  // LOCALE_SSHORTDATE
  return true;
}

bool SimDesktop::broadcastSettingChange() {
  localeCalls_.push_back("PostMessage 65535 26 0 0");
  return true;
}

bool SimDesktop::enumDateFormats(long lcid, int flags) {
  localeCalls_.push_back("EnumDateFormats " + std::to_string(lcid) + " " + std::to_string(flags));
  return true;
}

void SimDesktop::startProcess(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& a : argv) line += (line.empty() ? "" : " ") + a;
  launches_.push_back(argv);
  processes_.push_back(line);
  if (onLine) onLine(line);
}

}  // namespace sim
