#include "platform/common_dialog.h"

#include "vb/error.h"

namespace platform {

void CommonDialog::showOpen() {
  auto path = user_.openFile(dialogTitle, filter, flags);
  if (!path) {
    fileName_.clear();
    if (cancelError) throw vb::Cancelled();
    return;
  }
  fileName_ = *path;
}

void CommonDialog::prepare(const std::string& f, const std::string& title) {
  property27 = 100;
  cancelError = true;
  filter = f;
  dialogTitle = title;
  flags = 4097;
}

std::string CommonDialog::choose(const std::string& f, const std::string& title) {
  prepare(f, title);
  try {
    showOpen();
  } catch (const vb::Cancelled&) {
    return "";
  }
  return fileName_;
}

std::string CommonDialog::chooseOrRaise(const std::string& f, const std::string& title) {
  prepare(f, title);
  showOpen();
  return fileName_;
}

}  // namespace platform
