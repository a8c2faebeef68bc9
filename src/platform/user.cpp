#include "platform/user.h"

namespace platform {

bool askYes(User& user, const std::string& title, const std::string& text) {
  return user.message(title, text, Buttons::YesNo) == Answer::Yes;
}

void notify(User& user, const std::string& title, const std::string& text, Icon icon) {
  user.message(title, text, Buttons::OK, icon);
}

}  // namespace platform
