#pragma once
// The BOM workbench window "BOM_View": one tab container SSTab1 with the tabs "BOM View",
// "标准化BOM", "Velmora说明" and "Logic<->Layout". The tab "标准化BOM" holds the BOM grid
// (ListView2), the one-row preview under it (ListView4), the five edit boxes lying on the
// preview (Text5, Text3, Text2, Text6, Text7), the candidate list (ListView3) and the
// grid and sheet commands. The window exists once: closing it only hides it and returns
// to the toolbar.
#include <cstdint>
#include <memory>

#include "platform/services.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "platform/ui.h"
#include "platform/workbook_helpers.h"
#include "workbench/catalogue_handlers.h"

namespace workbench {

// The sizes that a tab change gives the window and two grids.
struct TabLayout {
  int windowWidth, windowHeight;
  int containerWidth, containerHeight;
  int candidateWidth, candidateHeight;
  int gridWidth;
};
inline constexpr TabLayout kWideLayout{15375, 9000, 15300, 8500, 15200, 3000, 15200};    // "标准化BOM"
inline constexpr TabLayout kNarrowLayout{10425, 7230, 10305, 6725, 10245, 1515, 10245};  // the other tabs

inline constexpr const char* kGridTab = "标准化BOM";
inline constexpr long kRatingBoxGrey = platform::rgb(224, 224, 224);   // the rating box after the load
inline constexpr long kRatingBoxActive = platform::rgb(255, 128, 128); // once a row is current
// The grid's background, the system colour "inactive title-bar text" (&H80000013), as its
// default RGB reads.
inline constexpr long kGridBackColor = platform::rgb(212, 208, 200);

// The home place of the clear button "C" (Command11).
inline constexpr int kClearButtonLeft = 11010, kClearButtonTop = 360, kClearButtonHeight = 300;

class BomView : public ui::Window {
 public:
  static constexpr const char* kName = "BOM_View";
  BomView(platform::Services& services, platform::Settings& settings);
  // A close request is refused: the new-row flag goes back to 0, the window hides and
  // the toolbar is shown again.
  void queryClose() override;

  // The window state the material catalogue shares.
  ui::ListView& bomGrid() { return listView2; }
  ui::ListView& candidateGrid() { return listView3; }
  ui::ListView& rowPreview() { return listView4; }
  int currentRowIndex = 0;      // CurrentRowIndex: position (from 1) of the current grid row
  int newRowFlag = 0;           // NewRowFlag: 1 while the row "+" appended waits for its first commit

 private:
  bool layOutControls();
  bool laidOut_;  // made first, so the controls exist before the references below are bound

 public:
  // The controls, as the layout table in bom_view.cpp makes them.
  ui::Tabs& ssTab1;
  // "BOM View"
  ui::ComboBox& combo2;
  ui::TextBox& text1;    // zoom box
  ui::Label& label7;     // part details
  ui::ListView& listView1;
  ui::TextBox& text4;    // value box
  ui::ListBox& list3;    // designators
  // "标准化BOM"
  ui::Button& command5;  // "导入初始BOM"
  ui::Button& command4;  // "表格列宽恢复"
  ui::Button& command7;  // "导出标准BOM"
  ui::Button& command11; // "C"
  ui::ListView& listView2;  // BomGrid
  ui::Button& command13; // "+"
  ui::Button& command14; // "-"
  ui::ListView& listView4;  // RowPreview
  ui::TextBox& text5;    // EditBar: code search
  ui::TextBox& text3;    // EditBar: name search
  ui::TextBox& text2;    // EditBar: rating search and edit
  ui::TextBox& text6;    // EditBar: quantity
  ui::TextBox& text7;    // EditBar: designators
  ui::ListView& listView3;  // CandidateGrid
  // "Velmora说明"
  ui::Label& label2;
  // "Logic<->Layout"
  ui::TextBox& text8;    // zoom box
  ui::CheckBox& check1;  // "同步修改"
  ui::TextBox& text9;    // value editor
  ui::ListView& listView5;
  ui::ListView& listView6;

  // The handlers, as the controls' events run them.
  void formLoad();
  void tabClicked();
  void gridRowClicked();     // ListView2_Click
  void appendRow();          // "+"
  void removeCurrentRow();   // "-"
  void restoreColumnWidths();  // "表格列宽恢复"
  void importBom();          // "导入初始BOM"
  void exportStandardBom();  // "导出标准BOM"
  void clearRemarks();       // "清除备注"
  void deleteNcItems();      // "删除NC项目"
  void deleteCategoryRows(); // "删除元件分类"
  void buildSpecialBom();    // "特殊BOM"
  void checkDesignators();   // "检查位号"
  // "BOM View" (part_list_tab.cpp)
  void importPartList();     // "Import"
  void exportPartList();     // "Export"
  void partLineClicked();    // ListView1_Click
  void designatorClicked();  // List3_Click
  void partValueKeyDown(int& keyCode, int shift);  // Text4_KeyDown
  void padsProgramChosen();  // Combo2_Click
  void showCoordinates();    // "坐标"
  // "Logic<->Layout" (compare_tab.cpp)
  void importCompareSheet();  // "导入对比xls"
  void logicRowClicked();     // ListView5_Click
  void layoutRowClicked();    // ListView6_Click
  void markPackage();         // "M"
  void compareValueKeyDown(int& keyCode, int shift);  // Text9_KeyDown
  // The material catalogue's handlers, forwarded to the catalogue given to the window.
  void setCatalogue(std::unique_ptr<CatalogueHandlers> catalogue);
  CatalogueHandlers* catalogue() { return catalogue_.get(); }
  void connectCatalogue();                    // "连接数据库"
  void autoMatchAll();                        // "自动匹配"
  void autoMatchRow();                        // ListView2_DblClick
  void pickCandidate();                       // ListView3_DblClick
  void searchBoxKeyDown(int& keyCode, int shift);  // Text2, Text3, Text5
  void valueBoxKeyDown(int& keyCode, int shift);   // Text6, Text7
  void text2KeyUp(int& keyCode, int shift);
  void text3KeyUp(int& keyCode, int shift);
  void text5KeyUp(int& keyCode, int shift);
  void text2GotFocus();
  void text3GotFocus();
  void text5GotFocus();
  void clearButtonClicked();                  // "C"
  void text5DblClick();                       // Text5_DblClick

 private:
  void runSheetTool(void (*tool)(platform::Services&, platform::Settings&, platform::xl::AppPtr&));
  void compareRowClicked(ui::ListView& list, int editorLeft);
  void applyLayout(const TabLayout& l);
  // The first `count` edit boxes (code, name, rating, quantity, designators) over their grid columns.
  void placeEditBoxes(int count);
  // The preview gets row `row` (from 0; -1: an empty row).
  void showInPreview(int row);
  // The rating box enabled and coloured; with a row, the rating, quantity and designator
  // boxes get its texts.
  void fillEditBoxes(int row);

  platform::Services& services_;
  platform::Settings& settings_;
  platform::xl::AppPtr spreadsheetApp_;  // SpreadsheetApp of this window
  int shownPartLine_ = -1;  // the part-list line whose designators List3 shows (from 0)
  std::unique_ptr<CatalogueHandlers> catalogue_;
};

// The about text of the tab "Velmora说明".
extern const char* const kAboutText;

}  // namespace workbench
