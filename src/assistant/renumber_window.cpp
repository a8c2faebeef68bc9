#include "assistant/renumber_window.h"

namespace assistant {

RenumberWindow::RenumberWindow(platform::WindowHost& host)
    : ui::Window(kName, "Logic元件重新编号"), host_(host) {
  setClientSize(4500, 3000);
  move(4500, 3000);
}

}  // namespace assistant
