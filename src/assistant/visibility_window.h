#pragma once
// The visibility toolbar "可视工具条" ("Layout可视工具条"): check boxes that show or hide
// the layers and object classes of the design in PADS Layout, and the "Information"
// label with facts about that design. Created once, then only hidden, so the boxes keep
// the user's last choices.
#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/ui.h"

namespace assistant {

// The unit's name as the information shows it; an unknown code as its number.
std::string unitName(int code);

class VisibilityWindow : public ui::Window {
 public:
  static constexpr const char* kName = "可视工具条";
  explicit VisibilityWindow(platform::Services& services);
  // The close request is refused: the window hides and the assistant is shown again.
  void queryClose() override;

  std::vector<ui::CheckBox*> layerBoxes;   // A1 to A13
  std::vector<ui::CheckBox*> objectBoxes;  // B1 to B14
  ui::CheckBox* allLayers;                 // AN
  ui::CheckBox* allObjects;                // BN
  ui::Label* information;                  // A14

 private:
  // Attaches to PADS Layout and applies the box through `apply`; with PADS Layout not
  // running, or any step failing, nothing more happens.
  template <class F>
  void applyToLayout(F&& apply);
  void showInformation();

  platform::Services& services_;
};

}  // namespace assistant
