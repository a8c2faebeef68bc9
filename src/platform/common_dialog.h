#pragma once
// The toolbar's open-file dialog as a service: every use sets its properties anew;
// ShowOpen reports a cancel as error 32755 when CancelError is set. A cancel never
// hands back a previously chosen path: FileName is empty after it.
#include <string>

#include "platform/user.h"

namespace platform {

class CommonDialog {
 public:
  explicit CommonDialog(User& user) : user_(user) {}

  int property27 = 0;
  bool cancelError = false;
  std::string filter;
  std::string dialogTitle;
  long flags = 0;
  const std::string& fileName() const { return fileName_; }

  void showOpen();

  // The whole use as the system makes it: property 27 = 100, CancelError, Filter,
  // DialogTitle, Flags 4097 (the file must exist, read-only box ticked), ShowOpen.
  // The chosen path, or the empty text when the user cancelled.
  std::string choose(const std::string& filter, const std::string& title);
  // The same, but a cancel is reported as error 32755 (for callers without handling).
  std::string chooseOrRaise(const std::string& filter, const std::string& title);

 private:
  void prepare(const std::string& filter, const std::string& title);
  User& user_;
  std::string fileName_;
};

}  // namespace platform
