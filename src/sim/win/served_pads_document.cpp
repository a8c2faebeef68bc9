// The Application, its Document and what hangs off the document as a whole: collections,
// selection, the view, layers and the router.
#include "platform/win/automation.h"
#include "sim/win/served_pads_session.h"

namespace sim::win::served {

namespace {

using pads::Application;
using pads::Design;

constexpr long kParts = static_cast<long>(pads::ObjectType::Parts);
constexpr long kNets = static_cast<long>(pads::ObjectType::Nets);
constexpr long kGates = static_cast<long>(pads::ObjectType::Gates);

}  // namespace

Kind applicationKind() {
  Kind k = DispatchObject::create();
  k->property("Visible", reads<Application>(&Application::visible), writes<Application>(&Application::setVisible));
  // Nothing while no design is open; the program's own errors (a fault) reach the client.
  k->property("ActiveDocument", on<Application>([](Session& s, Application& app, DispatchCall&) {
                try {
                  return s.document(app.activeDocument());
                } catch (const vb::Error& e) {
                  if (e.number() == vb::kObjectNotSet && !app.hasDocument()) return Automation();
                  throw;
                }
              }));
  k->method("OpenDocument", calls<Application>(&Application::openDocument));
  k->method("ModelessCmd", calls<Application>(&Application::modelessCmd));
  k->property("StatusBarText", {}, writes<Application>(&Application::setStatusBarText));
  k->property("DefaultFilePath", reads<Application>(&Application::defaultFilePath));
  k->method("RunMacro", calls<Application>(&Application::runMacro));
  return k;
}

Kind documentKind() {
  Kind k = DispatchObject::create();
  k->property("Name", reads<Design>(&Design::name)).defaultMember("Name");
  // Without an argument the collection, with a name the object of that name or Nothing.
  k->property("Components", on<Design>([](Session& s, Design& d, DispatchCall& c) {
                if (c.count() > 0) return s.serve(&Kinds::part, d.component(textArg(c, 0)));
                return s.listOf(&Kinds::part, d.components());
              }));
  k->property("Jumpers", on<Design>([](Session& s, Design& d, DispatchCall& c) {
                if (c.count() > 0) return s.serve(&Kinds::jumper, d.jumper(textArg(c, 0)));
                return s.listOf(&Kinds::jumper, d.jumpers());
              }));
  k->property("Nets", on<Design>([](Session& s, Design& d, DispatchCall& c) {
                if (c.count() > 0) return s.serve(&Kinds::net, d.net(textArg(c, 0)));
                // Count by the program's count of nets; Item(k) from its list, asked at the first Item.
                return s.list([&d] { return d.netCount(); },
                              itemsFetchedOnce([&d] { return d.nets(); },
                                               [](Session& inner, pads::Net* n) { return inner.serve(&Kinds::net, n); }));
              }));
  k->property("Pins", on<Design>([](Session& s, Design& d, DispatchCall& c) {
                if (c.count() > 0) return s.serve(&Kinds::pin, d.pin(textArg(c, 0)));
                return s.list([&d] { return d.pinCount(); });
              }));
  k->property("Vias", on<Design>([](Session& s, Design& d, DispatchCall&) {
                return s.list([&d] { return d.viaCount(); });
              }));
  // Layers(number or name) is looked up when its Visible is put: a layer the design
  // lacks is the program's error then.
  k->property("Layers", on<Design>([](Session& s, Design& d, DispatchCall& c) {
                if (c.count() > 0) return s.layer(d, c.arg(0));
                return s.list([&d] { return d.layerCount(); });
              }));
  k->property("Decals", on<Design>([](Session& s, Design& d, DispatchCall& c) {
                return s.serve(&Kinds::decal, d.decalObject(textArg(c, 0)));
              }));
  // GetObjects(type, pattern or missing, selectedOnly): the parts, every net, or the
  // selected gates; what the PADS interface cannot ask is an invalid call.
  k->method("GetObjects", on<Design>([](Session& s, Design& d, DispatchCall& c) {
              const long type = vb::toLong(c.arg(0));
              const std::string pattern = c.has(1) ? textArg(c, 1) : std::string();
              const bool selectedOnly = truthOf(c.arg(2));
              if (type == kParts) return s.listOf(&Kinds::part, d.getParts(pattern, selectedOnly));
              if (type == kNets && pattern.empty() && !selectedOnly) return s.listOf(&Kinds::net, d.nets());
              if (type == kGates && pattern.empty() && selectedOnly) return s.listOf(&Kinds::gate, d.selectedGates());
              vb::raise(vb::kInvalidCall);
            }));
  // SelectObjects(missing, missing, False) clears the selection, (1, missing, True)
  // selects every part.
  k->method("SelectObjects", on<Design>([](Session&, Design& d, DispatchCall& c) {
              const bool select = truthOf(c.arg(2));
              if (!c.has(1) && !c.has(0) && !select) return d.clearSelection();
              if (!c.has(1) && c.has(0) && vb::toLong(c.arg(0)) == kParts && select) return d.selectAllParts();
              vb::raise(vb::kInvalidCall);
            }));
  k->property("ActiveView", on<Design>([](Session& s, Design& d, DispatchCall&) {
                return s.serve(&Kinds::view, &d.activeView());
              }));
  k->property("LayerName", on<Design>([](Session&, Design& d, DispatchCall& c) {
                return d.layerName(static_cast<int>(vb::toLong(c.arg(0))));
              }));
  k->property("ActiveLayer", {}, writes<Design>(&Design::setActiveLayer));
  k->property(
      "unit", on<Design>([](Session&, Design& d, DispatchCall&) { return static_cast<long>(d.unit()); }),
      on<Design>([](Session&, Design& d, DispatchCall& c) {
        d.setUnit(static_cast<pads::Unit>(vb::toLong(c.value())));
      }));
  k->property("GridX", reads<Design>(&Design::gridX));
  k->property("GridY", reads<Design>(&Design::gridY));
  k->property("ElectricalLayerCount", reads<Design>(&Design::electricalLayerCount));
  k->method("SetVisibility", calls<Design>(&Design::setVisibility));
  k->property("Router", on<Design>([](Session& s, Design& d, DispatchCall&) {
                return s.serve(&Kinds::router, &d.router());
              }));
  return k;
}

Kind viewKind() {
  using pads::View;
  Kind k = DispatchObject::create();
  k->method("SetExtentsToSelection", calls<View>(&View::setExtentsToSelection));
  k->property("Zoom", reads<View>(&View::zoom));
  k->method("SetScale", calls<View>(&View::setScale));
  k->method("Refresh", calls<View>(&View::refresh));
  k->method("SetExtents", calls<View>(&View::setExtents));
  k->method("SetExtentsToSheet", calls<View>(&View::setExtentsToSheet));
  return k;
}

Kind routerKind() {
  using pads::Router;
  Kind k = DispatchObject::create();
  k->property("Run", {}, writes<Router>(&Router::setRun));
  k->property("Pause", {}, writes<Router>(&Router::setPause));
  k->method("Optimize", calls<Router>(&Router::optimize));
  k->method("Route", calls<Router>(&Router::route));
  return k;
}

Kind layerKind() {
  Kind k = DispatchObject::create();
  k->property("Visible", {}, withData<LayerKey>([](Session&, LayerKey& layer, DispatchCall& c) {
                const bool visible = truthOf(c.value());
                if (layer.key.isNumber())
                  layer.design->setLayerVisible(static_cast<int>(vb::toLong(layer.key)), visible);
                else
                  layer.design->setLayerVisible(vb::toText(layer.key), visible);
              }));
  return k;
}

Kind listKind() {
  Kind k = DispatchObject::create();
  k->property("Count", withData<List>([](Session&, List& list, DispatchCall&) { return list.count(); }));
  k->property("Item", withData<List>([](Session& s, List& list, DispatchCall& c) {
                if (!list.item) vb::raise(platform::win::kNoSuchMember, "Object doesn't support this property or method");
                return list.item(s, vb::toLong(c.arg(0)));
              }));
  return k;
}

}  // namespace sim::win::served
