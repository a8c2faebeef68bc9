#include "capture/pads_attach.h"

#include "platform/spreadsheet.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace capture {

namespace pads = platform::pads;

PadsDesign attachPadsDesign(ToolContext& t, const std::string& progId, const std::string& filter,
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

void checkListFitsSheet(long rows) {
  if (rows + 1 <= platform::xl::kMaxRows) return;
  vb::raise(vb::kOverflow, "元件数量 " + std::to_string(rows) + " 超过工作表的最大行数,无法输出元件清单");
}

}  // namespace capture
