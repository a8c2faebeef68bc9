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
#include <map>
#include <unordered_map>
#include <utility>

#include "sim/design_file_io.h"
#include "vb/convert.h"
#include "vb/error.h"

namespace sim {

namespace {

namespace pads = platform::pads;
using formats::AttributeData;
using formats::DesignData;
using formats::GateData;
using formats::JumperData;
using formats::PartData;

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

 private:
  Program& program_;
  GateData& d_;
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

  pads::Gate* gate(int index) override {
    program_.check("Gates");
    if (index < 1 || index > static_cast<int>(gates_.size())) return nullptr;
    return gates_[static_cast<size_t>(index - 1)].get();
  }
  // SelectObjects with False: the part and its gates leave the selection.
  void markSelected() { d_.selected = true; }
  void deselectAll() {
    d_.selected = false;
    for (auto& g : d_.gates) g.selected = false;
  }

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
    }
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
    if (byName_.empty() && !parts_.empty())
      for (auto it = parts_.rbegin(); it != parts_.rend(); ++it) byName_[(*it)->name()] = it->get();
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
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
  }
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
  void showLayer(const std::string& name) override {
    program_.record("Layers " + logArg(name) + " Visible True");
    program_.check("Layers");
    for (const auto& [number, layer] : d_.layers)
      if (layer == name) return;
    vb::raise(vb::kObjectNotSet);
  }

  DesignData toData() const {
    DesignData d = d_;
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
  SimView view_{program_};
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
