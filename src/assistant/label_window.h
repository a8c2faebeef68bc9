#pragma once
// The label window "Part_Text_Visibility": gate label visibilities in PADS Logic, and
// hiding, showing and centring one kind of part label in PADS Layout. It is destroyed
// when closed, so every opening starts with all boxes unticked.
#include <optional>
#include <string>

#include "platform/pads.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace assistant {

// One row of the label offsets: the conditions on the part and the offset, in mils, of
// its label from the part's centre. The first row whose conditions all hold applies.
struct LabelOffsetRow {
  enum class Layer { Top, Other, Any };
  enum class Angle { Between, Exactly, Any };  // Between: lo < O < hi (bounds excluded)
  enum class Pins { Any, Two, MoreThanTwo };
  Layer layer;
  Angle angle;
  double lo, hi;  // Exactly uses lo
  Pins pins;
  double dx, dy;
};

// The offset of the label of a part on `layer` turned by `orientation` with `pinCount`
// pins. A value that could not be read is passed as nullopt: the first row whose test
// needs it counts as met.
struct LabelOffset {
  double dx, dy;
};
LabelOffset labelOffset(std::optional<int> layer, std::optional<double> orientation, std::optional<long> pinCount);

// The label's orientation from the first and last pin and the part's layer and
// orientation (nullopt: could not be read, and a test that needs it counts as met).
// Nothing when the orientation cannot be formed, so the label keeps its own.
struct PinPlace {
  double x, y;
};
std::optional<double> labelOrientation(std::optional<PinPlace> first, std::optional<PinPlace> last, std::optional<int> layer,
                        std::optional<double> orientation);

class LabelWindow : public ui::Window {
 public:
  static constexpr const char* kName = "Part_Text_Visibility";
  explicit LabelWindow(platform::Services& services);
  // Shown in the middle of the screen.
  void show() override;
  // The window hides and is destroyed; the assistant is shown again.
  void queryClose() override;

 private:
  bool layOutControls();
  bool laidOut_;  // made first, so the controls exist before the references below are bound

 public:

  ui::CheckBox& check1(int index) { return *check1_[index]; }
  ui::Button& command1;  // "确定"
  ui::Button& command3;  // "Hide"
  ui::Button& command6;  // "Show"
  ui::Button& command2;  // "Align"

 private:
  void writeGateLabels();
  void hideLabels() { setLabelDisplay("Hide", 0); }
  void showLabels() { setLabelDisplay("Show", 1); }
  void setLabelDisplay(const std::string& verb, long display);
  void align();
  // LabelKind: "Ref.Des." when the question is answered Yes, else "Value".
  std::string askLabelKind(const std::string& question);

  platform::Services& services_;
  ui::CheckBox* check1_[8];
};

}  // namespace assistant
