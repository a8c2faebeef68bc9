#include "platform/win/com_pads.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/dispatch_object.h"
#include "vb/convert.h"
#include "support/runtime_errors.h"

using platform::win::Automation;
using platform::win::ComApartment;
using platform::win::ComRef;
using platform::win::DispatchCall;
using platform::win::DispatchObject;
using vb::Variant;
namespace pads = platform::pads;

namespace {

// A PADS program of our own, served through IDispatch as the real one is: an Application
// whose ActiveDocument holds parts (with attributes, gates, labels and pins), nets, layers,
// a view and a router. Calls that change something, and the look-ups worth checking, are
// logged as "Object.Member(arguments)" or "Object.Member = value"; a left-out argument
// shows as "<missing>".
class FakePads {
 public:
  using Values = std::map<std::string, Variant>;
  struct Attr {
    std::string name, value;
  };
  struct Gate {
    std::string sheet;
    double x = 0, y = 0;
    ComRef<DispatchObject> object = DispatchObject::create();
  };
  struct Label {
    std::string kind;
    Values values;
    ComRef<DispatchObject> object = DispatchObject::create();
  };
  struct Part {
    std::string name, type, decal;
    Values values;  // layer, PositionX, CenterX, IsSMD, ...
    std::vector<Attr> attrs;
    bool selected = false;
    std::vector<std::unique_ptr<Gate>> gates;
    std::vector<std::unique_ptr<Label>> labels;
    std::vector<std::string> pins;
    ComRef<DispatchObject> object = DispatchObject::create();
  };
  struct Jumper {
    std::string name, net;
    Values values;  // Length, Orientation, Selected
    ComRef<DispatchObject> object = DispatchObject::create();
  };
  struct Net {
    std::string name;
    double length = 0;
    ComRef<DispatchObject> object = DispatchObject::create();
  };

  std::vector<std::string> log;
  Values appValues{{"Visible", false}, {"DefaultFilePath", "C:\\Designs"}};
  Values docValues{{"unit", 2}, {"GridX", 25.0}, {"GridY", 50.0}, {"ElectricalLayerCount", 4}};
  std::map<long, std::string> layers{{1, "Top"}, {2, "Inner 2"}, {3, "Inner 3"}, {4, "Bottom"}};
  std::string docName = "board.pcb";
  bool open = true;
  std::vector<std::unique_ptr<Part>> parts;
  std::vector<std::unique_ptr<Net>> nets;
  std::vector<std::unique_ptr<Jumper>> jumpers;
  ComRef<DispatchObject> app = DispatchObject::create();
  ComRef<DispatchObject> doc = DispatchObject::create();
  ComRef<DispatchObject> view = DispatchObject::create();
  ComRef<DispatchObject> router = DispatchObject::create();

  // logic: PADS Logic has RunMacro; PADS Layout has ModelessCmd instead.
  explicit FakePads(bool logic) {
    for (const char* n : {"Visible", "DefaultFilePath"}) values(*app.get(), "Application", appValues, n);
    app->property("ActiveDocument", [this](DispatchCall& c) {
      c.returnObject(open ? doc->automation() : Automation());
      return Variant();
    });
    app->method("OpenDocument", logged("Application", [this](DispatchCall& c) {
                  std::string path = c.arg(0).text();
                  if (path.find("missing") != std::string::npos)
                    vb::raise(vb::kAppDefined, "Automation error: cannot open " + path);
                  open = true;
                  docName = path.substr(path.find_last_of('\\') + 1);
                  return Variant();
                }));
    app->property("StatusBarText", {}, logged("Application", nothing()));
    app->method(logic ? "RunMacro" : "ModelessCmd", logged("Application", nothing()));

    doc->property("Name", [this](DispatchCall&) { return Variant(docName); });
    doc->defaultMember("Name");
    for (const char* n : {"unit", "GridX", "GridY", "ElectricalLayerCount"}) values(*doc.get(), "Document", docValues, n);
    doc->property("ActiveLayer", {}, logged("Document", nothing()));
    doc->property("Components", [this](DispatchCall& c) {
      std::vector<Automation> items;
      for (auto& p : parts) items.push_back(p->object->automation());
      return byName(c, items, [this](size_t i) { return parts[i]->name; });
    });
    doc->property("Nets", [this](DispatchCall& c) {
      std::vector<Automation> items;
      for (auto& n : nets) items.push_back(n->object->automation());
      return byName(c, items, [this](size_t i) { return nets[i]->name; });
    });
    doc->property("Layers", [this](DispatchCall& c) {
      if (c.count() == 0) {
        c.returnObject(collection(std::vector<Automation>(layers.size())));
        return Variant();
      }
      Variant key = c.arg(0);
      for (const auto& [number, name] : layers)
        if ((key.isNumber() && key.number() == number) || (key.isText() && key.text() == name)) {
          auto layer = DispatchObject::create();
          layer->property("Visible", {}, logged("Layer(" + name + ")", nothing()));
          c.returnObject(layer->automation());
          return Variant();
        }
      c.returnObject(Automation());
      return Variant();
    });
    doc->property("Jumpers", [this](DispatchCall& c) {
      std::vector<Automation> items;
      for (auto& j : jumpers) items.push_back(j->object->automation());
      return byName(c, items, [this](size_t i) { return jumpers[i]->name; });
    });
    // Pins(name) of every part, each named "PART.PIN".
    doc->property("Pins", [this](DispatchCall& c) {
      std::vector<Automation> items;
      std::vector<std::string> names;
      for (auto& p : parts)
        for (const std::string& pin : p->pins) {
          auto po = DispatchObject::create();
          po->property("Name", [pin](DispatchCall&) { return Variant(pin); });
          po->property("PositionX", [](DispatchCall&) { return Variant(5.0); });
          po->property("PositionY", [](DispatchCall&) { return Variant(6.0); });
          po->property("Selected", {}, logged("Pin(" + pin + ")", nothing()));
          po->property("Sheet", [this, pin](DispatchCall& inner) {
            auto s = DispatchObject::create();
            s->method("Activate", logged("Sheet(of " + pin + ")", nothing()));
            inner.returnObject(s->automation());
            return Variant();
          });
          items.push_back(po->automation());
          names.push_back(pin);
        }
      return byName(c, items, [names](size_t i) { return names[i]; });
    });
    doc->property("Decals", [this](DispatchCall& c) {
      std::vector<Automation> items;
      std::vector<std::string> names;
      for (auto& p : parts) {
        auto d = DispatchObject::create();
        d->property("Name", [decal = p->decal](DispatchCall&) { return Variant(decal); });
        d->property("Selected", {}, logged("Decal(" + p->decal + ")", nothing()));
        items.push_back(d->automation());
        names.push_back(p->decal);
      }
      return byName(c, items, [names](size_t i) { return names[i]; });
    });
    doc->property("Vias", [](DispatchCall& c) {
      c.returnObject(collection(std::vector<Automation>(7)));
      return Variant();
    });
    doc->property("LayerName", [this](DispatchCall& c) { return Variant(layers.at(vb::toLong(c.arg(0)))); });
    doc->method("GetObjects", logged("Document", [this](DispatchCall& c) {
                  long type = vb::toLong(c.arg(0));
                  std::string pattern = c.has(1) ? c.arg(1).text() : "";
                  bool selectedOnly = c.arg(2).boolean();
                  std::vector<Automation> items;
                  for (auto& p : parts) {
                    if (type == 1 && (!selectedOnly || p->selected) &&
                        (pattern.empty() || p->name.starts_with(pattern.substr(0, pattern.size() - 1))))
                      items.push_back(p->object->automation());
                    if (type == 4 && p->selected)
                      for (auto& g : p->gates) items.push_back(g->object->automation());
                  }
                  if (type == 2)
                    for (auto& n : nets) items.push_back(n->object->automation());
                  c.returnObject(collection(items));
                  return Variant();
                }));
    doc->method("SelectObjects", logged("Document", [this](DispatchCall& c) {
                  bool on = c.arg(2).boolean();
                  for (auto& p : parts)
                    if (!c.has(0) || vb::toLong(c.arg(0)) == 1) p->selected = on;
                  return Variant();
                }));
    doc->method("SetVisibility", logged("Document", nothing()));
    doc->property("ActiveView", [this](DispatchCall& c) {
      c.returnObject(view->automation());
      return Variant();
    });
    doc->property("Router", [this](DispatchCall& c) {
      c.returnObject(router->automation());
      return Variant();
    });
    view->property("Zoom", [](DispatchCall&) { return Variant(1.5); });
    for (const char* m : {"SetExtentsToSelection", "SetScale", "Refresh", "SetExtents", "SetExtentsToSheet"})
      view->method(m, logged("View", nothing()));
    for (const char* p : {"Run", "Pause"}) router->property(p, {}, logged("Router", nothing()));
    for (const char* m : {"Optimize", "Route"}) router->method(m, logged("Router", nothing()));
  }

  Part& addPart(const std::string& name, const std::string& type, const std::string& decal,
                std::vector<Attr> attrs, Values values = {}) {
    parts.push_back(std::make_unique<Part>());
    Part* p = parts.back().get();
    p->name = name, p->type = type, p->decal = decal, p->attrs = std::move(attrs), p->values = std::move(values);
    p->pins = {name + ".1", name + ".2"};
    DispatchObject& o = *p->object.get();
    o.property("Label", [p](DispatchCall&) { return Variant("Part(" + p->name + ")"); });
    o.property("Name", [p](DispatchCall&) { return Variant(p->name); },
               logged("Part", [this, p](DispatchCall& c) {
                 for (auto& other : parts)
                   if (other.get() != p && other->name == c.value().text())
                     vb::raise(vb::kAppDefined, "Automation error: the name " + c.value().text() + " is in use");
                 p->name = c.value().text();
                 return Variant();
               }));
    o.property("PartType", [p](DispatchCall&) { return Variant(p->type); });
    o.property("PCBDecal", [p](DispatchCall&) { return Variant(p->decal); });
    o.property("Decal", [p](DispatchCall&) { return Variant(p->decal); });
    for (const char* n : {"layer", "Orientation", "PositionX", "PositionY", "CenterX", "CenterY", "IsSMD", "Glued"})
      o.property(n, [p, key = std::string(n)](DispatchCall&) { return p->values.count(key) ? p->values[key] : Variant(0); });
    o.property("Selected", [p](DispatchCall&) { return Variant(p->selected); },
               logged("Part(" + name + ")", [p](DispatchCall& c) {
                 p->selected = c.value().boolean();
                 return Variant();
               }));
    o.property("Attributes", [this, p](DispatchCall& c) {
      if (c.count() > 0) {
        Automation found;
        for (Attr& a : p->attrs)
          if (a.name == c.arg(0).text()) found = attribute(a);
        c.returnObject(found);
        return Variant();
      }
      auto list = DispatchObject::create();
      std::string label = "Attributes(" + p->name + ")";
      list->method("Delete", logged(label, [p](DispatchCall& d) {
                     std::string name = d.arg(0).text();
                     for (auto it = p->attrs.begin(); it != p->attrs.end(); ++it)
                       if (it->name == name) {
                         p->attrs.erase(it);
                         return Variant();
                       }
                     vb::raise(vb::kAppDefined, "Automation error: the part has no attribute " + name);
                   }));
      list->method("Add", logged(label, [p](DispatchCall& d) {
                     p->attrs.push_back({d.arg(0).text(), d.arg(1).text()});
                     return Variant();
                   }));
      c.returnObject(list->automation());
      return Variant();
    });
    o.property("Gates", [p](DispatchCall& c) {
      long k = vb::toLong(c.arg(0));
      c.returnObject(k >= 1 && k <= static_cast<long>(p->gates.size()) ? p->gates[k - 1]->object->automation()
                                                                      : Automation());
      return Variant();
    });
    o.property("Labels", [this, p](DispatchCall& c) {
      std::vector<Automation> items;
      for (auto& l : p->labels) items.push_back(l->object->automation());
      c.returnObject(collection(items));
      return Variant();
    });
    o.property("Pins", [this, p](DispatchCall& c) {
      std::vector<Automation> items;
      for (const std::string& pin : p->pins) {
        auto po = DispatchObject::create();
        po->property("Name", [pin](DispatchCall&) { return Variant(pin); });
        items.push_back(po->automation());
      }
      c.returnObject(collection(items));
      return Variant();
    });
    return *p;
  }

  Gate& addGate(Part& p, const std::string& sheet, double x, double y) {
    p.gates.push_back(std::make_unique<Gate>());
    Gate* g = p.gates.back().get();
    g->sheet = sheet, g->x = x, g->y = y;
    g->object->property("PositionX", [g](DispatchCall&) { return Variant(g->x); });
    g->object->property("PositionY", [g](DispatchCall&) { return Variant(g->y); });
    g->object->property("Visibility", {}, logged("Gate(" + p.name + ")", nothing()));
    g->object->property("Sheet", [this, g](DispatchCall& c) {
      auto s = DispatchObject::create();
      s->method("Activate", logged("Sheet(" + g->sheet + ")", nothing()));
      c.returnObject(s->automation());
      return Variant();
    });
    return *g;
  }

  Label& addLabel(Part& p, const std::string& kind, Values values) {
    p.labels.push_back(std::make_unique<Label>());
    Label* l = p.labels.back().get();
    l->kind = kind, l->values = std::move(values);
    l->object->property("Text", [l](DispatchCall&) { return Variant(l->kind); });
    l->object->defaultMember("Text");
    for (const char* n : {"PositionX", "PositionY", "Orientation", "RightReading", "HorzJustification",
                          "VertJustification", "Display"})
      this->values(*l->object.get(), "Label(" + p.name + " " + kind + ")", l->values, n);
    return *l;
  }

  Net& addNet(const std::string& name, double length) {
    nets.push_back(std::make_unique<Net>());
    Net* n = nets.back().get();
    n->name = name, n->length = length;
    n->object->property("Name", [n](DispatchCall&) { return Variant(n->name); });
    n->object->property("Length", [n](DispatchCall&) { return Variant(n->length); });
    n->object->property("Selected", {}, logged("Net(" + name + ")", nothing()));
    return *n;
  }

  Jumper& addJumper(const std::string& name, const std::string& net, Values values) {
    jumpers.push_back(std::make_unique<Jumper>());
    Jumper* j = jumpers.back().get();
    j->name = name, j->net = net, j->values = std::move(values);
    j->object->property("Name", [j](DispatchCall&) { return Variant(j->name); });
    for (const char* n : {"Length", "Orientation", "Selected"})
      this->values(*j->object.get(), "Jumper(" + name + ")", j->values, n);
    j->object->property("Net", [j](DispatchCall& c) {
      auto n = DispatchObject::create();
      n->property("Name", [net = j->net](DispatchCall&) { return Variant(net); });
      c.returnObject(n->automation());
      return Variant();
    });
    return *j;
  }

 private:
  static DispatchObject::Handler nothing() {
    return [](DispatchCall&) { return Variant(); };
  }

  // A property read from and written to a value map; puts are logged.
  void values(DispatchObject& o, const std::string& label, Values& map, const std::string& name) {
    o.property(
        name, [&map, name](DispatchCall&) { return map[name]; },
        logged(label, [&map, name](DispatchCall& c) {
          map[name] = c.value();
          return Variant();
        }));
  }

  static Automation attribute(const Attr& a) {
    auto o = DispatchObject::create();
    o->property("Name", [a](DispatchCall&) { return Variant(a.name); });
    o->property("Value", [a](DispatchCall&) { return Variant(a.value); });
    o->defaultMember("Value");
    return o->automation();
  }

  // Count and Item(k) from 1 over the objects.
  static Automation collection(std::vector<Automation> items) {
    auto list = DispatchObject::create();
    list->property("Count", [items](DispatchCall&) { return Variant(static_cast<long>(items.size())); });
    list->property("Item", [items](DispatchCall& c) {
      long k = vb::toLong(c.arg(0));
      if (k < 1 || k > static_cast<long>(items.size())) vb::raise(vb::kSubscript);
      c.returnObject(items[k - 1]);
      return Variant();
    });
    return list->automation();
  }

  // Without an argument the collection; with a name the member of that name, or Nothing.
  static Variant byName(DispatchCall& c, const std::vector<Automation>& items,
                        const std::function<std::string(size_t)>& nameOf) {
    if (c.count() == 0) {
      c.returnObject(collection(items));
      return Variant();
    }
    Automation found;
    for (size_t i = 0; i < items.size() && found.empty(); ++i)
      if (nameOf(i) == c.arg(0).text()) found = items[i];
    c.returnObject(found);
    return Variant();
  }

  DispatchObject::Handler logged(std::string label, DispatchObject::Handler h) {
    return [this, label, h](DispatchCall& c) {
      log.push_back(describe(c, label));
      return h(c);
    };
  }

  static std::string shown(const VARIANT* v) {
    if (V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND) return "<missing>";
    Variant value = platform::win::fromComVariant(*v);
    if (value.isBoolean()) return value.boolean() ? "True" : "False";
    return vb::toText(value);
  }

  static std::string describe(DispatchCall& c, const std::string& label) {
    std::string text = label + "." + c.member();
    if (c.count() > 0 || c.kind() == DispatchCall::Kind::Method) {
      text += "(";
      for (size_t i = 0; i < c.count(); ++i) text += (i ? ", " : "") + shown(c.raw(i));
      text += ")";
    }
    if (c.kind() == DispatchCall::Kind::Put) text += " = " + shown(&c.rawValue());
    return text;
  }
};

using testing_support::expectError;

using Calls = std::vector<std::string>;

std::vector<std::string> namesOf(const std::vector<pads::Part*>& parts) {
  std::vector<std::string> names;
  for (const pads::Part* p : parts) names.push_back(p->name());
  return names;
}

class ComPadsTest : public testing::Test {
 protected:
  ComPadsTest() {
    FakePads::Part& r1 = program->addPart("R1", "RES-0603", "R0603", {{"Value", "10k"}, {"Tolerance", "1%"}},
                                          {{"layer", 1}, {"PositionX", 100.0}, {"PositionY", 200.0},
                                           {"CenterX", 110.0}, {"CenterY", 205.0}, {"Orientation", 90.0},
                                           {"IsSMD", true}, {"Glued", false}});
    program->addPart("C1", "CAP-0805", "C0805", {{"Value", "100n"}}, {{"layer", 4}});
    program->addPart("R2", "RES-0603", "R0603", {}, {{"layer", 1}});
    program->addGate(r1, "Sheet2", 1.5, 2.5);
    program->addLabel(r1, "Ref.Des.", {{"PositionX", 3.0}, {"RightReading", 1}, {"HorzJustification", 2}});
    program->addLabel(r1, "Value", {{"PositionY", -4.0}, {"VertJustification", 1}});
    program->addNet("GND", 120.5);
    program->addNet("VCC", 80.0);
    program->addJumper("J1", "GND", {{"Length", 300.0}, {"Orientation", 45.0}, {"Selected", false}});
    program->addJumper("J2", "VCC", {{"Length", 150.0}, {"Orientation", 0.0}, {"Selected", false}});
  }
  void TearDown() override {
    layout.reset();
    program.reset();
    EXPECT_EQ(DispatchObject::living(), living_) << "DispatchObjects left alive";
  }
  Calls calls() { return std::exchange(program->log, {}); }

  ComApartment apartment_;
  long living_ = DispatchObject::living();
  std::unique_ptr<FakePads> program = std::make_unique<FakePads>(false);
  std::shared_ptr<pads::Application> layout =
      platform::win::comPads(program->app->automation(), pads::kLayoutProgId);
};

TEST_F(ComPadsTest, PartsAndTheirAttributesComeFromTheActiveDocument) {
  pads::Design& design = layout->activeDocument();
  EXPECT_EQ(design.name(), "board.pcb");
  EXPECT_EQ(&layout->activeDocument(), &design);
  EXPECT_EQ(design.componentCount(), 3);
  std::vector<pads::Part*> parts = design.components();
  EXPECT_EQ(namesOf(parts), (std::vector<std::string>{"R1", "C1", "R2"}));

  pads::Part* r1 = design.component("R1");
  ASSERT_NE(r1, nullptr);
  EXPECT_EQ(r1->partType(), "RES-0603");
  EXPECT_EQ(r1->decal(), "R0603");
  EXPECT_EQ(r1->pcbDecal(), "R0603");
  EXPECT_EQ(r1->layer(), 1);
  EXPECT_EQ(design.layerName(r1->layer()), "Top");
  EXPECT_EQ(design.layerName(parts[1]->layer()), "Bottom");
  EXPECT_EQ(r1->positionX(), 100.0);
  EXPECT_EQ(r1->positionY(), 200.0);
  EXPECT_EQ(r1->centerX(), 110.0);
  EXPECT_EQ(r1->centerY(), 205.0);
  EXPECT_EQ(r1->orientation(), 90.0);
  EXPECT_TRUE(r1->isSMD());
  EXPECT_FALSE(r1->glued());
  EXPECT_EQ(r1->pinCount(), 2);
  EXPECT_EQ(r1->pinNames(), (std::vector<std::string>{"R1.1", "R1.2"}));

  const pads::Attribute* value = r1->attribute("Value");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->name(), "Value");
  EXPECT_EQ(value->value(), "10k");
  EXPECT_EQ(r1->attribute("Manufacturer"), nullptr);
  // Asked again, the attribute reads the program's object as it is now.
  program->parts[0]->attrs[0].value = "22k";
  EXPECT_EQ(r1->attribute("Value")->value(), "22k");
  EXPECT_EQ(r1->attribute("Tolerance")->value(), "1%");
  EXPECT_EQ(design.component("U99"), nullptr);
  EXPECT_EQ(design.net("NOPE"), nullptr);

  // Nothing is cached: a part renamed in the program reads its new name.
  program->parts[0]->name = "R10";
  EXPECT_EQ(r1->name(), "R10");
  EXPECT_EQ(design.component("R1"), nullptr);
  EXPECT_TRUE(calls().empty());
}

TEST_F(ComPadsTest, SelectionAndGetObjectsPassTheirArgumentsAsTheProgramTakesThem) {
  pads::Design& design = layout->activeDocument();
  design.selectAllParts();
  EXPECT_EQ(namesOf(design.getParts("", true)), (std::vector<std::string>{"R1", "C1", "R2"}));
  design.clearSelection();
  EXPECT_TRUE(design.getParts("", true).empty());
  design.component("C1")->setSelected(true);
  EXPECT_TRUE(design.component("C1")->selected());
  EXPECT_EQ(namesOf(design.getParts("", true)), (std::vector<std::string>{"C1"}));
  EXPECT_EQ(namesOf(design.getParts("R*", false)), (std::vector<std::string>{"R1", "R2"}));
  EXPECT_EQ(calls(), (Calls{"Document.SelectObjects(1, <missing>, True)",
                            "Document.GetObjects(1, <missing>, True)",
                            "Document.SelectObjects(<missing>, <missing>, False)",
                            "Document.GetObjects(1, <missing>, True)", "Part(C1).Selected = True",
                            "Document.GetObjects(1, <missing>, True)", "Document.GetObjects(1, R*, False)"}));

  design.component("R1")->setSelected(true);
  std::vector<pads::Gate*> gates = design.selectedGates();
  ASSERT_EQ(gates.size(), 1u);
  EXPECT_EQ(gates[0]->positionX(), 1.5);
  std::vector<pads::Net*> nets = design.nets();
  ASSERT_EQ(nets.size(), 2u);
  EXPECT_EQ(nets[1]->name(), "VCC");
  EXPECT_EQ(nets[0]->length(), 120.5);
  EXPECT_EQ(design.netCount(), 2);
  design.net("GND")->setSelected(true);
  EXPECT_EQ(calls(), (Calls{"Part(R1).Selected = True", "Document.GetObjects(4, <missing>, True)",
                            "Document.GetObjects(2, <missing>, False)", "Net(GND).Selected = True"}));
}

TEST_F(ComPadsTest, AttributesAreAddedAndDeletedAndPartsRenamedThroughTheProgram) {
  pads::Part* c1 = layout->activeDocument().component("C1");
  c1->addAttribute("Tolerance", "5%");
  EXPECT_EQ(c1->attribute("Tolerance")->value(), "5%");
  c1->deleteAttribute("Value");
  EXPECT_EQ(c1->attribute("Value"), nullptr);
  c1->rename("C7");
  EXPECT_EQ(c1->name(), "C7");
  EXPECT_EQ(calls(), (Calls{"Attributes(C1).Add(Tolerance, 5%)", "Attributes(C1).Delete(Value)", "Part.Name = C7"}));

  // The program's refusals reach the caller with its number and description.
  expectError([&] { c1->deleteAttribute("Value"); }, vb::kAppDefined,
              "Automation error: the part has no attribute Value");
  expectError([&] { c1->rename("R1"); }, vb::kAppDefined, "Automation error: the name R1 is in use");
  EXPECT_EQ(c1->name(), "C7");
}

TEST_F(ComPadsTest, GatesLabelsViewLayersAndRouterCallTheirMembers) {
  pads::Design& design = layout->activeDocument();
  pads::Part* r1 = design.component("R1");
  pads::Gate* gate = r1->gate(1);
  ASSERT_NE(gate, nullptr);
  EXPECT_EQ(gate->positionY(), 2.5);
  gate->activateSheet();
  gate->setVisibility(3, 1);
  EXPECT_EQ(r1->gate(2), nullptr);

  std::vector<pads::Label*> labels = r1->labels();
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[0]->kind(), "Ref.Des.");
  EXPECT_EQ(labels[1]->kind(), "Value");
  EXPECT_EQ(labels[0]->positionX(), 3.0);
  EXPECT_EQ(labels[0]->rightReading(), 1);
  EXPECT_EQ(labels[0]->horzJustification(), 2);
  EXPECT_EQ(labels[1]->positionY(), -4.0);
  EXPECT_EQ(labels[1]->vertJustification(), 1);
  labels[1]->setPositionX(7.5);
  labels[1]->setOrientation(180);
  labels[1]->setDisplay(0);
  EXPECT_EQ(labels[1]->positionX(), 7.5);
  EXPECT_TRUE(design.component("R2")->labels().empty());

  pads::View& view = design.activeView();
  EXPECT_EQ(view.zoom(), 1.5);
  view.setExtents(1, 2, 3, 4);
  view.setScale(2);
  view.setExtentsToSelection();
  view.refresh();

  EXPECT_EQ(design.layerCount(), 4);
  design.setLayerVisible(2, false);
  design.showLayer("Bottom");
  design.setVisibility(12, 0);
  design.setActiveLayer("3");
  EXPECT_EQ(design.unit(), pads::Unit::Mil);
  design.setUnit(pads::Unit::MM);
  EXPECT_EQ(design.unit(), pads::Unit::MM);
  EXPECT_EQ(design.gridX(), 25.0);
  EXPECT_EQ(design.gridY(), 50.0);
  EXPECT_EQ(design.electricalLayerCount(), 4);

  design.router().setRun(true);
  design.router().setPause(true);
  design.router().optimize();
  design.router().route();
  view.setExtentsToSheet();
  EXPECT_EQ(calls(), (Calls{"Sheet(Sheet2).Activate()", "Gate(R1).Visibility(3) = 1",
                            "Label(R1 Value).PositionX = 7.5", "Label(R1 Value).Orientation = 180",
                            "Label(R1 Value).Display = 0", "View.SetExtents(1, 2, 3, 4)", "View.SetScale(2)",
                            "View.SetExtentsToSelection()", "View.Refresh()", "Layer(Inner 2).Visible = False",
                            "Layer(Bottom).Visible = True", "Document.SetVisibility(12, 0)",
                            "Document.ActiveLayer = 3", "Document.unit = 4", "Router.Run = True",
                            "Router.Pause = True", "Router.Optimize()", "Router.Route()", "View.SetExtentsToSheet()"}));
}

TEST_F(ComPadsTest, JumpersPinsDecalsAndViasAreFoundByNameAndCounted) {
  pads::Design& design = layout->activeDocument();
  EXPECT_EQ(design.jumperCount(), 2);
  std::vector<pads::Jumper*> jumpers = design.jumpers();
  ASSERT_EQ(jumpers.size(), 2u);
  EXPECT_EQ(jumpers[1]->name(), "J2");
  pads::Jumper* j1 = design.jumper("J1");
  ASSERT_NE(j1, nullptr);
  EXPECT_EQ(j1->length(), 300.0);
  EXPECT_EQ(j1->orientation(), 45.0);
  EXPECT_EQ(j1->netName(), "GND");
  j1->setSelected(true);
  EXPECT_TRUE(j1->selected());
  EXPECT_EQ(design.jumper("J9"), nullptr);

  EXPECT_EQ(design.pinCount(), 6);
  pads::Pin* pin = design.pin("C1.2");
  ASSERT_NE(pin, nullptr);
  EXPECT_EQ(pin->name(), "C1.2");
  EXPECT_EQ(pin->positionX(), 5.0);
  EXPECT_EQ(pin->positionY(), 6.0);
  pin->activateSheet();
  pin->setSelected(true);
  EXPECT_EQ(design.pin("C1.3"), nullptr);

  pads::DecalObject* decal = design.decalObject("C0805");
  ASSERT_NE(decal, nullptr);
  EXPECT_EQ(decal->name(), "C0805");
  decal->setSelected(true);
  EXPECT_EQ(design.decalObject("SOT23"), nullptr);
  EXPECT_EQ(design.viaCount(), 7);
  EXPECT_EQ(calls(), (Calls{"Jumper(J1).Selected = True", "Sheet(of C1.2).Activate()", "Pin(C1.2).Selected = True",
                            "Decal(C0805).Selected = True"}));
}

TEST_F(ComPadsTest, TheApplicationOpensDesignsAndRunsCommands) {
  EXPECT_EQ(layout->progId(), "PowerPCB.Application");
  EXPECT_FALSE(layout->visible());
  EXPECT_TRUE(layout->hasDocument());
  layout->setVisible(true);
  EXPECT_TRUE(layout->visible());
  layout->setStatusBarText("Busy");
  layout->modelessCmd("s R1");
  pads::Design& first = layout->activeDocument();
  layout->openDocument("C:\\boards\\other.pcb");
  EXPECT_EQ(layout->activeDocument().name(), "other.pcb");
  EXPECT_EQ(&layout->activeDocument(), &first);  // the program keeps one document object
  EXPECT_EQ(calls(), (Calls{"Application.Visible = True", "Application.StatusBarText = Busy",
                            "Application.ModelessCmd(s R1)", "Application.OpenDocument(C:\\boards\\other.pcb)"}));

  FakePads logicProgram(true);
  auto logic = platform::win::comPads(logicProgram.app->automation(), pads::kLogicProgId);
  EXPECT_EQ(logic->defaultFilePath(), "C:\\Designs");
  logic->runMacro("C:\\macros\\m.bas", "MACRO1");
  EXPECT_EQ(logicProgram.log, (Calls{"Application.RunMacro(C:\\macros\\m.bas, MACRO1)"}));
}

TEST_F(ComPadsTest, TheProgramsErrorsReachTheCallerWithTheirNumbers) {
  struct Case {
    const char* what;
    std::function<void()> run;
    int number;
    std::string description;
  };
  const std::vector<Case> cases{
      {"a file the program cannot open", [&] { layout->openDocument("C:\\missing.pcb"); }, vb::kAppDefined,
       "Automation error: cannot open C:\\missing.pcb"},
      {"a member this program lacks", [&] { layout->runMacro("m.bas", "MACRO1"); }, platform::win::kNoSuchMember,
       ""},
      {"a layer the design lacks", [&] { layout->activeDocument().showLayer("Inner 9"); }, vb::kObjectNotSet, ""},
      {"a layer number the design lacks", [&] { layout->activeDocument().setLayerVisible(7, true); },
       vb::kObjectNotSet, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    expectError(c.run, c.number, c.description);
  }

  program->open = false;
  EXPECT_FALSE(layout->hasDocument());
  expectError([&] { layout->activeDocument(); }, vb::kObjectNotSet, "No design is open in PowerPCB.Application");
}

}  // namespace
