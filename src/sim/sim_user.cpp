#include "sim/sim_user.h"

namespace sim {

std::string printable(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

void SimUser::record(const std::string& line) {
  transcript_.push_back(line);
  if (onLine) onLine(line);
}

platform::Answer SimUser::message(const std::string& title, const std::string& text, platform::Buttons buttons,
                                  platform::Icon icon) {
  messages_.push_back({title, text, buttons, icon});
  record("message " + title + ": " + printable(text));
  if (buttons == platform::Buttons::OK) return platform::Answer::OK;
  if (questions_.empty()) throw NoAnswer("no answer for the question \"" + printable(text) + "\"");
  bool yes = questions_.front();
  questions_.pop_front();
  return yes ? platform::Answer::Yes : platform::Answer::No;
}

std::string SimUser::input(const std::string& title, const std::string& prompt, const std::string& defaultAnswer) {
  inputsShown_.push_back({title, prompt, defaultAnswer});
  record("input " + title + ": " + printable(prompt));
  if (inputs_.empty()) throw NoAnswer("no answer for the input box \"" + printable(prompt) + "\"");
  auto a = inputs_.front();
  inputs_.pop_front();
  return a ? *a : "";
}

std::optional<std::string> SimUser::openFile(const std::string& title, const std::string& filter, long flags) {
  dialogs_.push_back({title, filter, flags});
  record("dialog " + title + " (" + filter + ")");
  if (files_.empty()) throw NoAnswer("no answer for the file dialog \"" + title + "\"");
  auto a = files_.front();
  files_.pop_front();
  return a;
}

std::optional<std::string> SimUser::takeMessage() {
  if (taken_ >= messages_.size()) return std::nullopt;
  return messages_[taken_++].text;
}

}  // namespace sim
