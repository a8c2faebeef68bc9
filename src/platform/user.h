#pragma once
// The user at the screen: message boxes, input boxes and the open-file dialog.
#include <optional>
#include <string>

namespace platform {

enum class Buttons { OK, YesNo, YesNoCancel, OKCancel };
enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Answer { OK, Yes, No, Cancel };

class User {
 public:
  virtual ~User() = default;
  // A message box; a line break inside the text is a single LF.
  virtual Answer message(const std::string& title, const std::string& text, Buttons buttons = Buttons::OK,
                         Icon icon = Icon::None) = 0;
  // An input box; a cancelled box gives the empty text.
  virtual std::string input(const std::string& title, const std::string& prompt,
                            const std::string& defaultAnswer = "") = 0;
  // The open-file dialog; nothing when the user cancels.
  virtual std::optional<std::string> openFile(const std::string& title, const std::string& filter,
                                              long flags) = 0;
};

// A Yes/No question; true for Yes.
bool askYes(User& user, const std::string& title, const std::string& text);
// A notice with the OK button only.
void notify(User& user, const std::string& title, const std::string& text, Icon icon = Icon::None);

}  // namespace platform
