#pragma once
// The BOM window with a catalogue workbook on disk and the running spreadsheet program,
// for tests of the catalogue's commands.
#include <string>
#include <vector>

#include "catalogue/catalogue_commands.h"
#include "sim/sim_spreadsheet.h"
#include "support/scratch_dir.h"
#include "workbench/bom_view_fixture.h"

namespace testing_support {

class CatalogueTest : public BomViewTest {
 protected:
  using Cells = std::vector<vb::Variant>;
  void SetUp() override {
    BomViewTest::SetUp();
    excel = world.programs.runSpreadsheet("Excel.Application");
    excel->setVisible(true);
  }
  // A catalogue workbook: a title row, the heading row, then one entry per row (columns A..).
  std::string writeCatalogue(const std::string& name, const std::vector<Cells>& entries) {
    platform::Files plain;
    auto maker = sim::makeSimSpreadsheet("Excel.Application", world.faults, plain);
    auto wb = maker->addWorkbook();
    auto sheet = wb->sheet(1);
    sheet->cell(1, 1).setValue(vb::Variant("物料库"));
    const char* headings[] = {"序号", "物料编码", "物料名称", "物料规格", "单位"};
    for (long c = 1; c <= 5; ++c) sheet->cell(2, c).setValue(vb::Variant(headings[c - 1]));
    for (size_t r = 0; r < entries.size(); ++r)
      for (size_t c = 0; c < entries[r].size(); ++c)
        sheet->cell(static_cast<long>(r) + 3, static_cast<long>(c) + 1).setValue(entries[r][c]);
    const std::string path = dir.path(name);
    sim::saveCopyAsXlsx(*wb, path);
    return path;
  }
  void connect(const std::string& path) {
    world.user.answerFile(path);
    click(*w->control("Command3"));
  }
  // An entry: 序号, 物料编码, 物料名称, 物料规格, 单位, 用量, 位号, 单价, 供应商, 报价.
  static Cells entry(const std::string& n, const std::string& code, const std::string& name,
                     const std::string& rating, double price = 0.1) {
    return {vb::Variant(n), vb::Variant(code), vb::Variant(name), vb::Variant(rating), vb::Variant("PCS"),
            vb::Variant(9.0), vb::Variant("X9"), vb::Variant(price), vb::Variant("ACME"), vb::Variant(0.9)};
  }
  catalogue::CatalogueCommands& commands() { return *static_cast<catalogue::CatalogueCommands*>(w->catalogue()); }
  std::string gridRow(int r) {  // from 1, cells joined by "|"
    std::string out;
    for (int c = 0; c < 11; ++c) out += (c ? "|" : "") + grid().cell(r - 1, c);
    return out;
  }
  void addRow(const std::string& name, const std::string& rating, const std::string& qty = "2",
              const std::string& refs = "r1,r2") {
    const std::string n = std::to_string(grid().rowCount() + 1);
    grid().addRow({n, "", name, rating, "", qty, refs, "", "", "old", "note"});
  }
  void clickRow(int r) { program->dispatch([&] { grid().userSelect(r - 1); }); }
  void key(ui::TextBox& box, int code) { program->dispatch([&] { box.userKeyDown(code); }); }
  std::string lastMessage() const { return messages().empty() ? "" : messages().back(); }

  ScratchDir dir{"catalogue"};
  std::shared_ptr<sim::SimSpreadsheet> excel;
};

}  // namespace testing_support
