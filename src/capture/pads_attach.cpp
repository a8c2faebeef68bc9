#include "capture/pads_attach.h"

#include "platform/workbook_helpers.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace capture {

namespace pads = platform::pads;

PadsDesign attachPadsDesign(platform::ToolContext& t, const std::string& progId, const std::string& filter,
                            const std::string& title, EmptyPathRule rule) {
  platform::Programs& programs = t.services.programs;
  PadsDesign out;
  vb::SkipOnError skip;
  if (skip.step([&] { out.app = programs.attachPads(progId); })) return out;
  // Another failure than a program that does not run: no dialog, no program.
  if (skip.number() != vb::kCannotCreate) return out;

  skip.step([&] { out.app = programs.startPads(progId); });
  std::string path = t.dialog.choose(filter, title);
  if (out.app) skip.step([&] { out.app->setVisible(true); });
  if (path.empty() && rule == EmptyPathRule::Abandon) {
    t.state.abortFlag = "ON";
    out.abandoned = true;
    return out;
  }
  if (out.app) skip.step([&] { out.app->openDocument(path); });
  return out;
}

long readPartCount(const pads::AppPtr& app) {
  if (!app) return 0;
  vb::SkipOnError skip;
  return skip.value([&] { return app->activeDocument().componentCount(); }, 0L);
}

std::string readDesignName(const pads::AppPtr& app) {
  if (!app) return "";
  vb::SkipOnError skip;
  return skip.value([&] { return app->activeDocument().name(); }, std::string());
}

std::string attributeText(const pads::Part& part, const std::string& name, const std::string& placeholder) {
  const pads::Attribute* a = part.attribute(name);
  return a ? a->value() : placeholder;
}

std::string partValueText(const pads::Part& part, const std::string& placeholder) {
  return attributeText(part, "Value", placeholder);
}

PartRecord readLogicPart(const pads::Part& part, const std::string& extraName) {
  PartRecord r;
  r.value = partValueText(part, "NC");
  r.decal = part.pcbDecal();
  r.designator = part.name();
  r.extra = attributeText(part, extraName, "");
  return r;
}

PartRecord readLayoutPart(const pads::Design& design, const pads::Part& part, const std::string* extraName,
                          Coordinates which) {
  PartRecord r;
  r.value = partValueText(part, "NC");
  r.decal = part.decal();
  r.designator = part.name();
  if (extraName) r.extra = attributeText(part, *extraName, "");
  r.pins = part.pinCount();
  r.side = design.layerName(part.layer());
  r.orientation = part.orientation();
  if (which == Coordinates::Position) {
    r.x = part.positionX();
    r.y = part.positionY();
  } else {
    r.x = part.centerX();
    r.y = part.centerY();
  }
  r.smd = part.isSMD();
  r.glued = part.glued();
  return r;
}

JumperRecord readJumperRecord(const pads::Jumper& jumper, bool withNet) {
  JumperRecord r;
  r.name = jumper.name();
  r.length = jumper.length();
  r.orientation = jumper.orientation();
  if (withNet) r.net = jumper.netName();
  return r;
}

std::string yesNo(bool b) { return b ? "Yes" : "No"; }

vb::Variant coordinateX(double x, const std::string& side, bool mirrorBottom) {
  std::string text = vb::fixedText(x, 3);
  if (mirrorBottom && side == "Bottom") return -vb::val(text);
  return text;
}

vb::Variant coordinateY(double y) { return vb::fixedText(y, 3); }

void putLayoutPartRow(vb::Table& rows, long i, PartRecord&& r, vb::Variant columnF, bool mirrorBottom) {
  rows(i, 1) = static_cast<double>(i);
  rows(i, 2) = std::move(r.value);
  rows(i, 3) = std::move(r.decal);
  rows(i, 4) = "1";
  rows(i, 5) = std::move(r.designator);
  rows(i, 6) = std::move(columnF);
  rows(i, 7) = static_cast<double>(r.pins);
  rows(i, 9) = r.orientation;
  rows(i, 10) = coordinateX(r.x, r.side, mirrorBottom);
  rows(i, 11) = coordinateY(r.y);
  rows(i, 12) = yesNo(r.smd);
  rows(i, 13) = yesNo(r.glued);
  rows(i, 8) = std::move(r.side);
}

vb::Table layoutJumperRows(const std::vector<pads::Jumper*>& jumpers, long parts, long width,
                           const vb::Variant& columnF) {
  const long j = static_cast<long>(jumpers.size());
  vb::Table rows(j, width);
  for (long k = 1; k <= j; ++k) {
    JumperRecord r = readJumperRecord(*jumpers[static_cast<size_t>(k - 1)]);
    rows(k, 1) = static_cast<double>(parts + k);
    rows(k, 2) = r.length;
    rows(k, 3) = r.length;
    rows(k, 4) = 1.0;
    rows(k, 5) = std::move(r.name);
    rows(k, 6) = columnF;
    rows(k, 7) = 2.0;
    rows(k, 8) = "Top";
    rows(k, 9) = r.orientation;
    rows(k, 10) = "";
    rows(k, 11) = "";
    rows(k, 12) = "No";
  }
  return rows;
}

platform::xl::SheetPtr writeLayoutList(platform::xl::Application& app, const vb::Table& parts,
                                       const vb::Table& jumpers, const vb::Table& headings) {
  platform::xl::SheetPtr sheet = platform::newReportWorkbook(app)->sheet(2);
  const long n = parts.rows();
  const std::string last = std::to_string(n + jumpers.rows() + 1);
  platform::textFirst(sheet->range("A1:F" + last));
  platform::blockWrite(sheet->cell(2, 1), parts);
  vb::SkipOnError skip;
  skip.step([&] { platform::blockWrite(sheet->cell(n + 2, 1), jumpers); });
  sheet->range("A1:M1").setValues(headings);
  platform::listHeaderStyle(sheet->range("A1:M1"), sheet->range("A1:M" + last));
  return sheet;
}

}  // namespace capture
