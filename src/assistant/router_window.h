#pragma once
// The router window "Router": lists the part or net names of the design in PADS Router,
// collects a chosen list, shows and routes one name at a time, routes or optimises the
// chosen list, and starts or pauses automatic routing. Destroyed when closed.
#include <string>

#include "platform/pads.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace assistant {

class RouterWindow : public ui::Window {
 public:
  static constexpr const char* kName = "Router";
  explicit RouterWindow(platform::Services& services);
  // The window hides and is destroyed; the assistant is shown again.
  void queryClose() override;

 private:
  bool layOutControls();
  bool laidOut_;  // made first, so the controls exist before the references below are bound

 public:
  ui::Label& label5;     // the count
  ui::ListBox& list1;    // name list
  ui::ListBox& list2;    // chosen list
  ui::Label& label1;     // "Loading Part"
  ui::Label& label2;     // "Loading Net"
  ui::CheckBox& check1;  // "Auto Routing"
  ui::CheckBox& check4;  // "Pause Routing"
  ui::CheckBox& check2;  // "Route Optimize"
  ui::CheckBox& check7;  // "Select Routing"
  ui::CheckBox& check5;  // "Router"
  ui::CheckBox& check6;  // "Add"

  // RouteMode: "Part" or "Net" after a load, empty before.
  std::string routeMode;

 private:
  void loadParts() { load("Part"); }
  void loadNets() { load("Net"); }
  void load(const std::string& mode);
  void nameClicked();
  void chosenClicked();
  void autoRouting();
  void pauseRouting();
  void routeOptimize();
  void selectRouting();
  void routerChanged();
  void addChanged();

  platform::pads::AppPtr attach();
  // The object that the name stands for by the route mode is selected; a name the design
  // lacks is an error. Any other mode selects nothing.
  void selectByMode(platform::pads::Design& design, const std::string& name);
  // Auto Routing and Pause Routing: a push button that runs `command` when ticked.
  template <class F>
  void routingCommand(ui::CheckBox& box, F&& command);

  platform::Services& services_;
};

}  // namespace assistant
