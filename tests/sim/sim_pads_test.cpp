#include "sim/sim_pads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/pads.h"
#include "sim/design_file_io.h"
#include "sim/sim_programs.h"
#include "support/every_field_design.h"
#include "support/scratch_dir.h"
#include "vb/error.h"

namespace {

namespace fs = std::filesystem;
namespace pads = platform::pads;
using testing_support::readBytes;
using testing_support::ScratchDir;

const std::string kFixtures = VELMORA_SOURCE_DIR "/tests/sim/fixtures/";

// The error a call raises; a call that raises none fails the test.
vb::Error errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const vb::Error& e) {
    return e;
  }
  ADD_FAILURE() << "the call raised no error";
  return vb::Error(0, "");
}

std::vector<std::string> partNames(pads::Design& d) {
  std::vector<std::string> names;
  for (auto* p : d.components()) names.push_back(p->name());
  return names;
}

class SimPadsTest : public ::testing::Test {
 protected:
  std::shared_ptr<sim::SimPads> start(const std::string& progId = pads::kLayoutProgId) {
    return sim::makeSimPads(progId, faults_, files_);
  }
  std::shared_ptr<sim::SimPads> open(const std::string& file, const std::string& progId = pads::kLayoutProgId) {
    auto app = start(progId);
    app->openDocument(file);
    app->takeLog();
    return app;
  }

  sim::Faults faults_;
  sim::SimFiles files_{faults_};
  ScratchDir dir_{"pads"};
};

TEST_F(SimPadsTest, StartedProgramIsInvisibleWithoutDesign) {
  sim::World world;
  auto app = world.programs.startPads("powerpcb.application");
  EXPECT_EQ(app->progId(), "PowerPCB.Application");
  EXPECT_FALSE(app->visible());
  EXPECT_FALSE(app->hasDocument());
  EXPECT_EQ(errorOf([&] { app->activeDocument(); }).number(), vb::kObjectNotSet);
  EXPECT_EQ(errorOf([&] { world.programs.pads(pads::kLayoutProgId)->saveDesign(dir_.path("x.pcb")); }).number(),
            vb::kObjectNotSet);
  app->setVisible(true);
  EXPECT_TRUE(app->visible());
}

TEST_F(SimPadsTest, OpenedDesignIsActiveAndNamed) {
  auto app = start();
  app->openDocument(kFixtures + "layout.pcb");
  ASSERT_TRUE(app->hasDocument());
  EXPECT_EQ(app->activeDocument().name(), "demo.pcb");  // the "name" field, not the file's name
  auto heldParts = app->activeDocument().components();

  // Without a "name" the file's base name names it, also for a path written with "\".
  std::string systemPath = kFixtures + "logic.sch";
  std::replace(systemPath.begin(), systemPath.end(), '/', '\\');
  app->openDocument(systemPath);
  EXPECT_EQ(app->activeDocument().name(), "logic.sch");
  EXPECT_EQ(partNames(app->activeDocument()), (std::vector<std::string>{"U1", "R10"}));
  EXPECT_EQ(heldParts[0]->name(), "R1");  // objects of the replaced design stay valid
}

TEST_F(SimPadsTest, CollectionsKeepFileOrder) {
  auto app = open(kFixtures + "layout.pcb");
  auto& d = app->activeDocument();
  EXPECT_EQ(partNames(d), (std::vector<std::string>{"R1", "C7", "U3", "X1"}));
  EXPECT_EQ(d.componentCount(), 4);
  std::vector<std::string> jumpers;
  for (auto* j : d.jumpers()) jumpers.push_back(j->name());
  EXPECT_EQ(jumpers, (std::vector<std::string>{"W2", "W1", "W3"}));
  EXPECT_EQ(d.jumperCount(), 3);
  // The same objects each time.
  EXPECT_EQ(d.components(), d.components());

  auto emptyApp = open(kFixtures + "empty.pcb");
  auto& empty = emptyApp->activeDocument();
  EXPECT_EQ(empty.name(), "empty.pcb");
  EXPECT_EQ(empty.componentCount(), 0);
  EXPECT_TRUE(empty.components().empty());
  EXPECT_EQ(empty.jumperCount(), 0);
  EXPECT_TRUE(empty.jumpers().empty());
}

TEST_F(SimPadsTest, PartFieldsAsTheFileGivesThem) {
  struct Expected {
    std::string name, partType, decal;
    long pins;
    int layer;
    double orientation, x, y, centerX, centerY;
    bool smd, glued;
  };
  const std::vector<Expected> expected = {
      {"R1", "RES-0603", "R0603", 2, 1, 90, 12.5, 3.25, 13, 3.5, true, false},  // pins as a count
      {"C7", "CAP", "C0402", 2, 2, 180, -1.5, 40, -1.25, 40.5, true, true},     // pins as a list
      {"U3", "MCU", "QFN-3", 3, 1, 45.5, 100, 200, 101, 201, false, false},
      {"X1", "", "", 0, 0, 0, 0, 0, 0, 0, false, false},  // nothing but a name: plain defaults
  };
  auto app = open(kFixtures + "layout.pcb");
  auto parts = app->activeDocument().components();
  ASSERT_EQ(parts.size(), expected.size());
  for (size_t i = 0; i < parts.size(); ++i) {
    const auto& e = expected[i];
    const auto* p = parts[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(p->name(), e.name);
    EXPECT_EQ(p->partType(), e.partType);
    EXPECT_EQ(p->decal(), e.decal);
    EXPECT_EQ(p->pcbDecal(), "");
    EXPECT_EQ(p->pinCount(), e.pins);
    EXPECT_EQ(p->layer(), e.layer);
    EXPECT_EQ(p->orientation(), e.orientation);
    EXPECT_EQ(p->positionX(), e.x);
    EXPECT_EQ(p->positionY(), e.y);
    EXPECT_EQ(p->centerX(), e.centerX);
    EXPECT_EQ(p->centerY(), e.centerY);
    EXPECT_EQ(p->isSMD(), e.smd);
    EXPECT_EQ(p->glued(), e.glued);
  }
  auto logicApp = open(kFixtures + "logic.sch", pads::kLogicProgId);
  auto logic = logicApp->activeDocument().components();
  EXPECT_EQ(logic[0]->pcbDecal(), "SOIC8");
  EXPECT_EQ(logic[0]->pinCount(), 8);
  EXPECT_EQ(logic[1]->pcbDecal(), "R0805");
}

TEST_F(SimPadsTest, AttributesAreLookedUpByExactName) {
  auto app = open(kFixtures + "layout.pcb");
  auto parts = app->activeDocument().components();
  const pads::Part& r1 = *parts[0];
  ASSERT_NE(r1.attribute("Value"), nullptr);
  EXPECT_EQ(r1.attribute("Value")->value(), "10K");
  EXPECT_EQ(r1.attribute("Value")->name(), "Value");
  EXPECT_EQ(r1.attribute("Tolerance")->value(), "1%");
  EXPECT_EQ(r1.attribute("Value"), r1.attribute("Value"));  // one object per attribute
  EXPECT_EQ(r1.attribute("value"), nullptr);
  EXPECT_EQ(r1.attribute("Value "), nullptr);
  EXPECT_EQ(r1.attribute(""), nullptr);
  EXPECT_EQ(r1.attribute("Part Type"), nullptr);
  EXPECT_EQ(parts[1]->attribute("Value")->value(), "0402");  // text stays text
  EXPECT_EQ(parts[2]->attribute("Value"), nullptr);          // an empty attribute object
  EXPECT_EQ(parts[3]->attribute("Value"), nullptr);          // no attributes at all
}

TEST_F(SimPadsTest, LayerNamesAndJumpers) {
  auto app = open(kFixtures + "layout.pcb");
  auto& d = app->activeDocument();
  EXPECT_EQ(d.layerName(1), "Top");
  EXPECT_EQ(d.layerName(2), "Bottom");
  EXPECT_EQ(d.layerName(4), "Inner 4");
  for (int unnamed : {0, 3, -1, 99}) EXPECT_EQ(d.layerName(unnamed), "") << unnamed;

  auto jumpers = d.jumpers();
  EXPECT_EQ(jumpers[0]->length(), 2.54);
  EXPECT_EQ(jumpers[0]->orientation(), 90);
  EXPECT_EQ(jumpers[0]->netName(), "GND");
  EXPECT_EQ(jumpers[1]->netName(), "VCC");
  EXPECT_EQ(jumpers[2]->length(), 0);
  EXPECT_EQ(jumpers[2]->netName(), "");
}

TEST_F(SimPadsTest, SavedDesignHoldsWhatTheFileHeld) {
  auto file = dir_.path("every.pcb");
  sim::writeDesignFile(testing_support::everyFieldDesign(), file);
  for (const std::string& source : {kFixtures + "layout.pcb", kFixtures + "logic.sch", file}) {
    SCOPED_TRACE(source);
    auto app = open(source);
    app->saveDesign(dir_.path("saved.pcb"));
    EXPECT_EQ(sim::readDesignFile(dir_.path("saved.pcb")), sim::readDesignFile(source));
  }
}

TEST_F(SimPadsTest, SaveFailuresAreError75) {
  auto app = open(kFixtures + "layout.pcb");
  auto missingFolder = dir_.path("no-such-folder/out.pcb");
  auto e = errorOf([&] { app->saveDesign(missingFolder); });
  EXPECT_EQ(e.number(), vb::kPathAccess);
  EXPECT_NE(e.description().find(missingFolder), std::string::npos) << e.description();

  faults_.failWrites(dir_.path("refused.pcb"));
  EXPECT_EQ(errorOf([&] { app->saveDesign(dir_.path("refused.pcb")); }).number(), vb::kPathAccess);
  EXPECT_FALSE(fs::exists(dir_.path("refused.pcb")));
}

TEST_F(SimPadsTest, MissingFileIsError53NamingIt) {
  auto app = open(kFixtures + "layout.pcb");
  for (const std::string& missing : {dir_.path("nothing.pcb"), std::string(), dir_.dir().string()}) {
    auto e = errorOf([&] { app->openDocument(missing); });
    EXPECT_EQ(e.number(), vb::kFileNotFound) << missing;
    EXPECT_NE(e.description().find("\"" + missing + "\""), std::string::npos) << e.description();
  }
  EXPECT_EQ(app->activeDocument().name(), "demo.pcb");  // the open design stays
}

TEST_F(SimPadsTest, BadFilesAreError1004SayingWhatIsWrong) {
  struct Case {
    std::string text, message;  // message: the description after the file's name
  };
  const std::vector<Case> cases = {
      {"", "the file is empty"},
      {" \r\n\t", "the file is empty"},
      {"R1 R2", "not JSON: parse error at line 1, column 1"},
      {"{\"parts\": [{\"name\": \"R1\"", "not JSON: parse error at line 1, column 25"},
      {"{\"name\": \"a\xff\"}", "not JSON: parse error"},
      {std::string(100000, '['), "not JSON: parse error"},
      {"[]", "the design must be an object, not []"},
      {"\"demo\"", "the design must be an object, not \"demo\""},
      {R"({"name": 5})", "name must be text, not 5"},
      {R"({"unit": ["Mil"]})", "unit must be text, not [\"Mil\"]"},
      {R"({"gridX": "5"})", "gridX must be a number, not \"5\""},
      {R"({"electricalLayerCount": -2})", "electricalLayerCount must be a whole number, 0 or more, not -2"},
      {R"({"layers": {"top": "Top"}})", "layers.top is not a layer number"},
      {R"({"layers": {"1x": "Top"}})", "layers.1x is not a layer number"},
      {R"({"layers": {"1": 2}})", "layers.1 must be text, not 2"},
      {R"({"layers": ["Top"]})", "layers must be an object, not [\"Top\"]"},
      {R"({"parts": {}})", "parts must be a list, not {}"},
      {R"({"parts": [1]})", "parts[0] must be an object, not 1"},
      {R"({"parts": [{}, {"x": "12"}]})", "parts[1].x must be a number, not \"12\""},
      {R"({"parts": [{"layer": "top"}]})", "parts[0].layer must be a whole number, not \"top\""},
      {R"({"parts": [{"layer": 1.5}]})", "parts[0].layer must be a whole number, not 1.5"},
      {R"({"parts": [{"layer": 1e20}]})", "parts[0].layer must be a whole number from -2147483648 to 2147483647"},
      {R"({"parts": [{"layer": 3000000000}]})", "parts[0].layer must be a whole number from"},
      {R"({"parts": [{"x": 1e400}]})", "number overflow parsing '1e400'"},
      {R"({"parts": [{"smd": "yes"}]})", "parts[0].smd must be true or false, not \"yes\""},
      {R"({"parts": [{"glued": 1}]})", "parts[0].glued must be true or false, not 1"},
      {R"({"parts": [{"attributes": {"Value": 10}}]})", "parts[0].attributes.Value must be text, not 10"},
      {R"({"parts": [{"attributes": ["Value"]}]})", "parts[0].attributes must be an object"},
      {R"({"parts": [{"pins": -1}]})", "parts[0].pins must be a whole number, 0 or more, not -1"},
      {R"({"parts": [{"pins": 2.5}]})", "parts[0].pins must be a whole number, not 2.5"},
      {R"({"parts": [{"pins": "4"}]})", "parts[0].pins must be a list or a count, not \"4\""},
      {R"({"parts": [{"pins": [{}, 1]}]})", "parts[0].pins[1] must be an object, not 1"},
      {R"({"parts": [{"gates": [{"visibility": [1,2,3,4,5,6,7,8,9]}]}]})",
       "parts[0].gates[0].visibility must hold at most 8 numbers"},
      {R"({"parts": [{"gates": [{"visibility": [0, "1"]}]}]})",
       "parts[0].gates[0].visibility[1] must be a whole number, not \"1\""},
      {R"({"parts": [{"gates": [{"sheet": 1}]}]})", "parts[0].gates[0].sheet must be text, not 1"},
      {R"({"parts": [{"labels": [{"display": "on"}]}]})", "parts[0].labels[0].display must be a whole number"},
      {R"({"jumpers": [{"length": "x"}]})", "jumpers[0].length must be a number, not \"x\""},
      {R"({"nets": [{"name": 1}]})", "nets[0].name must be text, not 1"},
      {R"({"vias": "many"})", "vias must be a list or a count, not \"many\""},
      {R"({"parts": [{"name": ")" + std::string(100, 'x') + R"("}], "name": 1})", "name must be text, not 1"},
      {R"({"name": [")" + std::string(100, 'x') + R"("]})", "name must be text, not [\"xxxxxxxxx"},
  };
  auto app = open(kFixtures + "layout.pcb");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 80));
    auto file = dir_.write("bad.pcb", c.text);
    auto e = errorOf([&] { app->openDocument(file); });
    EXPECT_EQ(e.number(), vb::kAppDefined);
    const std::string head = "Bad design file \"" + file + "\": ";
    EXPECT_EQ(e.description().substr(0, head.size() + c.message.size()), head + c.message) << e.description();
    EXPECT_LT(e.description().size(), 400u);  // long values are shortened
  }
  EXPECT_EQ(app->activeDocument().name(), "demo.pcb");  // a bad file leaves the open design active
}

TEST_F(SimPadsTest, FaultedMembersFailTheirNextCalls) {
  using Call = std::function<void(sim::SimPads&)>;
  auto part = [](sim::SimPads& app) { return app.activeDocument().components()[0]; };
  auto jumper = [](sim::SimPads& app) { return app.activeDocument().jumpers()[0]; };
  const std::string file = kFixtures + "layout.pcb";
  const std::vector<std::pair<std::string, Call>> cases = {
      {"ActiveDocument", [](sim::SimPads& a) { a.activeDocument(); }},
      {"OpenDocument", [&](sim::SimPads& a) { a.openDocument(file); }},
      {"Visible", [](sim::SimPads& a) { a.setVisible(true); }},
      {"Components", [](sim::SimPads& a) { a.activeDocument().components(); }},
      {"Components", [](sim::SimPads& a) { a.activeDocument().componentCount(); }},
      {"Jumpers", [](sim::SimPads& a) { a.activeDocument().jumpers(); }},
      {"Jumpers", [](sim::SimPads& a) { a.activeDocument().jumperCount(); }},
      {"LayerName", [](sim::SimPads& a) { a.activeDocument().layerName(1); }},
      {"Attributes", [&](sim::SimPads& a) { part(a)->attribute("Value"); }},
      {"PartType", [&](sim::SimPads& a) { part(a)->partType(); }},
      {"PCBDecal", [&](sim::SimPads& a) { part(a)->pcbDecal(); }},
      {"Decal", [&](sim::SimPads& a) { part(a)->decal(); }},
      {"Pins", [&](sim::SimPads& a) { part(a)->pinCount(); }},
      {"layer", [&](sim::SimPads& a) { part(a)->layer(); }},
      {"Orientation", [&](sim::SimPads& a) { part(a)->orientation(); }},
      {"PositionX", [&](sim::SimPads& a) { part(a)->positionX(); }},
      {"PositionY", [&](sim::SimPads& a) { part(a)->positionY(); }},
      {"CenterX", [&](sim::SimPads& a) { part(a)->centerX(); }},
      {"CenterY", [&](sim::SimPads& a) { part(a)->centerY(); }},
      {"IsSMD", [&](sim::SimPads& a) { part(a)->isSMD(); }},
      {"Glued", [&](sim::SimPads& a) { part(a)->glued(); }},
      {"Length", [&](sim::SimPads& a) { jumper(a)->length(); }},
      {"Orientation", [&](sim::SimPads& a) { jumper(a)->orientation(); }},
      {"Net", [&](sim::SimPads& a) { jumper(a)->netName(); }},
  };
  for (const auto& [member, call] : cases) {
    SCOPED_TRACE(member);
    auto app = open(file);
    faults_.set("powerpcb.application", member, 2);  // the scope ignores letter case
    for (int failing = 0; failing < 2; ++failing) {
      auto e = errorOf([&] { call(*app); });
      EXPECT_EQ(e.number(), vb::kAppDefined);
      EXPECT_EQ(e.description(), "Automation error: " + member + " failed");
    }
    EXPECT_NO_THROW(call(*app));
    EXPECT_FALSE(faults_.any());
  }
}

TEST_F(SimPadsTest, FaultsHoldForTheirProgramAndMemberOnly) {
  auto layout = open(kFixtures + "layout.pcb");
  auto logic = open(kFixtures + "logic.sch", pads::kLogicProgId);
  faults_.set(pads::kLogicProgId, "Components");
  faults_.set(pads::kLayoutProgId, "Name");  // meant for a rename: reading names still works
  EXPECT_EQ(errorOf([&] { logic->activeDocument().components(); }).number(), vb::kAppDefined);
  EXPECT_EQ(errorOf([&] { logic->activeDocument().components(); }).number(), vb::kAppDefined);
  EXPECT_EQ(partNames(layout->activeDocument()), (std::vector<std::string>{"R1", "C7", "U3", "X1"}));
  EXPECT_EQ(layout->activeDocument().name(), "demo.pcb");

  // A failed open opens nothing.
  auto fresh = start();
  faults_.set(pads::kLayoutProgId, "OpenDocument", 1);
  EXPECT_EQ(errorOf([&] { fresh->openDocument(kFixtures + "layout.pcb"); }).number(), vb::kAppDefined);
  EXPECT_FALSE(fresh->hasDocument());
  faults_.clear();
  EXPECT_EQ(logic->activeDocument().componentCount(), 2);
}

TEST_F(SimPadsTest, LogListsTheCallsSinceTheLastTake) {
  auto app = start();
  auto other = start(pads::kLogicProgId);
  const std::string file = kFixtures + "layout.pcb";
  app->setVisible(true);
  app->openDocument(file);
  other->setVisible(true);
  EXPECT_EQ(app->takeLog(), (std::vector<std::string>{"Visible True", "OpenDocument " + file}));
  EXPECT_TRUE(app->takeLog().empty());

  // Calls that fail are calls made all the same; an empty argument is written "".
  errorOf([&] { app->openDocument(""); });
  faults_.set(pads::kLayoutProgId, "Visible", 1);
  errorOf([&] { app->setVisible(false); });
  EXPECT_TRUE(app->visible());
  app->activeDocument().components();  // reads are not logged
  EXPECT_EQ(app->takeLog(), (std::vector<std::string>{"OpenDocument \"\"", "Visible False"}));
  EXPECT_EQ(other->takeLog(), (std::vector<std::string>{"Visible True"}));
}

// What a selection leaves in the design as "pads save" writes it: SelectObjects clears parts,
// gates and jumpers; the search command "ss" selects a part without a call of its own.
TEST_F(SimPadsTest, SelectionStateIsSavedWithTheDesign) {
  const std::string file = dir_.write("sel.pcb", R"({"name": "sel.pcb", "parts": [
      {"name": "R1", "selected": true, "gates": [{"name": "A", "sheet": "S1", "selected": true}]},
      {"name": "R2"}], "jumpers": [{"name": "W1", "selected": true}, {"name": "W2"}]})");
  auto app = open(file);
  pads::Design& d = app->activeDocument();
  d.clearSelection();
  d.jumper("W2")->setSelected(true);
  app->modelessCmd("ss R2");
  app->modelessCmd("ss R9");
  EXPECT_EQ(d.jumper("W9"), nullptr);
  EXPECT_EQ(d.component("R1")->gate(2), nullptr);
  EXPECT_EQ(app->takeLog(), (std::vector<std::string>{"SelectObjects , , False", "W2.Selected True",
                                                      "ModelessCmd \"ss R2\"", "ModelessCmd \"ss R9\""}));
  app->saveDesign(dir_.path("saved.pcb"));
  formats::DesignData saved = sim::readDesignFile(dir_.path("saved.pcb"));
  EXPECT_FALSE(saved.parts[0].selected);
  EXPECT_FALSE(saved.parts[0].gates[0].selected);
  EXPECT_TRUE(saved.parts[1].selected);
  EXPECT_FALSE(saved.jumpers[0].selected);
  EXPECT_TRUE(saved.jumpers[1].selected);
  // A fit gives the zoom the scale is computed from; a scale set becomes the zoom.
  pads::View& view = d.activeView();
  view.setScale(25);
  EXPECT_EQ(view.zoom(), 25);
  view.setExtentsToSelection();
  EXPECT_EQ(view.zoom(), 1000);
}

// The assistant's lookups: nets, pins by "PART.PIN", decals that select their parts,
// GetObjects by pattern and selection, renames (a name in use is refused), and the
// calls a session checks in the log.
TEST_F(SimPadsTest, NetsPinsDecalsAndPartQueries) {
  const std::string file = dir_.write("q.pcb", R"({"name": "q.pcb", "unit": "Mil",
      "parts": [{"name": "R1", "decal": "R0603", "pins": [{"name": "1", "x": 5, "y": 6}],
                 "gates": [{"name": "A", "sheet": "S2"}]},
                {"name": "R2", "decal": "R0603"}, {"name": "C1", "decal": "C0603"}],
      "nets": [{"name": "GND", "length": 12}], "vias": 3})");
  auto app = open(file);
  pads::Design& d = app->activeDocument();
  EXPECT_EQ(d.net("GND")->length(), 12);
  EXPECT_EQ(d.net("VCC"), nullptr);
  EXPECT_EQ(d.pin("R1.1")->positionX(), 5);
  EXPECT_EQ(d.pin("R1.2"), nullptr);
  EXPECT_EQ(d.pin("R9.1"), nullptr);
  EXPECT_EQ(d.decalObject("SOT23"), nullptr);
  EXPECT_EQ(d.viaCount(), 3);
  EXPECT_EQ(d.unit(), pads::Unit::Mil);

  d.decalObject("R0603")->setSelected(true);
  std::vector<std::string> selected;
  for (auto* p : d.getParts("", true)) selected.push_back(p->name());
  EXPECT_EQ(selected, (std::vector<std::string>{"R1", "R2"}));
  EXPECT_EQ(d.getParts("C*", false).size(), 1u);
  d.pin("R1.1")->activateSheet();
  d.setActiveLayer("1");
  d.activeView().setExtentsToSheet();
  app->setStatusBarText("busy");
  d.selectAllParts();
  EXPECT_EQ(d.getParts("", true).size(), 3u);

  EXPECT_NE(errorOf([&] { d.component("R2")->rename("R1"); }).number(), 0);
  d.component("R2")->rename("R7");
  EXPECT_EQ(d.component("R2"), nullptr);
  EXPECT_EQ(d.component("R7")->decal(), "R0603");
  EXPECT_EQ(app->takeLog(), (std::vector<std::string>{"Decals R0603 Selected True", "Sheet.Activate S2", "ActiveLayer 1",
                                                      "SetExtentsToSheet", "StatusBarText busy", "SelectObjects 1, , True",
                                                      "R2.Name R1", "R2.Name R7"}));
}

// Label, gate-visibility and layer puts change what "pads save" writes; an index or
// layer the design lacks is an error; the router's calls are logged.
TEST_F(SimPadsTest, LabelsGateVisibilitiesLayersAndTheRouter) {
  const std::string file = dir_.write("l.pcb", R"({"name": "l.pcb", "layers": {"1": "Top", "2": "Bottom"},
      "parts": [{"name": "U1", "pins": [{"name": "1"}, {"name": "2"}],
                 "gates": [{"name": "A", "sheet": "S1"}],
                 "labels": [{"kind": "Ref.Des.", "x": 1, "y": 2}, {"kind": "Value"}]}]})");
  auto app = open(file);
  pads::Design& d = app->activeDocument();
  pads::Part& u1 = *d.component("U1");
  EXPECT_EQ(u1.pinNames(), (std::vector<std::string>{"U1.1", "U1.2"}));
  std::vector<pads::Label*> labels = u1.labels();
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[1]->kind(), "Value");
  EXPECT_EQ(labels[0]->positionY(), 2);
  labels[1]->setDisplay(1);
  labels[1]->setPositionX(7.5);
  labels[1]->setHorzJustification(2);
  u1.gate(1)->setVisibility(3, 1);
  EXPECT_EQ(errorOf([&] { u1.gate(1)->setVisibility(8, 1); }).number(), vb::kSubscript);
  EXPECT_EQ(d.layerCount(), 2);
  d.setLayerVisible(2, false);
  EXPECT_EQ(errorOf([&] { d.setLayerVisible(4, true); }).number(), vb::kObjectNotSet);
  d.setVisibility(5, 0);
  d.router().setRun(true);
  d.router().route();
  EXPECT_EQ(app->takeLog(),
            (std::vector<std::string>{"U1.Labels(2).Display 1", "U1.Labels(2).PositionX 7.5",
                                      "U1.Labels(2).HorzJustification 2", "Gates(1).Visibility 3 1",
                                      "Gates(1).Visibility 8 1", "Layers 2 Visible False", "Layers 4 Visible True",
                                      "SetVisibility 5 0", "Router.Run True", "Router.Route"}));
  app->saveDesign(dir_.path("saved.pcb"));
  formats::DesignData saved = sim::readDesignFile(dir_.path("saved.pcb"));
  EXPECT_EQ(saved.parts[0].labels[1].display, 1);
  EXPECT_EQ(saved.parts[0].labels[1].x, 7.5);
  EXPECT_EQ(saved.parts[0].gates[0].visibility[3], 1);
}

TEST_F(SimPadsTest, LargeDesignLoadsAndEnumeratesQuickly) {
  formats::DesignData big;
  big.name = "big.pcb";
  big.layers = {{1, "Top"}, {2, "Bottom"}};
  const int n = 50000;
  big.parts.reserve(n);
  for (int i = 0; i < n; ++i) {
    formats::PartData p;
    p.name = "R" + std::to_string(i + 1);
    p.partType = "RES";
    p.decal = "R0603";
    p.layer = 1 + i % 2;
    p.x = i * 0.5;
    p.pinCount = 2;
    p.attributes = {{"Value", std::to_string(i) + "K"}, {"Comment", "RES"}, {"Part Type", "RES"}};
    big.parts.push_back(std::move(p));
  }
  auto file = dir_.path("big.pcb");
  sim::writeDesignFile(big, file);

  auto started = std::chrono::steady_clock::now();
  auto app = start();
  app->openDocument(file);
  auto& d = app->activeDocument();
  double sum = 0;
  long bottoms = 0;
  for (auto* p : d.components()) {
    sum += p->positionX() + p->pinCount();
    if (d.layerName(p->layer()) == "Bottom") ++bottoms;
    if (const auto* v = p->attribute("Value")) sum += static_cast<double>(v->value().size());
    sum += p->attribute("Missing") == nullptr;
  }
  [[maybe_unused]] double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(d.componentCount(), n);
  EXPECT_EQ(bottoms, n / 2);
  EXPECT_GT(sum, 0);
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(seconds, 5.0);  // about half a second here; a quadratic step takes far longer
#endif
  EXPECT_EQ(d.components().back()->name(), "R50000");
}

}  // namespace
