#pragma once
// The scripted user: answers come from a queue; every message box, input box and
// dialog is recorded, so tests and sessions can check the exact texts.
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/user.h"

namespace sim {

// A question, input box or dialog came with no answer queued.
class NoAnswer : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ShownMessage {
  std::string title, text;
  platform::Buttons buttons;
  platform::Icon icon;
};

class SimUser : public platform::User {
 public:
  platform::Answer message(const std::string& title, const std::string& text, platform::Buttons buttons,
                           platform::Icon icon) override;
  std::string input(const std::string& title, const std::string& prompt,
                    const std::string& defaultAnswer) override;
  std::optional<std::string> openFile(const std::string& title, const std::string& filter, long flags) override;

  // Answers, used in order of their kind.
  void answerYes() { questions_.push_back(true); }
  void answerNo() { questions_.push_back(false); }
  void answerInput(std::string text) { inputs_.push_back(std::move(text)); }
  void cancelInput() { inputs_.push_back(std::nullopt); }
  void answerFile(std::string path) { files_.push_back(std::move(path)); }
  void cancelFile() { files_.push_back(std::nullopt); }
  bool answersLeft() const { return !questions_.empty() || !inputs_.empty() || !files_.empty(); }

  // Everything shown, in order.
  const std::vector<ShownMessage>& messages() const { return messages_; }
  // The oldest message box text not yet taken (for "expect message").
  std::optional<std::string> takeMessage();
  // Printed lines: "message TITLE: TEXT", "input TITLE: PROMPT", "dialog TITLE (FILTER)".
  const std::vector<std::string>& transcript() const { return transcript_; }
  std::function<void(const std::string&)> onLine;  // called with each printed line
  void record(const std::string& line);

  struct Dialog {
    std::string title, filter;
    long flags;
  };
  const std::vector<Dialog>& dialogs() const { return dialogs_; }
  struct Input {
    std::string title, prompt, defaultAnswer;
  };
  const std::vector<Input>& inputs() const { return inputsShown_; }

 private:
  std::deque<bool> questions_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<std::optional<std::string>> files_;
  std::vector<ShownMessage> messages_;
  size_t taken_ = 0;
  std::vector<std::string> transcript_;
  std::vector<Dialog> dialogs_;
  std::vector<Input> inputsShown_;
};

// A line of text with each line feed written as "\n".
std::string printable(const std::string& text);

}  // namespace sim
