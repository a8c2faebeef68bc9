// The in-memory PADS programs. A design file is read into DesignData and turned into
// objects whose addresses stay put while the design is open (callers hold Part* and
// Attribute* across calls); saving turns them back into DesignData.
//
// Faults: each member checks the fault of its automation name ("Components", "Attributes",
// "PCBDecal", "layer", ...). A property that can be put ("Visible", later "Name") fails on
// its put only, so that a fault meant for a rename leaves name reads alone.
//
// LayerName of a layer number the design does not name gives "".
//
// A new member: read or change the object's data (PartData and friends), call
// program_.check("MemberName") first, and program_.record("Call ARGS") when the call is one
// a session wants to see in "pads log" (selection, view, macro runs, ...).
#include "sim/sim_pads.h"

#include <algorithm>
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

#include "sim/design_file_io.h"
#include "vb/like.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace sim {

namespace {

namespace pads = platform::pads;
using formats::AttributeData;
using formats::DesignData;
using formats::GateData;
using formats::JumperData;
using formats::LabelData;
using formats::NetData;
using formats::PartData;
using formats::PinData;

// What every object of one program shares: its identifier, the faults and the call log.
struct Program {
  std::string progId;
  Faults& faults;
  std::vector<std::string> log;

  // Fails the call when a fault is set on this member; next to free when no fault is set.
  void check(const char* member) const {
    if (faults.any()) faults.check(progId, member);
  }
  void record(std::string line) { log.push_back(std::move(line)); }
};

// A call's argument in the log: as given, an empty text written "".
std::string logArg(const std::string& s) { return s.empty() ? "\"\"" : s; }
// A file's bytes on one log line: CR and LF written as \r and \n.
std::string escapedBytes(const std::string& bytes) {
  std::string out;
  for (char c : bytes) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

class SimAttribute final : public pads::Attribute {
 public:
  explicit SimAttribute(AttributeData d) : d_(std::move(d)) {}
  std::string name() const override { return d_.name; }
  std::string value() const override { return d_.value; }
  const AttributeData& data() const { return d_; }

 private:
  AttributeData d_;
};

// A gate lives in its part's data (the gate list never changes size).
class SimGate final : public pads::Gate {
 public:
  SimGate(GateData& d, Program& program) : program_(program), d_(d) {}
  double positionX() const override {
    program_.check("PositionX");
    return d_.x;
  }
  double positionY() const override {
    program_.check("PositionY");
    return d_.y;
  }
  void activateSheet() override {
    program_.record("Sheet.Activate " + logArg(d_.sheet));
    program_.check("Activate");
  }
  void setVisibility(int index, long value) override {
    program_.record("Gates(1).Visibility " + std::to_string(index) + " " + std::to_string(value));
    program_.check("Visibility");
    if (index < 0 || index >= static_cast<int>(d_.visibility.size())) vb::raise(vb::kSubscript);
    d_.visibility[static_cast<size_t>(index)] = value;
  }

 private:
  Program& program_;
  GateData& d_;
};

// A label lives in its part's data (the label list never changes size); its puts are
// logged as "R1.Labels(1).Display 1".
class SimLabel final : public pads::Label {
 public:
  SimLabel(std::string where, LabelData& d, Program& program) : program_(program), where_(std::move(where)), d_(d) {}
  std::string kind() const override { return d_.kind; }
  double positionX() const override { return get("PositionX", d_.x); }
  double positionY() const override { return get("PositionY", d_.y); }
  double orientation() const override { return get("Orientation", d_.orientation); }
  long rightReading() const override { return get("RightReading", d_.rightReading); }
  long horzJustification() const override { return get("HorzJustification", d_.horzJustification); }
  long vertJustification() const override { return get("VertJustification", d_.vertJustification); }
  void setPositionX(double x) override { put("PositionX", d_.x, x); }
  void setPositionY(double y) override { put("PositionY", d_.y, y); }
  void setOrientation(double o) override { put("Orientation", d_.orientation, o); }
  void setRightReading(long v) override { put("RightReading", d_.rightReading, v); }
  void setHorzJustification(long v) override { put("HorzJustification", d_.horzJustification, v); }
  void setVertJustification(long v) override { put("VertJustification", d_.vertJustification, v); }
  void setDisplay(long v) override { put("Display", d_.display, v); }

 private:
  template <class T>
  const T& get(const char* member, const T& field) const {
    program_.check(member);
    return field;
  }
  template <class T>
  void put(const char* member, T& field, T value) {
    program_.record(where_ + "." + member + " " + vb::numberText(static_cast<double>(value)));
    program_.check(member);
    field = value;
  }

  Program& program_;
  std::string where_;
  LabelData& d_;
};

class SimPart final : public pads::Part {
 public:
  SimPart(PartData d, Program& program) : program_(program), d_(std::move(d)) {
    attributes_.reserve(d_.attributes.size());
    for (auto& a : d_.attributes) attributes_.push_back(std::make_unique<SimAttribute>(std::move(a)));
    d_.attributes.clear();
    gates_.reserve(d_.gates.size());
    for (auto& g : d_.gates) gates_.push_back(std::make_unique<SimGate>(g, program_));
  }

  std::string name() const override { return d_.name; }
  std::string partType() const override { return get("PartType", d_.partType); }
  const pads::Attribute* attribute(const std::string& name) const override {
    program_.check("Attributes");
    for (const auto& a : attributes_)
      if (a->data().name == name) return a.get();
    return nullptr;
  }
  std::string pcbDecal() const override { return get("PCBDecal", d_.pcbDecal); }
  std::string decal() const override { return get("Decal", d_.decal); }
  long pinCount() const override { return get("Pins", d_.pinCount); }
  int layer() const override { return get("layer", d_.layer); }
  double orientation() const override { return get("Orientation", d_.orientation); }
  double positionX() const override { return get("PositionX", d_.x); }
  double positionY() const override { return get("PositionY", d_.y); }
  double centerX() const override { return get("CenterX", d_.centerX); }
  double centerY() const override { return get("CenterY", d_.centerY); }
  bool isSMD() const override { return get("IsSMD", d_.smd); }
  bool glued() const override { return get("Glued", d_.glued); }
  bool selected() const override { return get("Selected", d_.selected); }
  void setSelected(bool s) override {
    program_.record(d_.name + ".Selected " + (s ? "True" : "False"));
    program_.check("Selected");
    d_.selected = s;
  }
  void deleteAttribute(const std::string& name) override {
    program_.record(d_.name + ".Attributes.Delete " + logArg(name));
    program_.check("Attributes.Delete");
    auto it = findAttribute(name);
    if (it == attributes_.end()) vb::raise(vb::kAppDefined, "Automation error: the part has no attribute " + name);
    deleted_[name] = (*it)->value();
    // The object stays alive, so that a caller that still holds it reads its old value.
    retired_.push_back(std::move(*it));
    attributes_.erase(it);
  }
  // With "fault pads PROGID add" the program takes back only the value the attribute had
  // before it was deleted.
  void addAttribute(const std::string& name, const std::string& value) override {
    program_.record(d_.name + ".Attributes.Add " + logArg(name) + " " + logArg(value));
    program_.check("Attributes.Add");
    if (program_.faults.refusesChangedAdds(program_.progId)) {
      auto before = deleted_.find(name);
      if (before == deleted_.end() || before->second != value)
        vb::raise(vb::kAppDefined, "Automation error: the attribute " + name + " was refused");
    }
    if (auto it = findAttribute(name); it != attributes_.end()) {
      retired_.push_back(std::move(*it));
      attributes_.erase(it);
    }
    attributes_.push_back(std::make_unique<SimAttribute>(AttributeData{name, value}));
  }

  std::vector<pads::Label*> labels() override {
    program_.check("Labels");
    if (labels_.size() != d_.labels.size()) {
      labels_.clear();
      for (size_t i = 0; i < d_.labels.size(); ++i)
        labels_.push_back(std::make_unique<SimLabel>(d_.name + ".Labels(" + std::to_string(i + 1) + ")", d_.labels[i], program_));
    }
    std::vector<pads::Label*> list;
    for (const auto& l : labels_) list.push_back(l.get());
    return list;
  }
  std::vector<std::string> pinNames() const override {
    program_.check("Pins");
    std::vector<std::string> names;
    for (const PinData& p : d_.pins) names.push_back(d_.name + "." + p.name);
    return names;
  }

  pads::Gate* gate(int index) override {
    program_.check("Gates");
    if (index < 1 || index > static_cast<int>(gates_.size())) return nullptr;
    return gates_[static_cast<size_t>(index - 1)].get();
  }
  // The design checks the new name against its other parts and keeps its name map.
  void rename(const std::string& name) override {
    program_.record(d_.name + ".Name " + logArg(name));
    program_.check("Name");
    if (renamer_) renamer_(*this, name);
    d_.name = name;
  }
  std::function<void(SimPart&, const std::string&)> renamer_;
  void addSelectedGates(std::vector<pads::Gate*>& found) {
    for (size_t i = 0; i < gates_.size(); ++i)
      if (d_.gates[i].selected) found.push_back(gates_[i].get());
  }

  // SelectObjects with False: the part, its gates and its pins leave the selection.
  void markSelected() { d_.selected = true; }
  void deselectAll() {
    d_.selected = false;
    for (auto& g : d_.gates) g.selected = false;
    for (auto& p : d_.pins) p.selected = false;
  }
  const PartData& data() const { return d_; }
  PartData& data() { return d_; }
  // The sheet its first gate stands on, "" without gates.
  std::string sheet() const { return d_.gates.empty() ? std::string() : d_.gates.front().sheet; }

  PartData toData() const {
    PartData d = d_;
    d.attributes.reserve(attributes_.size());
    for (const auto& a : attributes_) d.attributes.push_back(a->data());
    return d;
  }

 private:
  template <class T>
  const T& get(const char* member, const T& field) const {
    program_.check(member);
    return field;
  }

  std::vector<std::unique_ptr<SimAttribute>>::iterator findAttribute(const std::string& name) {
    return std::find_if(attributes_.begin(), attributes_.end(),
                        [&](const auto& a) { return a->data().name == name; });
  }

  Program& program_;
  PartData d_;  // every field but the attributes, which live in attributes_
  std::vector<std::unique_ptr<SimAttribute>> attributes_;
  std::vector<std::unique_ptr<SimAttribute>> retired_;  // deleted or replaced, still valid
  std::map<std::string, std::string> deleted_;           // the value each deleted attribute had
  std::vector<std::unique_ptr<SimGate>> gates_;          // over d_.gates
  std::vector<std::unique_ptr<SimLabel>> labels_;        // over d_.labels, made at the first use
};

class SimJumper final : public pads::Jumper {
 public:
  SimJumper(JumperData d, Program& program) : program_(program), d_(std::move(d)) {}

  std::string name() const override { return d_.name; }
  double length() const override {
    program_.check("Length");
    return d_.length;
  }
  double orientation() const override {
    program_.check("Orientation");
    return d_.orientation;
  }
  std::string netName() const override {
    program_.check("Net");
    return d_.net;
  }
  bool selected() const override {
    program_.check("Selected");
    return d_.selected;
  }
  void setSelected(bool s) override {
    program_.record(d_.name + ".Selected " + (s ? "True" : "False"));
    program_.check("Selected");
    d_.selected = s;
  }
  const JumperData& data() const { return d_; }
  JumperData& data() { return d_; }

 private:
  Program& program_;
  JumperData d_;
};

class SimNet final : public pads::Net {
 public:
  SimNet(NetData& d, Program& program) : program_(program), d_(d) {}
  std::string name() const override {
    program_.check("Name");
    return d_.name;
  }
  double length() const override {
    program_.check("Length");
    return d_.length;
  }
  void setSelected(bool s) override {
    program_.record("Nets " + logArg(d_.name) + " Selected " + (s ? "True" : "False"));
    program_.check("Selected");
    d_.selected = s;
  }

 private:
  Program& program_;
  NetData& d_;
};

// A pin lives in its part's data (the pin list never changes size).
class SimPin final : public pads::Pin {
 public:
  SimPin(SimPart& part, PinData& d, Program& program) : program_(program), part_(part), d_(d) {}
  std::string name() const override {
    program_.check("Name");
    return part_.name() + "." + d_.name;
  }
  double positionX() const override {
    program_.check("PositionX");
    return d_.x;
  }
  double positionY() const override {
    program_.check("PositionY");
    return d_.y;
  }
  void activateSheet() override {
    program_.record("Sheet.Activate " + logArg(part_.sheet()));
    program_.check("Activate");
  }
  void setSelected(bool s) override {
    program_.record("Pins " + logArg(name()) + " Selected " + (s ? "True" : "False"));
    program_.check("Selected");
    d_.selected = s;
  }

 private:
  Program& program_;
  SimPart& part_;
  PinData& d_;
};

// A decal exists while a part uses it (PADS Layout: the part's Decal, PADS Logic: its
// PCBDecal); selecting it selects those parts.
class SimDecal final : public pads::DecalObject {
 public:
  SimDecal(std::string name, std::vector<SimPart*> users, Program& program)
      : program_(program), name_(std::move(name)), users_(std::move(users)) {}
  std::string name() const override {
    program_.check("Name");
    return name_;
  }
  void setSelected(bool s) override {
    program_.record("Decals " + logArg(name_) + " Selected " + (s ? "True" : "False"));
    program_.check("Selected");
    for (SimPart* p : users_)
      if (s) p->markSelected();
      else p->data().selected = false;
  }

 private:
  Program& program_;
  std::string name_;
  std::vector<SimPart*> users_;
};

// The router's calls are only logged: what a routing pass does is not simulated.
class SimRouter final : public pads::Router {
 public:
  explicit SimRouter(Program& program) : program_(program) {}
  void setRun(bool on) override { call(std::string("Run ") + (on ? "True" : "False"), "Run"); }
  void setPause(bool on) override { call(std::string("Pause ") + (on ? "True" : "False"), "Pause"); }
  void optimize() override { call("Optimize", "Optimize"); }
  void route() override { call("Route", "Route"); }

 private:
  void call(const std::string& line, const char* member) {
    program_.record("Router." + line);
    program_.check(member);
  }
  Program& program_;
};

// The view: a fit to the selection gives the zoom factor kFitZoom, a scale set becomes
// the zoom; the calls are logged, as a session checks what the commands asked of PADS.
class SimView final : public pads::View {
 public:
  static constexpr double kFitZoom = 1000;
  explicit SimView(Program& program) : program_(program) {}
  void setExtentsToSelection() override {
    program_.record("SetExtentsToSelection");
    program_.check("SetExtentsToSelection");
    zoom_ = kFitZoom;
  }
  double zoom() const override {
    program_.check("Zoom");
    return zoom_;
  }
  void setScale(double scale) override {
    program_.record("SetScale " + vb::numberText(scale));
    program_.check("SetScale");
    zoom_ = scale;
  }
  void refresh() override {
    program_.record("Refresh");
    program_.check("Refresh");
  }
  void setExtents(double x1, double y1, double x2, double y2) override {
    program_.record("SetExtents " + vb::numberText(x1) + " " + vb::numberText(y1) + " " + vb::numberText(x2) + " " +
                    vb::numberText(y2));
    program_.check("SetExtents");
  }
  void setExtentsToSheet() override {
    program_.record("SetExtentsToSheet");
    program_.check("SetExtentsToSheet");
  }

 private:
  Program& program_;
  double zoom_ = kFitZoom;
};

class SimDesign final : public pads::Design {
 public:
  SimDesign(DesignData d, Program& program) : program_(program), d_(std::move(d)) {
    parts_.reserve(d_.parts.size());
    partList_.reserve(d_.parts.size());
    for (auto& p : d_.parts) {
      parts_.push_back(std::make_unique<SimPart>(std::move(p), program_));
      partList_.push_back(parts_.back().get());
      parts_.back()->renamer_ = [this](SimPart& part, const std::string& name) { renamePart(part, name); };
    }
    nets_.reserve(d_.nets.size());
    for (auto& n : d_.nets) nets_.push_back(std::make_unique<SimNet>(n, program_));
    d_.parts.clear();
    jumpers_.reserve(d_.jumpers.size());
    jumperList_.reserve(d_.jumpers.size());
    for (auto& j : d_.jumpers) {
      jumpers_.push_back(std::make_unique<SimJumper>(std::move(j), program_));
      jumperList_.push_back(jumpers_.back().get());
    }
    d_.jumpers.clear();
  }

  std::string name() const override { return d_.name; }
  std::vector<pads::Part*> components() override {
    program_.check("Components");
    return partList_;
  }
  long componentCount() const override {
    program_.check("Components");
    return static_cast<long>(parts_.size());
  }
  pads::Part* component(const std::string& name) override {
    program_.check("Components");
    return findPart(name);
  }
  std::vector<pads::Jumper*> jumpers() override {
    program_.check("Jumpers");
    return jumperList_;
  }
  long jumperCount() const override {
    program_.check("Jumpers");
    return static_cast<long>(jumpers_.size());
  }
  pads::Jumper* jumper(const std::string& name) override {
    program_.check("Jumpers");
    for (const auto& j : jumpers_)
      if (j->name() == name) return j.get();
    return nullptr;
  }
  void clearSelection() override {
    program_.record("SelectObjects , , False");
    program_.check("SelectObjects");
    for (auto& p : parts_) p->deselectAll();
    for (auto& j : jumpers_) j->data().selected = false;
    for (auto& n : d_.nets) n.selected = false;
  }

  pads::Net* net(const std::string& name) override {
    program_.check("Nets");
    if (netsByName_.empty())
      for (size_t i = nets_.size(); i-- > 0;) netsByName_[d_.nets[i].name] = nets_[i].get();
    auto it = netsByName_.find(name);
    return it == netsByName_.end() ? nullptr : it->second;
  }
  std::vector<pads::Net*> nets() override {
    program_.check("GetObjects");
    std::vector<pads::Net*> found;
    for (const auto& n : nets_) found.push_back(n.get());
    return found;
  }
  long netCount() const override {
    program_.check("Nets");
    return static_cast<long>(nets_.size());
  }
  // "PART.PIN": the pin PIN of the part PART (split at the last ".").
  pads::Pin* pin(const std::string& name) override {
    program_.check("Pins");
    if (auto it = pins_.find(name); it != pins_.end()) return it->second.get();
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return nullptr;
    auto* part = static_cast<SimPart*>(findPart(name.substr(0, dot)));
    if (!part) return nullptr;
    for (PinData& p : part->data().pins)
      if (p.name == name.substr(dot + 1))
        return pins_.emplace(name, std::make_unique<SimPin>(*part, p, program_)).first->second.get();
    return nullptr;
  }
  pads::DecalObject* decalObject(const std::string& name) override {
    program_.check("Decals");
    std::vector<SimPart*> users;
    const bool logic = program_.progId.find("Logic") != std::string::npos;
    for (const auto& p : parts_)
      if ((logic ? p->data().pcbDecal : p->data().decal) == name) users.push_back(p.get());
    if (users.empty()) return nullptr;
    decals_.push_back(std::make_unique<SimDecal>(name, std::move(users), program_));
    return decals_.back().get();
  }
  long viaCount() const override {
    program_.check("Vias");
    return d_.vias.empty() ? d_.viaCount : static_cast<long>(d_.vias.size());
  }
  std::vector<pads::Part*> getParts(const std::string& namePattern, bool selectedOnly) override {
    program_.check("GetObjects");
    vb::LikePattern pattern(namePattern.empty() ? "*" : namePattern);
    std::vector<pads::Part*> found;
    for (const auto& p : parts_)
      if ((!selectedOnly || p->data().selected) && pattern.matches(p->data().name)) found.push_back(p.get());
    return found;
  }
  std::vector<pads::Gate*> selectedGates() override {
    program_.check("GetObjects");
    std::vector<pads::Gate*> found;
    for (const auto& p : parts_) p->addSelectedGates(found);
    return found;
  }
  void selectAllParts() override {
    program_.record("SelectObjects 1, , True");
    program_.check("SelectObjects");
    for (auto& p : parts_) p->markSelected();
  }
  void setActiveLayer(const std::string& layer) override {
    program_.record("ActiveLayer " + logArg(layer));
    program_.check("ActiveLayer");
  }
  pads::Unit unit() const override {
    program_.check("unit");
    for (const auto& [text, u] : kUnits)
      if (d_.unit == text) return u;
    return pads::Unit::Current;
  }
  void setUnit(pads::Unit u) override {
    program_.record("unit " + std::to_string(static_cast<int>(u)));
    program_.check("unit");
    for (const auto& [text, unit] : kUnits)
      if (unit == u) d_.unit = text;
  }
  double gridX() const override {
    program_.check("GridX");
    return d_.gridX;
  }
  double gridY() const override {
    program_.check("GridY");
    return d_.gridY;
  }
  long electricalLayerCount() const override {
    program_.check("ElectricalLayerCount");
    return d_.electricalLayerCount;
  }
  long layerCount() const override {
    program_.check("Layers");
    return static_cast<long>(d_.layers.size());
  }
  void setLayerVisible(int number, bool visible) override {
    program_.record("Layers " + std::to_string(number) + " Visible " + (visible ? "True" : "False"));
    program_.check("Layers");
    if (!d_.layers.count(number)) vb::raise(vb::kObjectNotSet);
  }
  void setLayerVisible(const std::string& name, bool visible) override {
    program_.record("Layers " + logArg(name) + " Visible " + (visible ? "True" : "False"));
    program_.check("Layers");
    for (const auto& [number, layer] : d_.layers)
      if (layer == name) return;
    vb::raise(vb::kObjectNotSet);
  }
  long pinCount() const override {
    program_.check("Pins");
    long count = 0;
    for (const auto& p : parts_) count += p->data().pinCount;
    return count;
  }
  void setVisibility(long code, long on) override {
    program_.record("SetVisibility " + std::to_string(code) + " " + std::to_string(on));
    program_.check("SetVisibility");
  }
  pads::Router& router() override {
    program_.check("Router");
    return router_;
  }
  std::string defaultFilePath() const { return d_.defaultFilePath; }
  // A selection the program makes itself, not a call of the caller's.
  void selectQuietly(const std::string& name) {
    if (pads::Part* p = component(name)) static_cast<SimPart*>(p)->markSelected();
  }
  pads::View& activeView() override {
    program_.check("ActiveView");
    return view_;
  }
  std::string layerName(int layer) const override {
    program_.check("LayerName");
    auto it = d_.layers.find(layer);
    return it == d_.layers.end() ? std::string() : it->second;
  }
  void showLayer(const std::string& name) override { setLayerVisible(name, true); }

  DesignData toData() const {
    DesignData d = d_;
    d.parts.clear();
    d.parts.reserve(parts_.size());
    for (const auto& p : parts_) d.parts.push_back(p->toData());
    d.jumpers.reserve(jumpers_.size());
    for (const auto& j : jumpers_) d.jumpers.push_back(j->data());
    return d;
  }

 private:
  Program& program_;
  DesignData d_;  // every field but the parts and jumpers, which live in the objects below
  std::vector<std::unique_ptr<SimPart>> parts_;
  std::vector<std::unique_ptr<SimJumper>> jumpers_;
  // Built once: the collections hand out these lists without walking the objects.
  std::vector<pads::Part*> partList_;
  std::vector<pads::Jumper*> jumperList_;
  std::unordered_map<std::string, SimPart*> byName_;  // made at the first lookup by name
  std::vector<std::unique_ptr<SimNet>> nets_;          // over d_.nets
  std::unordered_map<std::string, SimNet*> netsByName_;
  std::unordered_map<std::string, std::unique_ptr<SimPin>> pins_;  // made at their first lookup
  std::vector<std::unique_ptr<SimDecal>> decals_;                  // handed out, kept valid

  static constexpr std::pair<const char*, pads::Unit> kUnits[] = {
      {"DataBase", pads::Unit::DataBase}, {"Mil", pads::Unit::Mil}, {"Inch", pads::Unit::Inch}, {"MM", pads::Unit::MM}};

  // The first part of the name; the map is made at the first lookup.
  pads::Part* findPart(const std::string& name) {
    if (byName_.empty() && !parts_.empty())
      for (auto it = parts_.rbegin(); it != parts_.rend(); ++it) byName_[(*it)->name()] = it->get();
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
  }
  // A name another part holds is refused; the old name stays.
  void renamePart(SimPart& part, const std::string& name) {
    pads::Part* holder = findPart(name);
    if (holder && holder != &part) vb::raise(vb::kAppDefined, "Automation error: the name " + name + " is in use");
    byName_.clear();
    pins_.clear();
  }
  SimView view_{program_};
  SimRouter router_{program_};
};

class SimPadsProgram final : public SimPads {
 public:
  SimPadsProgram(const std::string& progId, Faults& faults, platform::Files& files, platform::User* alerts)
      : program_{progId, faults, {}}, files_(files), alerts_(alerts) {}

  std::string progId() const override { return program_.progId; }
  bool visible() const override { return visible_; }
  void setVisible(bool v) override {
    program_.record(std::string("Visible ") + (v ? "True" : "False"));
    program_.check("Visible");
    visible_ = v;
  }
  pads::Design& activeDocument() override {
    program_.check("ActiveDocument");
    if (!design_) vb::raise(vb::kObjectNotSet);
    return *design_;
  }
  bool hasDocument() const override { return design_ != nullptr; }
  // A design that cannot be read leaves the open one (if any) active.
  void openDocument(const std::string& path) override {
    program_.record("OpenDocument " + logArg(path));
    program_.check("OpenDocument");
    std::unique_ptr<SimDesign> opened;
    try {
      opened = std::make_unique<SimDesign>(readDesignFile(files_, path), program_);
    } catch (const vb::Error& e) {
      // An empty path is a cancelled dialog's: that failure is the caller's alone.
      if (alerts_ && !path.empty()) platform::notify(*alerts_, program_.progId, e.description(), platform::Icon::Critical);
      throw;
    }
    // The design it replaces stays alive, so that objects a caller still holds stay valid.
    if (design_) retired_.push_back(std::move(design_));
    design_ = std::move(opened);
  }

  // "ss NAME" selects the part of that name, as PADS Layout's search command does; any
  // other command is only logged.
  void modelessCmd(const std::string& command) override {
    program_.record("ModelessCmd \"" + command + "\"");
    program_.check("ModelessCmd");
    if (design_ && command.rfind("ss ", 0) == 0)
      design_->selectQuietly(command.substr(3));
  }

  void setStatusBarText(const std::string& text) override {
    program_.record("StatusBarText " + logArg(text));
    program_.check("StatusBarText");
  }
  std::string defaultFilePath() const override {
    program_.check("DefaultFilePath");
    return design_ ? design_->defaultFilePath() : std::string();
  }
  // The macro file must exist; what the macro does is not simulated.
  void runMacro(const std::string& path, const std::string& macroName) override {
    program_.record("RunMacro " + logArg(path) + " " + logArg(macroName));
    program_.check("RunMacro");
    if (!files_.exists(path)) vb::raise(vb::kAppDefined, "Automation error: no macro file " + path);
    program_.record("RunMacro.Text " + escapedBytes(files_.read(path)));
  }

  void saveDesign(const std::string& localPath) override {
    if (!design_) vb::raise(vb::kObjectNotSet, "No design is open in " + program_.progId);
    writeDesignFile(files_, design_->toData(), localPath);
  }
  std::vector<std::string> takeLog() override { return std::exchange(program_.log, {}); }

 private:
  Program program_;
  platform::Files& files_;
  platform::User* alerts_;
  bool visible_ = false;
  std::unique_ptr<SimDesign> design_;
  std::vector<std::unique_ptr<SimDesign>> retired_;
};

}  // namespace

std::shared_ptr<SimPads> makeSimPads(const std::string& progId, Faults& faults, platform::Files& files,
                                     platform::User* alerts) {
  return std::make_shared<SimPadsProgram>(progId, faults, files, alerts);
}

}  // namespace sim
