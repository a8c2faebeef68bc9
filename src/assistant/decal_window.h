#pragma once
// The design assistant window "Decal" ("高级助手"): it lists the decals, parts and values
// of the design open in PADS Layout or PADS Logic, selects and shows parts, and opens its
// companion windows. It is created once and only hidden when closed, so its lists, boxes
// and the two window variables keep their contents.
#include <optional>
#include <string>
#include <vector>

#include "platform/pads.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace assistant {

// The text put into the PADS status bar before all parts of a design are walked.
inline constexpr const char* kBusyStatusText = "Loading Date,Please Wait!!!";
// A work-list row of the value sync: the part name, this separator, the value text.
inline constexpr const char* kSyncRowSeparator = "/ /";
// The value key of a part without a "Value" attribute.
inline constexpr const char* kNoValue = "Nothing";

// SyncRow: "R1/ /10k".
std::string syncRow(const std::string& name, const std::string& value);
// The part name of a work-list row: the text before the first "/ /", else the whole row.
std::string syncRowName(const std::string& row);
// PartDetailLine: the fields joined by two blanks.
std::string partDetailLine(const std::vector<std::string>& fields);

class DecalWindow : public ui::Window {
 public:
  static constexpr const char* kName = "Decal";
  explicit DecalWindow(platform::Services& services);
  // The close request is refused: the window hides, keeping its contents, and the
  // toolbar is shown again.
  void queryClose() override;

 private:
  bool layOutControls();
  bool laidOut_;  // made first, so the controls exist before the references below are bound

 public:
  ui::ComboBox& combo2;  // software box
  ui::TextBox& text3;    // search box
  ui::ComboBox& combo3;  // object box
  ui::Button& command9;  // "Decal"
  ui::Label& label6;
  ui::ComboBox& combo1;  // layer box
  ui::Label& label2;
  ui::TextBox& text2;    // scale box
  ui::Button& command1;  // "加载"
  ui::TextBox& text4;    // value box
  ui::Button& command2;  // "修改"
  ui::Label& label7;
  ui::Label& detail;     // 属性, the detail label
  ui::CheckBox& check1;  // "Part", the cross-probe switch
  ui::Label& label1;
  ui::Label& label4;
  ui::Label& label8;
  ui::Label& label9;
  ui::TextBox& text1;    // count box
  ui::Label& label11;
  ui::ListBox& list4;    // decals
  ui::ListBox& list1;    // parts
  ui::ListBox& list2;    // values
  ui::ListBox& list3;    // work list
  ui::Button& command6;  // "同步"
  ui::Button& command3;  // "Filter"
  ui::Button& command4;  // "Add >>"
  ui::Button& command8;  // "<< Del"
  ui::Button& command5;  // "Lable"
  ui::Button& command7;  // "Display"

  // ListMode: "ok" keeps the work list when a part is clicked.
  std::string listMode;
  // DecalParts: the parts the last decal click selected; none after a Filter.
  struct PartList {
    platform::pads::AppPtr app;  // keeps the parts' program alive
    std::vector<platform::pads::Part*> parts;
  };
  std::optional<PartList> decalParts;

  // The search branches, one per row of the search table (search_box.cpp).
  struct SearchBox {
    DecalWindow& w;
    using App = platform::pads::Application;
    using Design = platform::pads::Design;
    void layoutPart(App& app, Design& design, const std::string& name);
    void layoutNet(App& app, Design& design, const std::string& name);
    void layoutPin(App& app, Design& design, const std::string& name);
    void layoutDecal(App& app, Design& design, const std::string& name);
    void logicPart(App& app, Design& design, const std::string& name);
    void logicNet(App& app, Design& design, const std::string& name);
    void logicPin(App& app, Design& design, const std::string& name);
    void logicDecal(App& app, Design& design, const std::string& name);
    void bothPrograms();
    // PADS Layout: fit to the selection, scale by the scale box, redraw.
    void zoomView(Design& design);
    // PADS Logic: the gate's sheet activated, its place read, the sheet activated again
    // and the view centred on it.
    void showLogicGateTwice(Design& design, platform::pads::Part& part);
  };

 private:
  enum class Software { None, Layout, Logic };

  // Start-up and the window's own controls.
  void formLoad();
  void softwarePicked();
  void searchBoxReset();
  void load();
  // The four lists, the count and value boxes and the detail label emptied, the search box reset.
  void emptyListsAndBoxes();
  void loading();
  void addToWorkList();
  void removeFromWorkList();
  void openLabelWindow();
  void openVisibilityWindow();

  // The lists (assistant_lists.cpp).
  void filter();
  void decalClicked();
  void valueClicked();
  void partClicked();
  void workListClicked();
  void showPartByName(Software software, const std::string& name);

  // The search box (search_box.cpp).
  void searchKeyDown(int& keyCode, int shift);
  void crossProbe();

  // "修改" and "同步" (value_sync.cpp).
  void editValue();
  void syncValues();
  // "Decal" (decal_macro.cpp).
  void reassignDecal();

  // The program that the software box names, or none (with the message shown).
  Software chosenSoftware();
  void notify(const std::string& text);
  double zoomPercent() const;

  platform::Services& services_;
};

}  // namespace assistant
