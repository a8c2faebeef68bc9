// The PADS programs' Application, document and their objects behind the PADS interface.
#include "platform/win/com_pads.h"

#include <deque>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "vb/convert.h"

namespace platform::win {

namespace pads = platform::pads;

namespace {

double number(const vb::Variant& v) { return vb::toDouble(v); }
std::string text(const vb::Variant& v) { return vb::toText(v); }

// The wrappers handed out by pointer live here until the application object goes: a caller
// may hold a Part* across later calls, as it would hold the program's object.
class Keep {
 public:
  template <class T, class... A>
  T* make(A&&... args) {
    auto p = std::make_shared<T>(std::forward<A>(args)...);
    T* raw = p.get();
    held_.push_back(std::move(p));
    return raw;
  }

 private:
  std::deque<std::shared_ptr<void>> held_;
};
// Held by the application; the wrappers it keeps refer to it without owning it.
using KeepPtr = Keep*;

// Item(1) to Item(Count) of a collection.
std::vector<Automation> itemsOf(const Automation& collection) {
  long count = vb::toLong(collection.get("Count"));
  std::vector<Automation> items;
  items.reserve(count > 0 ? count : 0);
  for (long k = 1; k <= count; ++k) items.push_back(collection.getObject("Item", k));
  return items;
}

// member(name) of an object: the program's object, or nothing when it gives no object.
Automation lookUp(const Automation& owner, const std::string& member, const vb::Variant& key) {
  return owner.getObject(member, key);
}

// The wrapper in the slot, made on first use and bound to the object given.
template <class T>
T* reuse(std::unique_ptr<T>& slot, Automation object) {
  if (slot) slot->rebind(std::move(object));
  else slot = std::make_unique<T>(std::move(object));
  return slot.get();
}

class ComGate final : public pads::Gate {
 public:
  explicit ComGate(Automation gate) : gate_(std::move(gate)) {}
  void rebind(Automation gate) { gate_ = std::move(gate); }
  double positionX() const override { return number(gate_.get("PositionX")); }
  double positionY() const override { return number(gate_.get("PositionY")); }
  void activateSheet() override { gate_.getObject("Sheet").call("Activate"); }
  void setVisibility(int index, long value) override { gate_.put("Visibility", value, index); }

 private:
  Automation gate_;
};

class ComLabel final : public pads::Label {
 public:
  explicit ComLabel(Automation label) : label_(std::move(label)) {}
  std::string kind() const override { return text(label_.get("")); }
  double positionX() const override { return number(label_.get("PositionX")); }
  double positionY() const override { return number(label_.get("PositionY")); }
  double orientation() const override { return number(label_.get("Orientation")); }
  long rightReading() const override { return vb::toLong(label_.get("RightReading")); }
  long horzJustification() const override { return vb::toLong(label_.get("HorzJustification")); }
  long vertJustification() const override { return vb::toLong(label_.get("VertJustification")); }
  void setPositionX(double x) override { label_.put("PositionX", x); }
  void setPositionY(double y) override { label_.put("PositionY", y); }
  void setOrientation(double o) override { label_.put("Orientation", o); }
  void setRightReading(long v) override { label_.put("RightReading", v); }
  void setHorzJustification(long v) override { label_.put("HorzJustification", v); }
  void setVertJustification(long v) override { label_.put("VertJustification", v); }
  void setDisplay(long v) override { label_.put("Display", v); }

 private:
  Automation label_;
};

class ComView final : public pads::View {
 public:
  explicit ComView(Automation view) : view_(std::move(view)) {}
  void rebind(Automation view) { view_ = std::move(view); }
  void setExtentsToSelection() override { view_.call("SetExtentsToSelection"); }
  double zoom() const override { return number(view_.get("Zoom")); }
  void setScale(double scale) override { view_.call("SetScale", {scale}); }
  void refresh() override { view_.call("Refresh"); }
  void setExtents(double x1, double y1, double x2, double y2) override {
    view_.call("SetExtents", {x1, y1, x2, y2});
  }
  void setExtentsToSheet() override { view_.call("SetExtentsToSheet"); }

 private:
  Automation view_;
};

class ComAttribute final : public pads::Attribute {
 public:
  explicit ComAttribute(Automation attribute) : attribute_(std::move(attribute)) {}
  void rebind(Automation attribute) { attribute_ = std::move(attribute); }
  std::string name() const override { return text(attribute_.get("Name")); }
  // Its default value is its text.
  std::string value() const override { return text(attribute_.get("")); }

 private:
  Automation attribute_;
};

class ComPart final : public pads::Part {
 public:
  ComPart(Automation part, KeepPtr keep) : part_(std::move(part)), keep_(std::move(keep)) {}
  std::string name() const override { return text(part_.get("Name")); }
  std::string partType() const override { return text(part_.get("PartType")); }
  const pads::Attribute* attribute(const std::string& name) const override {
    Automation a = lookUp(part_, "Attributes", name);
    if (a.empty()) return nullptr;
    return reuse(attributes_[name], std::move(a));
  }
  std::string pcbDecal() const override { return text(part_.get("PCBDecal")); }
  std::string decal() const override { return text(part_.get("Decal")); }
  long pinCount() const override { return vb::toLong(part_.getObject("Pins").get("Count")); }
  int layer() const override { return static_cast<int>(vb::toLong(part_.get("layer"))); }
  double orientation() const override { return number(part_.get("Orientation")); }
  double positionX() const override { return number(part_.get("PositionX")); }
  double positionY() const override { return number(part_.get("PositionY")); }
  double centerX() const override { return number(part_.get("CenterX")); }
  double centerY() const override { return number(part_.get("CenterY")); }
  bool isSMD() const override { return truthOf(part_.get("IsSMD")); }
  bool glued() const override { return truthOf(part_.get("Glued")); }
  bool selected() const override { return truthOf(part_.get("Selected")); }
  void setSelected(bool s) override { part_.put("Selected", s); }
  void deleteAttribute(const std::string& name) override { part_.getObject("Attributes").call("Delete", {name}); }
  void addAttribute(const std::string& name, const std::string& value) override {
    part_.getObject("Attributes").call("Add", {name, value});
  }
  pads::Gate* gate(int index) override {
    Automation g = lookUp(part_, "Gates", index);
    if (g.empty()) return nullptr;
    return reuse(gates_[index], std::move(g));
  }
  std::vector<pads::Label*> labels() override {
    std::vector<pads::Label*> out;
    for (Automation& l : itemsOf(part_.getObject("Labels"))) out.push_back(keep_->make<ComLabel>(std::move(l)));
    return out;
  }
  std::vector<std::string> pinNames() const override {
    std::vector<std::string> out;
    for (const Automation& p : itemsOf(part_.getObject("Pins"))) out.push_back(text(p.get("Name")));
    return out;
  }
  void rename(const std::string& name) override { part_.put("Name", name); }

 private:
  Automation part_;
  KeepPtr keep_;
  // One wrapper per attribute name and gate index, bound afresh to the program's object
  // at each look-up, so a loop asking every part for its attributes does not pile them up.
  mutable std::map<std::string, std::unique_ptr<ComAttribute>> attributes_;
  std::map<int, std::unique_ptr<ComGate>> gates_;
};

class ComJumper final : public pads::Jumper {
 public:
  explicit ComJumper(Automation jumper) : jumper_(std::move(jumper)) {}
  std::string name() const override { return text(jumper_.get("Name")); }
  double length() const override { return number(jumper_.get("Length")); }
  double orientation() const override { return number(jumper_.get("Orientation")); }
  // Net is the jumper's net object; its default value or, failing that, its Name.
  std::string netName() const override {
    Result net = jumper_.invoke(Automation::Kind::Get, "Net", {});
    if (!net.isObject()) return text(net.value());
    Automation n = net.object();
    return n.empty() ? std::string() : text(n.get("Name"));
  }
  bool selected() const override { return truthOf(jumper_.get("Selected")); }
  void setSelected(bool s) override { jumper_.put("Selected", s); }

 private:
  Automation jumper_;
};

class ComNet final : public pads::Net {
 public:
  explicit ComNet(Automation net) : net_(std::move(net)) {}
  std::string name() const override { return text(net_.get("Name")); }
  double length() const override { return number(net_.get("Length")); }
  void setSelected(bool s) override { net_.put("Selected", s); }

 private:
  Automation net_;
};

class ComPin final : public pads::Pin {
 public:
  explicit ComPin(Automation pin) : pin_(std::move(pin)) {}
  std::string name() const override { return text(pin_.get("Name")); }
  double positionX() const override { return number(pin_.get("PositionX")); }
  double positionY() const override { return number(pin_.get("PositionY")); }
  void activateSheet() override { pin_.getObject("Sheet").call("Activate"); }
  void setSelected(bool s) override { pin_.put("Selected", s); }

 private:
  Automation pin_;
};

class ComDecal final : public pads::DecalObject {
 public:
  explicit ComDecal(Automation decal) : decal_(std::move(decal)) {}
  std::string name() const override { return text(decal_.get("Name")); }
  void setSelected(bool s) override { decal_.put("Selected", s); }

 private:
  Automation decal_;
};

class ComRouter final : public pads::Router {
 public:
  explicit ComRouter(Automation router) : router_(std::move(router)) {}
  void rebind(Automation router) { router_ = std::move(router); }
  void setRun(bool on) override { router_.put("Run", on); }
  void setPause(bool on) override { router_.put("Pause", on); }
  void optimize() override { router_.call("Optimize"); }
  void route() override { router_.call("Route"); }

 private:
  Automation router_;
};

constexpr long kPartsType = static_cast<long>(pads::ObjectType::Parts);
constexpr long kNetsType = static_cast<long>(pads::ObjectType::Nets);
constexpr long kGatesType = static_cast<long>(pads::ObjectType::Gates);

class ComDesign final : public pads::Design {
 public:
  ComDesign(Automation document, KeepPtr keep) : doc_(std::move(document)), keep_(std::move(keep)) {}
  const Automation& automation() const { return doc_; }

  std::string name() const override { return text(doc_.get("")); }
  std::vector<pads::Part*> components() override { return parts(itemsOf(doc_.getObject("Components"))); }
  long componentCount() const override { return countOf("Components"); }
  pads::Part* component(const std::string& name) override {
    return one<ComPart>(lookUp(doc_, "Components", name), keep_);
  }
  std::vector<pads::Jumper*> jumpers() override {
    std::vector<pads::Jumper*> out;
    for (Automation& j : itemsOf(doc_.getObject("Jumpers"))) out.push_back(keep_->make<ComJumper>(std::move(j)));
    return out;
  }
  long jumperCount() const override { return countOf("Jumpers"); }
  pads::Jumper* jumper(const std::string& name) override { return one<ComJumper>(lookUp(doc_, "Jumpers", name)); }
  void clearSelection() override { doc_.call("SelectObjects", {Arg::missing(), Arg::missing(), false}); }
  pads::View& activeView() override {
    Automation view = doc_.getObject("ActiveView");
    if (view.empty()) vb::raise(vb::kObjectNotSet);
    return *reuse(view_, std::move(view));
  }
  std::string layerName(int layer) const override { return text(doc_.get("LayerName", layer)); }
  void showLayer(const std::string& name) override { setLayerVisible(name, true); }

  pads::Net* net(const std::string& name) override { return one<ComNet>(lookUp(doc_, "Nets", name)); }
  long netCount() const override { return countOf("Nets"); }
  std::vector<pads::Net*> nets() override {
    std::vector<pads::Net*> out;
    for (Automation& n : itemsOf(getObjects(kNetsType, "", false))) out.push_back(keep_->make<ComNet>(std::move(n)));
    return out;
  }
  pads::Pin* pin(const std::string& name) override { return one<ComPin>(lookUp(doc_, "Pins", name)); }
  pads::DecalObject* decalObject(const std::string& name) override {
    return one<ComDecal>(lookUp(doc_, "Decals", name));
  }
  long viaCount() const override { return countOf("Vias"); }
  std::vector<pads::Part*> getParts(const std::string& namePattern, bool selectedOnly) override {
    return parts(itemsOf(getObjects(kPartsType, namePattern, selectedOnly)));
  }
  std::vector<pads::Gate*> selectedGates() override {
    std::vector<pads::Gate*> out;
    for (Automation& g : itemsOf(getObjects(kGatesType, "", true))) out.push_back(keep_->make<ComGate>(std::move(g)));
    return out;
  }
  void selectAllParts() override { doc_.call("SelectObjects", {kPartsType, Arg::missing(), true}); }
  void setActiveLayer(const std::string& layer) override { doc_.put("ActiveLayer", layer); }
  pads::Unit unit() const override { return static_cast<pads::Unit>(vb::toLong(doc_.get("unit"))); }
  void setUnit(pads::Unit u) override { doc_.put("unit", static_cast<long>(u)); }
  double gridX() const override { return number(doc_.get("GridX")); }
  double gridY() const override { return number(doc_.get("GridY")); }
  long electricalLayerCount() const override { return vb::toLong(doc_.get("ElectricalLayerCount")); }
  long layerCount() const override { return countOf("Layers"); }
  // Layers(key) gives no object for a layer the design lacks: error 91 on its Visible.
  void setLayerVisible(int number, bool visible) override {
    lookUp(doc_, "Layers", number).put("Visible", visible);
  }
  void setLayerVisible(const std::string& name, bool visible) override {
    lookUp(doc_, "Layers", name).put("Visible", visible);
  }
  long pinCount() const override { return countOf("Pins"); }
  void setVisibility(long code, long on) override { doc_.call("SetVisibility", {code, on}); }
  pads::Router& router() override {
    Automation r = doc_.getObject("Router");
    if (r.empty()) vb::raise(vb::kObjectNotSet);
    return *reuse(router_, std::move(r));
  }

 private:
  long countOf(const char* collection) const { return vb::toLong(doc_.getObject(collection).get("Count")); }
  // GetObjects(type, pattern, selectedOnly); an empty pattern is left out.
  Automation getObjects(long type, const std::string& pattern, bool selectedOnly) const {
    return doc_.call("GetObjects", {type, pattern.empty() ? Arg::missing() : Arg(pattern), selectedOnly}).object();
  }
  std::vector<pads::Part*> parts(std::vector<Automation> objects) {
    std::vector<pads::Part*> out;
    out.reserve(objects.size());
    for (Automation& p : objects) out.push_back(keep_->make<ComPart>(std::move(p), keep_));
    return out;
  }
  template <class T, class... A>
  T* one(Automation object, A&&... more) {
    if (object.empty()) return nullptr;
    return keep_->make<T>(std::move(object), std::forward<A>(more)...);
  }

  Automation doc_;
  KeepPtr keep_;
  std::unique_ptr<ComView> view_;
  std::unique_ptr<ComRouter> router_;
};

class ComPadsApplication final : public pads::Application {
 public:
  ComPadsApplication(Automation application, std::string progId)
      : app_(std::move(application)), progId_(std::move(progId)), keep_(std::make_unique<Keep>()) {}

  std::string progId() const override { return progId_; }
  bool visible() const override { return truthOf(app_.get("Visible")); }
  void setVisible(bool v) override { app_.put("Visible", v); }
  pads::Design& activeDocument() override {
    Automation doc = app_.getObject("ActiveDocument");
    if (doc.empty()) vb::raise(vb::kObjectNotSet, "No design is open in " + progId_);
    // The same document keeps its wrapper, so references the caller holds stay its own.
    if (!design_ || !design_->automation().sameObject(doc)) design_ = keep_->make<ComDesign>(std::move(doc), keep_.get());
    return *design_;
  }
  bool hasDocument() const override { return !app_.getObject("ActiveDocument").empty(); }
  void openDocument(const std::string& path) override { app_.call("OpenDocument", {path}); }
  void modelessCmd(const std::string& command) override { app_.call("ModelessCmd", {command}); }
  void setStatusBarText(const std::string& text) override { app_.put("StatusBarText", text); }
  std::string defaultFilePath() const override { return text(app_.get("DefaultFilePath")); }
  void runMacro(const std::string& path, const std::string& macroName) override {
    app_.call("RunMacro", {path, macroName});
  }

 private:
  Automation app_;
  std::string progId_;
  std::unique_ptr<Keep> keep_;
  ComDesign* design_ = nullptr;
};

}  // namespace

std::shared_ptr<pads::Application> comPads(Automation application, std::string progId) {
  return std::make_shared<ComPadsApplication>(std::move(application), std::move(progId));
}

}  // namespace platform::win
