// The PADS stand-in served through automation and driven by the interface over the real
// programs (comPads): the same calls made directly on one stand-in and through COM on
// another with the same design must give the same answers, the same designs and the
// same call logs.
#include "sim/win/served_pads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "formats/design_file.h"
#include "platform/win/com_pads.h"
#include "platform/win/dispatch_object.h"
#include "sim/sim_programs.h"
#include "support/every_field_design.h"
#include "support/pads_designs.h"
#include "support/runtime_errors.h"
#include "support/scratch_dir.h"

namespace {

namespace pads = platform::pads;
using platform::win::Automation;
using platform::win::ComApartment;
using platform::win::DispatchObject;
using sim::win::ServedPads;
using testing_support::expectError;
using testing_support::readBytes;
using testing_support::runDesign;
using testing_support::ScratchDir;

// --- What a run of calls answered ------------------------------------------------------

std::string shown(const std::string& s) { return "\"" + s + "\""; }
std::string shown(bool b) { return b ? "True" : "False"; }
std::string shown(double d) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", d);
  return text;
}
template <class T>
  requires std::is_integral_v<T>
std::string shown(T n) {
  return std::to_string(n);
}
std::string shown(const std::vector<std::string>& list) {
  std::string out = "[";
  for (const std::string& s : list) out += (out.size() > 1 ? ", " : "") + shown(s);
  return out + "]";
}
std::string shown(const std::vector<pads::Part*>& parts) {
  std::vector<std::string> names;
  for (const pads::Part* p : parts) names.push_back(p->name());
  return shown(names);
}
std::string shown(pads::Unit u) { return "unit " + std::to_string(static_cast<int>(u)); }
// The name of what a look-up found, or Nothing.
template <class T>
std::string nameOf(T* found) {
  return found ? found->name() : std::string("Nothing");
}

// One line per call: what it gave, or the error it raised (number and description).
class Transcript {
 public:
  template <class F>
  void operator()(const std::string& what, F f) {
    try {
      if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
        f();
        lines.push_back(what);
      } else {
        lines.push_back(what + " = " + shown(f()));
      }
    } catch (const vb::Error& e) {
      lines.push_back(what + " ! " + std::to_string(e.number()) + " " + e.description());
    }
  }
  std::vector<std::string> lines;
};

using Script = std::function<void(pads::Application&, Transcript&)>;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

// The first line where two runs part, with the lines on both sides.
void expectSameLines(const std::vector<std::string>& served, const std::vector<std::string>& direct,
                     const std::string& what) {
  for (size_t i = 0; i < std::max(served.size(), direct.size()); ++i) {
    const std::string s = i < served.size() ? served[i] : "(no line)";
    const std::string d = i < direct.size() ? direct[i] : "(no line)";
    if (s != d) {
      ADD_FAILURE() << what << ", line " << i + 1 << ":\n  through COM: " << s << "\n  directly:    " << d;
      return;
    }
  }
}

// --- The designs -------------------------------------------------------------------------

// Every field of the design file set, with a second part whose pins are only counted and
// a third that lists its own.
formats::DesignData boardDesign() {
  formats::DesignData d = testing_support::everyFieldDesign();
  formats::PartData c3;
  c3.name = "C3";
  c3.partType = "CAP";
  c3.decal = c3.pcbDecal = "C0402";
  c3.layer = 1;
  c3.pins = {{"1", 5, 6, false}, {"2", 7, 8, false}};
  c3.pinCount = 2;
  c3.attributes = {{"Value", "100nF"}};
  c3.gates = {{"A", 1, 2, "Sheet 1", false, {}}, {"B", 3, 4, "Sheet 3", true, {}}};
  c3.labels = {{"Value", 0.5, 0.25, 0, 1, 1, 0, 0}};
  d.parts.push_back(c3);
  return d;
}

const std::string kBoard = formats::formatDesign(boardDesign());
const std::vector<std::string> kAttributeNames = {"Value", "Comment", "Acc", "Missing", ""};

// --- The scripts -------------------------------------------------------------------------

void readPart(pads::Design& d, pads::Part& p, Transcript& t) {
  const std::string at = "part " + p.name() + " ";
  t(at + "PartType", [&] { return p.partType(); });
  t(at + "PCBDecal", [&] { return p.pcbDecal(); });
  t(at + "Decal", [&] { return p.decal(); });
  t(at + "Pins.Count", [&] { return p.pinCount(); });
  // A part whose design file only counts its pins has no pin names to hand out one by one.
  if (p.name() != "R2") t(at + "Pins", [&] { return p.pinNames(); });
  t(at + "layer", [&] { return p.layer(); });
  t(at + "LayerName", [&] { return d.layerName(p.layer()); });
  t(at + "Orientation", [&] { return p.orientation(); });
  t(at + "PositionX", [&] { return p.positionX(); });
  t(at + "PositionY", [&] { return p.positionY(); });
  t(at + "CenterX", [&] { return p.centerX(); });
  t(at + "CenterY", [&] { return p.centerY(); });
  t(at + "IsSMD", [&] { return p.isSMD(); });
  t(at + "Glued", [&] { return p.glued(); });
  t(at + "Selected", [&] { return p.selected(); });
  for (const std::string& name : kAttributeNames)
    t(at + "Attributes(" + name + ")", [&] {
      const pads::Attribute* a = p.attribute(name);
      return a ? a->name() + "=" + a->value() : std::string("Nothing");
    });
  for (int k = 0; k <= 3; ++k)
    t(at + "Gates(" + std::to_string(k) + ")", [&] {
      pads::Gate* g = p.gate(k);
      return g ? shown(g->positionX()) + "," + shown(g->positionY()) : std::string("Nothing");
    });
  std::vector<pads::Label*> labels = p.labels();
  t(at + "Labels.Count", [&] { return labels.size(); });
  for (pads::Label* l : labels) {
    const std::string label = at + "label " + l->kind() + " ";
    t(label + "PositionX", [&] { return l->positionX(); });
    t(label + "PositionY", [&] { return l->positionY(); });
    t(label + "Orientation", [&] { return l->orientation(); });
    t(label + "RightReading", [&] { return l->rightReading(); });
    t(label + "HorzJustification", [&] { return l->horzJustification(); });
    t(label + "VertJustification", [&] { return l->vertJustification(); });
  }
}

// Every field of every object the interface reads, and look-ups that find nothing.
void readEverything(pads::Application& app, Transcript& t) {
  t("Visible", [&] { return app.visible(); });
  t("has document", [&] { return app.hasDocument(); });
  t("DefaultFilePath", [&] { return app.defaultFilePath(); });
  pads::Design& d = app.activeDocument();
  t("name", [&] { return d.name(); });
  t("Components.Count", [&] { return d.componentCount(); });
  t("Components", [&] { return d.components(); });
  for (pads::Part* p : d.components()) readPart(d, *p, t);
  for (const char* name : {"U1", "C3", "X9"})
    t(std::string("Components(") + name + ")", [&] { return nameOf(d.component(name)); });

  t("Jumpers.Count", [&] { return d.jumperCount(); });
  for (pads::Jumper* j : d.jumpers()) {
    const std::string at = "jumper " + j->name() + " ";
    t(at + "Length", [&] { return j->length(); });
    t(at + "Orientation", [&] { return j->orientation(); });
    t(at + "Net", [&] { return j->netName(); });
    t(at + "Selected", [&] { return j->selected(); });
  }
  for (const char* name : {"W1", "W9"})
    t(std::string("Jumpers(") + name + ")", [&] { return nameOf(d.jumper(name)); });

  t("Nets.Count", [&] { return d.netCount(); });
  for (pads::Net* n : d.nets()) t("net " + n->name() + " Length", [&] { return n->length(); });
  for (const char* name : {"VCC", "AGND"})
    t(std::string("Nets(") + name + ")", [&] {
      pads::Net* n = d.net(name);
      return n ? n->name() + " " + shown(n->length()) : std::string("Nothing");
    });

  t("Pins.Count", [&] { return d.pinCount(); });
  for (const char* name : {"U1.1", "U1.2", "C3.2", "U1.9"})
    t(std::string("Pins(") + name + ")", [&] {
      pads::Pin* p = d.pin(name);
      return p ? p->name() + " " + shown(p->positionX()) + "," + shown(p->positionY()) : std::string("Nothing");
    });
  for (const char* name : {"QFP64", "QFP64-L", "C0402", "SOT23"})
    t(std::string("Decals(") + name + ")", [&] { return nameOf(d.decalObject(name)); });

  t("Vias.Count", [&] { return d.viaCount(); });
  t("Layers.Count", [&] { return d.layerCount(); });
  for (int layer : {0, 1, 2, 3, 12}) t("LayerName " + std::to_string(layer), [&] { return d.layerName(layer); });
  t("unit", [&] { return d.unit(); });
  t("GridX", [&] { return d.gridX(); });
  t("GridY", [&] { return d.gridY(); });
  t("ElectricalLayerCount", [&] { return d.electricalLayerCount(); });
  t("Zoom", [&] { return d.activeView().zoom(); });
  t("GetObjects parts", [&] { return d.getParts("", false); });
  t("GetObjects selected parts", [&] { return d.getParts("", true); });
  t("GetObjects parts C*", [&] { return d.getParts("C*", false); });
  t("GetObjects selected gates", [&] {
    std::string places;
    for (pads::Gate* g : d.selectedGates()) places += shown(g->positionX()) + "," + shown(g->positionY()) + " ";
    return places;
  });
}

// Selection, attributes, names, labels, gates, view, layers, unit and router: every
// change the interface makes, with the program's refusals among them.
void changeEverything(pads::Application& app, Transcript& t) {
  pads::Design& d = app.activeDocument();
  t("SelectObjects clear", [&] { d.clearSelection(); });
  t("selected", [&] { return d.getParts("", true); });
  t("SelectObjects all", [&] { d.selectAllParts(); });
  t("part Selected False", [&] { d.component("U1")->setSelected(false); });
  t("selected", [&] { return d.getParts("", true); });
  t("jumper Selected", [&] {
    d.jumper("W1")->setSelected(false);
    return d.jumper("W1")->selected();
  });
  t("net Selected", [&] { d.net("VCC")->setSelected(true); });
  t("pin Selected", [&] { d.pin("C3.2")->setSelected(true); });
  t("pin Sheet.Activate", [&] { d.pin("C3.2")->activateSheet(); });
  t("decal Selected", [&] { d.decalObject("C0402")->setSelected(true); });

  pads::Part* u1 = d.component("U1");
  t("Attributes.Delete", [&] { u1->deleteAttribute("Comment"); });
  t("Attributes.Delete missing", [&] { u1->deleteAttribute("Comment"); });
  t("Attributes.Add", [&] { u1->addAttribute("Comment", "新的 \"value\""); });
  t("Attributes.Add new", [&] { u1->addAttribute("Supplier", "Acme"); });
  t("attribute read back", [&] { return u1->attribute("Comment")->value(); });
  t("rename", [&] { u1->rename("U9"); });
  t("renamed", [&] { return u1->name() + " " + shown(d.component("U1") == nullptr); });
  t("rename to a name in use", [&] { u1->rename("C3"); });
  t("name after refusal", [&] { return u1->name(); });

  pads::Label* label = u1->labels().front();
  t("label PositionX", [&] { label->setPositionX(-3.125); });
  t("label PositionY", [&] { label->setPositionY(1e-3); });
  t("label Orientation", [&] { label->setOrientation(45.5); });
  t("label RightReading", [&] { label->setRightReading(0); });
  t("label HorzJustification", [&] { label->setHorzJustification(2); });
  t("label VertJustification", [&] { label->setVertJustification(0); });
  t("label Display", [&] { label->setDisplay(0); });
  t("label read back", [&] { return shown(label->positionX()) + " " + shown(label->orientation()); });
  t("gate Visibility", [&] { u1->gate(1)->setVisibility(3, 0); });
  t("gate Visibility out of range", [&] { u1->gate(1)->setVisibility(8, 1); });
  t("gate Sheet.Activate", [&] { u1->gate(1)->activateSheet(); });

  t("SetExtentsToSelection", [&] { d.activeView().setExtentsToSelection(); });
  t("SetScale", [&] { d.activeView().setScale(2.5); });
  t("Zoom", [&] { return d.activeView().zoom(); });
  t("Refresh", [&] { d.activeView().refresh(); });
  t("SetExtents", [&] { d.activeView().setExtents(1.5, -2, 300, 400.25); });
  t("SetExtentsToSheet", [&] { d.activeView().setExtentsToSheet(); });

  t("Layers(2).Visible", [&] { d.setLayerVisible(2, false); });
  t("Layers(7).Visible", [&] { d.setLayerVisible(7, true); });
  t("Layers(Silk 12).Visible", [&] { d.showLayer("Silk 12"); });
  t("Layers(Inner 9).Visible", [&] { d.setLayerVisible("Inner 9", false); });
  t("ActiveLayer", [&] { d.setActiveLayer("12"); });
  t("ActiveLayer empty", [&] { d.setActiveLayer(""); });
  t("unit put", [&] { d.setUnit(pads::Unit::Mil); });
  t("unit", [&] { return d.unit(); });
  t("SetVisibility", [&] { d.setVisibility(12, 0); });
  t("Router.Run", [&] { d.router().setRun(true); });
  t("Router.Pause", [&] { d.router().setPause(false); });
  t("Router.Optimize", [&] { d.router().optimize(); });
  t("Router.Route", [&] { d.router().route(); });

  t("Visible put", [&] { app.setVisible(true); });
  t("Visible", [&] { return app.visible(); });
  t("StatusBarText", [&] { app.setStatusBarText("正在处理 R2"); });
  t("ModelessCmd", [&] { app.modelessCmd("ss R2"); });
  t("selected after ss", [&] { return d.getParts("", true); });
}

// --- The two stand-ins -------------------------------------------------------------------

class ServedPadsTest : public testing::Test {
 protected:
  void TearDown() override {
    client.reset();
    serving.reset();
    EXPECT_EQ(DispatchObject::living(), living_) << "DispatchObjects left alive";
  }

  // The same design running in both worlds; the second one served and driven through COM.
  void start(const std::string& progId, const std::string& design = kBoard) {
    direct = runDesign(directWorld, dir, progId, design);
    served = runDesign(servedWorld, dir, progId, design);
    serve(progId);
  }
  void serve(const std::string& progId) {
    serving = std::make_unique<ServedPads>(served);
    client = platform::win::comPads(serving->application(), progId);
  }

  // The script run on both: the same answers, the same log, the same design saved.
  void expectSameRun(const Script& script) {
    Transcript directAnswers, servedAnswers;
    script(*direct, directAnswers);
    script(*client, servedAnswers);
    expectSameLines(servedAnswers.lines, directAnswers.lines, "answers");
    expectSameLines(served->takeLog(), direct->takeLog(), "pads log");
    direct->saveDesign(dir.path("direct.json"));
    served->saveDesign(dir.path("served.json"));
    const std::string saved = readBytes(dir / "direct.json");
    EXPECT_NE(saved, "");
    expectSameLines(linesOf(readBytes(dir / "served.json")), linesOf(saved), "saved design");
  }

  ComApartment apartment_;
  long living_ = DispatchObject::living();
  ScratchDir dir{"served-pads"};
  sim::World directWorld, servedWorld;
  std::shared_ptr<sim::SimPads> direct, served;
  std::unique_ptr<ServedPads> serving;
  std::shared_ptr<pads::Application> client;
};

TEST_F(ServedPadsTest, EveryFieldReadsAsTheProgramGivesIt) {
  for (const char* progId : {pads::kLogicProgId, pads::kLayoutProgId}) {
    SCOPED_TRACE(progId);
    start(progId);
    expectSameRun(readEverything);
    client.reset();
    serving.reset();
  }
}

TEST_F(ServedPadsTest, EveryChangeIsMadeAndLoggedOnce) {
  for (const char* progId : {pads::kLayoutProgId, pads::kRouterProgId}) {
    SCOPED_TRACE(progId);
    start(progId);
    expectSameRun([](pads::Application& app, Transcript& t) {
      changeEverything(app, t);
      readEverything(app, t);
    });
    client.reset();
    serving.reset();
  }
}

TEST_F(ServedPadsTest, MacrosRunAndDesignsOpenByPath) {
  start(pads::kLogicProgId);
  const std::string macro = dir.write("bom.bas", "Sub MACRO1\r\n  ' 元件\r\nEnd Sub\r\n");
  const std::string second = dir.write("second.sch", R"({"name": "second.sch", "parts": [{"name": "U7"}]})");
  expectSameRun([&](pads::Application& app, Transcript& t) {
    t("RunMacro", [&] { app.runMacro(macro, "MACRO1"); });
    t("RunMacro of a missing file", [&] { app.runMacro(dir.path("none.bas"), "MACRO1"); });
    t("OpenDocument", [&] { app.openDocument(second); });
    t("opened", [&] { return app.activeDocument().name() + " " + shown(app.activeDocument().components()); });
    t("OpenDocument of a missing file", [&] { app.openDocument(dir.path("none.sch")); });
    t("still open", [&] { return app.activeDocument().name(); });
  });
}

TEST_F(ServedPadsTest, FaultsOfTheProgramReachTheClientWithTheirNumbersAndTexts) {
  struct Case {
    const char* what;
    std::function<void(sim::Faults&)> set;
    Script script;
  };
  const std::string progId = pads::kLayoutProgId;
  const std::vector<Case> cases{
      {"a refused attribute add: only the old value is taken back",
       [&](sim::Faults& f) { f.refuseChangedAdds(progId); },
       [](pads::Application& app, Transcript& t) {
         pads::Part* u1 = app.activeDocument().component("U1");
         t("Delete", [&] { u1->deleteAttribute("Value"); });
         t("Add changed", [&] { u1->addAttribute("Value", "STM32F4"); });
         t("after refusal", [&] { return u1->attribute("Value") == nullptr; });
         t("Add old", [&] { u1->addAttribute("Value", "STM32"); });
         t("Add new name", [&] { u1->addAttribute("Farnell", "123"); });
         t("after", [&] { return u1->attribute("Value")->value(); });
       }},
      {"a refused rename, once", [&](sim::Faults& f) { f.set(progId, "Name", 1); },
       [](pads::Application& app, Transcript& t) {
         pads::Part* u1 = app.activeDocument().component("U1");
         t("rename", [&] { u1->rename("U2"); });
         t("rename again", [&] { u1->rename("U3"); });
         t("name", [&] { return u1->name(); });
       }},
      {"reads and calls that fail twice",
       [&](sim::Faults& f) {
         for (const char* member : {"Components", "Attributes", "SetScale", "ModelessCmd", "Gates", "GetObjects"})
           f.set(progId, member, 2);
       },
       [](pads::Application& app, Transcript& t) {
         pads::Design& d = app.activeDocument();
         for (int round = 1; round <= 3; ++round) {
           t("Components.Count", [&] { return d.componentCount(); });
           t("Components(C3)", [&] { return d.component("C3")->name(); });
           t("Attributes(Value)", [&] { return d.components().back()->attribute("Value")->value(); });
           t("SetScale", [&] { d.activeView().setScale(round); });
           t("ModelessCmd", [&] { app.modelessCmd("ss C3"); });
           t("Gates(1)", [&] { return d.components().front()->gate(1)->positionX(); });
           t("GetObjects", [&] { return d.getParts("", false); });
         }
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    directWorld.faults.clear();
    servedWorld.faults.clear();
    start(progId);
    c.set(directWorld.faults);
    c.set(servedWorld.faults);
    expectSameRun(c.script);
    client.reset();
    serving.reset();
  }
}

TEST_F(ServedPadsTest, WithoutADesignActiveDocumentIsNothingAndError91) {
  served = servedWorld.programs.runPads(pads::kLayoutProgId);
  serve(pads::kLayoutProgId);
  EXPECT_TRUE(serving->application().getObject("ActiveDocument").empty());
  EXPECT_FALSE(client->hasDocument());
  expectError([&] { client->activeDocument(); }, vb::kObjectNotSet, "No design is open in PowerPCB.Application");

  client->openDocument(dir.write("board.pcb", kBoard));
  EXPECT_TRUE(client->hasDocument());
  EXPECT_EQ(client->activeDocument().name(), "every.pcb");
  EXPECT_EQ(served->takeLog(), (std::vector<std::string>{"OpenDocument " + dir.path("board.pcb")}));
}

TEST_F(ServedPadsTest, TheApplicationAndTheActiveDocumentStayTheSameObjects) {
  start(pads::kLayoutProgId);
  Automation app = serving->application();
  EXPECT_TRUE(app.sameObject(serving->application()));
  Automation document = app.getObject("ActiveDocument");
  EXPECT_TRUE(document.sameObject(app.getObject("ActiveDocument")));
  EXPECT_EQ(document.get(""), vb::Variant("every.pcb"));

  // Another design opened: another document; the one held still reads its own design.
  app.call("OpenDocument", {dir.write("other.pcb", R"({"name": "other.pcb"})")});
  Automation other = app.getObject("ActiveDocument");
  EXPECT_FALSE(other.sameObject(document));
  EXPECT_EQ(other.get(""), vb::Variant("other.pcb"));
  EXPECT_EQ(document.get(""), vb::Variant("every.pcb"));
  EXPECT_EQ(serving->program(), served);
}

TEST_F(ServedPadsTest, CollectionsCountAndHandOutItemsFromOne) {
  start(pads::kLayoutProgId);
  Automation document = serving->application().getObject("ActiveDocument");
  Automation nets = document.getObject("Nets");
  EXPECT_EQ(nets.get("Count"), vb::Variant(2L));
  EXPECT_EQ(nets.getObject("Item", 2).get("Name"), vb::Variant("VCC"));
  expectError([&] { nets.getObject("Item", 3); }, vb::kSubscript);
  expectError([&] { nets.getObject("Item", 0); }, vb::kSubscript);
  EXPECT_EQ(document.getObject("Layers").get("Count"), vb::Variant(3L));
  EXPECT_EQ(document.getObject("Vias").get("Count"), vb::Variant(1L));
  expectError([&] { document.getObject("Vias").getObject("Item", 1); }, platform::win::kNoSuchMember);
  Automation c3 = document.getObject("Components", "C3");
  EXPECT_EQ(c3.getObject("Pins").getObject("Item", 2).get(""), vb::Variant("C3.2"));
  EXPECT_EQ(c3.getObject("Labels").getObject("Item", 1).get(""), vb::Variant("Value"));
  EXPECT_EQ(c3.getObject("Attributes", "Value").get(""), vb::Variant("100nF"));

  // What the PADS interface cannot ask is an invalid call, and nothing changes.
  using platform::win::Arg;
  expectError([&] { document.call("GetObjects", {2, "V*", false}); }, vb::kInvalidCall);
  expectError([&] { document.call("GetObjects", {3, Arg::missing(), false}); }, vb::kInvalidCall);
  expectError([&] { document.call("SelectObjects", {1, "C*", true}); }, vb::kInvalidCall);
  expectError([&] { document.call("SelectObjects", {Arg::missing(), Arg::missing(), true}); }, vb::kInvalidCall);
  EXPECT_TRUE(served->takeLog().empty());
}

TEST_F(ServedPadsTest, ObjectsHeldAfterTheProgramHasGoneFailTheirCalls) {
  sim::Faults faults;
  sim::SimFiles files{faults};
  auto program = sim::makeSimPads(pads::kLayoutProgId, faults, files);
  program->openDocument(dir.write("board.pcb", kBoard));
  serving = std::make_unique<ServedPads>(std::move(program));
  Automation app = serving->application();
  Automation document = app.getObject("ActiveDocument");
  Automation parts = document.getObject("Components");
  Automation part = parts.getObject("Item", 1);
  Automation attribute = part.getObject("Attributes", "Value");
  EXPECT_EQ(part.get("Name"), vb::Variant("U1"));

  serving.reset();  // the program goes with it
  const int disconnected = static_cast<int>(RPC_E_DISCONNECTED);
  expectError([&] { app.get("Visible"); }, disconnected, "The object invoked has disconnected from its clients.");
  expectError([&] { document.get(""); }, disconnected);
  expectError([&] { parts.getObject("Item", 2); }, disconnected);
  expectError([&] { part.put("Name", "U2"); }, disconnected);
  expectError([&] { attribute.get(""); }, disconnected);
}

TEST_F(ServedPadsTest, AHundredThousandPartsAreReadInOnePass) {
  formats::DesignData big;
  big.name = "big.pcb";
  for (int i = 1; i <= 100000; ++i) {
    formats::PartData p;
    p.name = "R" + std::to_string(i);
    p.attributes = {{"Value", std::to_string(i % 100) + "K"}};
    big.parts.push_back(std::move(p));
  }
  served = runDesign(servedWorld, dir, pads::kLayoutProgId, formats::formatDesign(big));
  serve(pads::kLayoutProgId);

  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  pads::Design& d = client->activeDocument();
  std::vector<pads::Part*> parts = d.components();
  const double listed = std::chrono::duration<double>(Clock::now() - started).count();
  ASSERT_EQ(parts.size(), 100000u);
  long named = 0;
  for (size_t i = 0; i < parts.size(); ++i) named += parts[i]->name() == "R" + std::to_string(i + 1);
  EXPECT_EQ(named, 100000);
  EXPECT_EQ(parts[4710]->attribute("Value")->value(), "11K");
  EXPECT_EQ(d.componentCount(), 100000);
  const double total = std::chrono::duration<double>(Clock::now() - started).count();
  std::printf("100,000 parts through COM: Count and Item in %.2f s, with every Name read %.2f s\n", listed, total);
  // A pass that asked the program again for each Item would take minutes.
  EXPECT_LT(total, 20.0);
}

}  // namespace
