#include "workbench/bom_view.h"

#include "workbench/grid_columns.h"
#include "workbench/sheet_tools.h"
#include "workbench/standard_bom.h"

namespace workbench {

const char* const kAboutText =
    "Velmora BOM 工作台\n\n"
    "BOM View: 读取BOM清单的元件行,在PADS中选中元件并修改元件值.\n"
    "标准化BOM: 导入BOM报表或标准BOM,逐行编辑,连接物料数据库匹配物料,导出标准BOM.\n"
    "Logic<->Layout: 导入对比表,逐行查看Logic与Layout的元件值差异并修改.";

bool BomView::layOutControls() {
  using ui::Kind;
  using W = BomView;
  // Pages of SSTab1.
  constexpr int kView = 0, kGrid = 1, kAbout = 2, kCompare = 3;
  static const ui::ControlRow<W> kControls[] = {
      // name        kind            frame     caption          left   top   width  height tab handlers      page
      {"SSTab1",    Kind::Tabs,     nullptr,  nullptr,         0,     0,    15300, 8500,  -1, &W::tabClicked},
      // "BOM View"
      {"Label4",    Kind::Label,    "SSTab1", "选择软件:",     60,    450,  855,   195,   -1, nullptr, nullptr, kView},
      {"Combo2",    Kind::ComboBox, "SSTab1", nullptr,         900,   360,  1095,  300,   -1, &W::padsProgramChosen, nullptr, kView},
      {"Label5",    Kind::Label,    "SSTab1", "缩放比例:",     2070,  450,  855,   195,   -1, nullptr, nullptr, kView},
      {"Text1",     Kind::TextBox,  "SSTab1", nullptr,         2880,  360,  975,   295,   -1, nullptr, nullptr, kView},
      {"属性",      Kind::Label,    "SSTab1", "元件属性:",     3900,  480,  855,   195,   -1, nullptr, nullptr, kView},
      {"Label7",    Kind::Label,    "SSTab1", "",              4710,  480,  2775,  195,   -1, nullptr, nullptr, kView},
      {"Command10", Kind::Button,   "SSTab1", "坐标",          7800,  360,  735,   315,   -1, &W::showCoordinates, nullptr, kView},
      {"Command1",  Kind::Button,   "SSTab1", "Import",        8640,  360,  735,   315,   -1, &W::importPartList, nullptr, kView},
      {"Command2",  Kind::Button,   "SSTab1", "Export",        9450,  360,  735,   315,   -1, &W::exportPartList, nullptr, kView},
      {"ListView1", Kind::ListView, "SSTab1", nullptr,         0,     690,  9345,  6015,  -1, &W::partLineClicked, nullptr, kView},
      {"Text4",     Kind::TextBox,  "SSTab1", nullptr,         9360,  700,  885,   295,   -1, nullptr, nullptr, kView, nullptr, nullptr, &W::partValueKeyDown},
      {"List3",     Kind::ListBox,  "SSTab1", nullptr,         9360,  1050, 885,   5640,  -1, &W::designatorClicked, nullptr, kView},
      // "标准化BOM"
      {"Command5",  Kind::Button,   "SSTab1", "导入初始BOM",   60,    360,  1155,  300,   -1, &W::importBom, nullptr, kGrid},
      {"Command3",  Kind::Button,   "SSTab1", "连接数据库",    1260,  360,  1035,  300,   -1, &W::connectCatalogue, nullptr, kGrid},
      {"Command6",  Kind::Button,   "SSTab1", "自动匹配",      2340,  360,  885,   300,   -1, &W::autoMatchAll, nullptr, kGrid},
      {"Command4",  Kind::Button,   "SSTab1", "表格列宽恢复",  3270,  360,  1245,  300,   -1, &W::restoreColumnWidths, nullptr, kGrid},
      {"Command7",  Kind::Button,   "SSTab1", "导出标准BOM",   4560,  360,  1155,  300,   -1, &W::exportStandardBom, nullptr, kGrid},
      {"Command8",  Kind::Button,   "SSTab1", "删除NC项目",    5760,  360,  1095,  300,   -1, &W::deleteNcItems, nullptr, kGrid},
      {"Command9",  Kind::Button,   "SSTab1", "删除元件分类",  6900,  360,  1245,  300,   -1, &W::deleteCategoryRows, nullptr, kGrid},
      {"Command17", Kind::Button,   "SSTab1", "检查位号",      8190,  360,  885,   300,   -1, &W::checkDesignators, nullptr, kGrid},
      {"Command19", Kind::Button,   "SSTab1", "清除备注",      9120,  360,  885,   300,   -1, &W::clearRemarks, nullptr, kGrid},
      {"Command15", Kind::Button,   "SSTab1", "特殊BOM",       10050, 360,  885,   300,   -1, &W::buildSpecialBom, nullptr, kGrid},
      {"Command11", Kind::Button,   "SSTab1", "C",             kClearButtonLeft, kClearButtonTop, 375, kClearButtonHeight, -1, &W::clearButtonClicked, nullptr, kGrid},
      {"ListView2", Kind::ListView, "SSTab1", nullptr,         30,    690,  10245, 4500,  -1, &W::gridRowClicked, nullptr, kGrid, &W::autoMatchRow},
      {"Command13", Kind::Button,   "SSTab1", "+",             600,   980,  285,   200,   -1, &W::appendRow, nullptr, kGrid},
      {"Command14", Kind::Button,   "SSTab1", "-",             9600,  980,  285,   200,   -1, &W::removeCurrentRow, nullptr, kGrid},
      {"ListView4", Kind::ListView, "SSTab1", nullptr,         30,    5175, 9825,  315,   -1, nullptr, nullptr, kGrid},
      {"Text5",     Kind::TextBox,  "SSTab1", nullptr,         840,   5220, 1250,  270,   -1, nullptr, nullptr, kGrid, &W::text5DblClick, &W::text5GotFocus, &W::searchBoxKeyDown, &W::text5KeyUp},
      {"Text3",     Kind::TextBox,  "SSTab1", nullptr,         2070,  5220, 1250,  270,   -1, nullptr, nullptr, kGrid, nullptr, &W::text3GotFocus, &W::searchBoxKeyDown, &W::text3KeyUp},
      {"Text2",     Kind::TextBox,  "SSTab1", nullptr,         3330,  5220, 2530,  270,   -1, nullptr, nullptr, kGrid, nullptr, &W::text2GotFocus, &W::searchBoxKeyDown, &W::text2KeyUp},
      {"Text6",     Kind::TextBox,  "SSTab1", nullptr,         6600,  5220, 735,   270,   -1, nullptr, nullptr, kGrid, nullptr, nullptr, &W::valueBoxKeyDown},
      {"Text7",     Kind::TextBox,  "SSTab1", nullptr,         7350,  5220, 2505,  270,   -1, nullptr, nullptr, kGrid, nullptr, nullptr, &W::valueBoxKeyDown},
      {"Label8",    Kind::Label,    "SSTab1", "",              2130,  5250, 1185,  195,   -1, nullptr, nullptr, kGrid},
      {"Label10",   Kind::Label,    "SSTab1", "",              6660,  5250, 645,   195,   -1, nullptr, nullptr, kGrid},
      {"ListView3", Kind::ListView, "SSTab1", nullptr,         30,    5460, 10245, 1515,  -1, nullptr, nullptr, kGrid, &W::pickCandidate},
      // "Velmora说明"
      {"Label2",    Kind::Label,    "SSTab1", "",              30,    630,  10215, 6345,  -1, nullptr, nullptr, kAbout},
      // "Logic<->Layout"
      {"Command16", Kind::Button,   "SSTab1", "导入对比xls",   150,   345,  1245,  300,   -1, &W::importCompareSheet, nullptr, kCompare},
      {"Label1",    Kind::Label,    "SSTab1", "缩放比例:",     5340,  450,  855,   195,   -1, nullptr, nullptr, kCompare},
      {"Text8",     Kind::TextBox,  "SSTab1", nullptr,         6120,  360,  975,   270,   -1, nullptr, nullptr, kCompare},
      {"Check1",    Kind::CheckBox, "SSTab1", "同步修改",      8700,  360,  1065,  255,   -1, nullptr, nullptr, kCompare},
      {"Command18", Kind::Button,   "SSTab1", "M",             8400,  1010, 285,   260,   -1, &W::markPackage, nullptr, kCompare},
      {"Text9",     Kind::TextBox,  "SSTab1", nullptr,         8700,  1010, 1275,  270,   -1, nullptr, nullptr, kCompare, nullptr, nullptr, &W::compareValueKeyDown},
      {"ListView5", Kind::ListView, "SSTab1", nullptr,         0,     660,  5145,  6015,  -1, &W::logicRowClicked, nullptr, kCompare},
      {"ListView6", Kind::ListView, "SSTab1", nullptr,         5130,  660,  5145,  6015,  -1, &W::layoutRowClicked, nullptr, kCompare},
  };
  layOut(kControls);
  move(1500, 1500);
  return true;
}

namespace {

using Align = ui::ListView::Align;

struct ColumnSpec {
  const char* heading;
  int width;
  Align align = Align::Left;
};

template <size_t N>
void addColumns(ui::ListView& view, const ColumnSpec (&columns)[N], const char* font, double size) {
  for (const ColumnSpec& c : columns) view.addColumn(c.heading, c.width, c.align);
  view.setFont(font, size);
}

constexpr const char* kSongTi = "宋体";

const ColumnSpec kPartListColumns[] = {
    {"No.", 1000}, {"Value", 2000}, {"Decal", 2500}, {"Qty", 500, Align::Center}, {"Name", 3000}};
const ColumnSpec kLogicColumns[] = {{"序号", 750}, {"Logic", 1000}, {"元件封装", 1750}, {"元件参数", 1300}};
const ColumnSpec kLayoutColumns[] = {{"序号", 750}, {"Layout", 1000}, {"元件封装", 1750}, {"元件参数", 1300}};

}  // namespace

BomView::BomView(platform::Services& services, platform::Settings& settings)
    : ui::Window(kName, "BOM"),
      laidOut_(layOutControls()),
      ssTab1(find<ui::Tabs>("SSTab1")),
      combo2(find<ui::ComboBox>("Combo2")),
      text1(find<ui::TextBox>("Text1")),
      label7(find<ui::Label>("Label7")),
      listView1(find<ui::ListView>("ListView1")),
      text4(find<ui::TextBox>("Text4")),
      list3(find<ui::ListBox>("List3")),
      command5(find<ui::Button>("Command5")),
      command4(find<ui::Button>("Command4")),
      command7(find<ui::Button>("Command7")),
      command11(find<ui::Button>("Command11")),
      listView2(find<ui::ListView>("ListView2")),
      command13(find<ui::Button>("Command13")),
      command14(find<ui::Button>("Command14")),
      listView4(find<ui::ListView>("ListView4")),
      text5(find<ui::TextBox>("Text5")),
      text3(find<ui::TextBox>("Text3")),
      text2(find<ui::TextBox>("Text2")),
      text6(find<ui::TextBox>("Text6")),
      text7(find<ui::TextBox>("Text7")),
      listView3(find<ui::ListView>("ListView3")),
      label2(find<ui::Label>("Label2")),
      text8(find<ui::TextBox>("Text8")),
      check1(find<ui::CheckBox>("Check1")),
      text9(find<ui::TextBox>("Text9")),
      listView5(find<ui::ListView>("ListView5")),
      listView6(find<ui::ListView>("ListView6")),
      services_(services),
      settings_(settings) {
  for (const char* tab : {"BOM View", kGridTab, "Velmora说明", "Logic<->Layout"}) ssTab1.addTab(tab);
  addColumns(listView1, kPartListColumns, kSongTi, 9);
  for (int c = 0; c < kGridColumnCount; ++c)
    listView2.addColumn(kGridColumns[c].heading, kGridColumns[c].width,
                        c == kQuoteColumn ? Align::Center : Align::Left);
  listView2.setFont(kSongTi, 9);
  listView2.setBackColor(kGridBackColor);
  for (int c = 0; c < kRecordColumnCount; ++c) listView3.addColumn(kGridColumns[c].heading, kGridColumns[c].width);
  listView3.setFont(kSongTi, 9);
  for (int c = 0; c < kPreviewColumnCount; ++c) listView4.addColumn("", kGridColumns[c].width);
  listView4.setHeadingsHidden(true);
  listView4.setFont(kSongTi, 12);
  addColumns(listView5, kLogicColumns, kSongTi, 12);
  addColumns(listView6, kLayoutColumns, kSongTi, 12);
  text1.setText("100");
  text8.setText("100");
  text2.setEnabled(false);
  check1.setValue(1);
  formLoad();
}

void BomView::formLoad() {
  newRowFlag = 0;
  ssTab1.setTab(1);
  applyLayout(kWideLayout);
  text1.setText("100");
  text2.setBackColor(kRatingBoxGrey);
  combo2.addItem("Layout");
  combo2.addItem("Logic");
  combo2.setText("Layout");
  list3.clear();
  listView1.clearRows();
  label2.setCaption(kAboutText);
}

void BomView::applyLayout(const TabLayout& l) {
  setHeight(l.windowHeight);
  ssTab1.setSize(ssTab1.width(), l.containerHeight);
  listView3.setSize(listView3.width(), l.candidateHeight);
  setWidth(l.windowWidth);
  ssTab1.setSize(l.containerWidth, ssTab1.height());
  listView3.setSize(l.candidateWidth, listView3.height());
  listView2.setSize(l.gridWidth, listView2.height());
}

void BomView::tabClicked() { applyLayout(ssTab1.caption(ssTab1.tab()) == kGridTab ? kWideLayout : kNarrowLayout); }

void BomView::exportStandardBom() {
  newRowFlag = 0;
  workbench::exportStandardBom(services_, settings_, listView2, spreadsheetApp_);
  spreadsheetApp_.reset();  // released once the command ends
}

void BomView::importBom() {
  newRowFlag = 0;
  importBomSheet(services_, settings_, listView2, spreadsheetApp_);
  spreadsheetApp_.reset();
  setFocus(listView2);
}

// The sheet tools work on the workbook only; the grid and its state stay as they are.
void BomView::runSheetTool(void (*tool)(platform::Services&, platform::Settings&, platform::xl::AppPtr&)) {
  tool(services_, settings_, spreadsheetApp_);
  spreadsheetApp_.reset();
}
void BomView::clearRemarks() { runSheetTool(workbench::clearRemarks); }
void BomView::deleteNcItems() { runSheetTool(workbench::deleteNcItems); }
void BomView::deleteCategoryRows() { runSheetTool(workbench::deleteCategoryRows); }
void BomView::buildSpecialBom() { runSheetTool(workbench::buildSpecialBom); }
void BomView::checkDesignators() { runSheetTool(workbench::checkDesignators); }

// The catalogue's handlers: without a catalogue given to the window they do nothing.
void BomView::setCatalogue(std::unique_ptr<CatalogueHandlers> catalogue) { catalogue_ = std::move(catalogue); }
void BomView::connectCatalogue() { if (catalogue_) catalogue_->connectCatalogue(); }
void BomView::autoMatchAll() { if (catalogue_) catalogue_->autoMatchAll(); }
void BomView::autoMatchRow() { if (catalogue_) catalogue_->autoMatchRow(); }
void BomView::pickCandidate() { if (catalogue_) catalogue_->pickCandidate(); }
void BomView::searchBoxKeyDown(int& keyCode, int) { if (catalogue_) catalogue_->searchBoxKeyDown(keyCode); }
void BomView::valueBoxKeyDown(int& keyCode, int) { if (catalogue_) catalogue_->valueBoxKeyDown(keyCode); }
void BomView::text2KeyUp(int& keyCode, int) { if (catalogue_) catalogue_->searchBoxKeyUp(text2, keyCode); }
void BomView::text3KeyUp(int& keyCode, int) { if (catalogue_) catalogue_->searchBoxKeyUp(text3, keyCode); }
void BomView::text5KeyUp(int& keyCode, int) { if (catalogue_) catalogue_->searchBoxKeyUp(text5, keyCode); }
void BomView::text2GotFocus() { if (catalogue_) catalogue_->searchBoxGotFocus(text2); }
void BomView::text3GotFocus() { if (catalogue_) catalogue_->searchBoxGotFocus(text3); }
void BomView::text5GotFocus() { if (catalogue_) catalogue_->searchBoxGotFocus(text5); }
void BomView::clearButtonClicked() { if (catalogue_) catalogue_->clearButtonClicked(); }
void BomView::text5DblClick() { if (catalogue_) catalogue_->codeBoxDoubleClicked(); }

void BomView::queryClose() {
  newRowFlag = 0;
  services_.windows.hideAndReturn(*this, "Tool");
}

}  // namespace workbench
