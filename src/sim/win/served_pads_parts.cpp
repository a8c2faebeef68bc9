// The objects of a design: parts with their attributes, gates, labels and pins; jumpers,
// nets, pins and decals.
#include "sim/win/served_pads_session.h"

namespace sim::win::served {

namespace {

using pads::Part;

// Name (the default value) of an object that is a name and nothing more.
Handler nameOfNamed() {
  return withData<Named>([](Session&, Named& n, DispatchCall&) { return n.name; });
}

template <class T>
Kind sheetKind() {
  Kind k = DispatchObject::create();
  k->method("Activate", calls<T>(&T::activateSheet));
  return k;
}

}  // namespace

Kind partKind() {
  Kind k = DispatchObject::create();
  k->property("Name", reads<Part>(&Part::name), writes<Part>(&Part::rename));
  k->property("PartType", reads<Part>(&Part::partType));
  k->property("PCBDecal", reads<Part>(&Part::pcbDecal));
  k->property("Decal", reads<Part>(&Part::decal));
  k->property("layer", reads<Part>(&Part::layer));
  k->property("Orientation", reads<Part>(&Part::orientation));
  k->property("PositionX", reads<Part>(&Part::positionX));
  k->property("PositionY", reads<Part>(&Part::positionY));
  k->property("CenterX", reads<Part>(&Part::centerX));
  k->property("CenterY", reads<Part>(&Part::centerY));
  k->property("IsSMD", reads<Part>(&Part::isSMD));
  k->property("Glued", reads<Part>(&Part::glued));
  k->property("Selected", reads<Part>(&Part::selected), writes<Part>(&Part::setSelected));
  // Attributes(name): the attribute or Nothing; Attributes: the list that adds and deletes.
  k->property("Attributes", on<Part>([](Session& s, Part& p, DispatchCall& c) {
                if (c.count() > 0) return s.serve(&Kinds::attribute, p.attribute(textArg(c, 0)));
                return s.serve(&Kinds::attributes, &p);
              }));
  k->property("Gates", on<Part>([](Session& s, Part& p, DispatchCall& c) {
                return s.serve(&Kinds::gate, p.gate(static_cast<int>(vb::toLong(c.arg(0)))));
              }));
  k->property("Labels", on<Part>([](Session& s, Part& p, DispatchCall&) { return s.listOf(&Kinds::label, p.labels()); }));
  // Count by the part's pin count; Item(k) from its pin names, asked at the first Item.
  k->property("Pins", on<Part>([](Session& s, Part& p, DispatchCall&) {
                return s.list([&p] { return p.pinCount(); },
                              itemsFetchedOnce([&p] { return p.pinNames(); },
                                               [](Session& inner, const std::string& name) { return inner.named(name); }));
              }));
  return k;
}

Kind attributesKind() {
  Kind k = DispatchObject::create();
  k->method("Add", calls<Part>(&Part::addAttribute));
  k->method("Delete", calls<Part>(&Part::deleteAttribute));
  return k;
}

Kind attributeKind() {
  using Attribute = const pads::Attribute;
  Kind k = DispatchObject::create();
  k->property("Name", reads<Attribute>(&pads::Attribute::name));
  k->property("Value", reads<Attribute>(&pads::Attribute::value)).defaultMember("Value");
  return k;
}

Kind gateKind() {
  using pads::Gate;
  Kind k = DispatchObject::create();
  k->property("PositionX", reads<Gate>(&Gate::positionX));
  k->property("PositionY", reads<Gate>(&Gate::positionY));
  k->property("Sheet", on<Gate>([](Session& s, Gate& g, DispatchCall&) { return s.serve(&Kinds::gateSheet, &g); }));
  // Visibility(index) = value.
  k->property("Visibility", {}, on<Gate>([](Session&, Gate& g, DispatchCall& c) {
                g.setVisibility(static_cast<int>(vb::toLong(c.arg(0))), vb::toLong(c.value()));
              }));
  return k;
}

Kind gateSheetKind() { return sheetKind<pads::Gate>(); }
Kind pinSheetKind() { return sheetKind<pads::Pin>(); }

Kind labelKind() {
  using pads::Label;
  Kind k = DispatchObject::create();
  // Its text, the default value, is its kind.
  k->property("Text", reads<Label>(&Label::kind)).defaultMember("Text");
  k->property("PositionX", reads<Label>(&Label::positionX), writes<Label>(&Label::setPositionX));
  k->property("PositionY", reads<Label>(&Label::positionY), writes<Label>(&Label::setPositionY));
  k->property("Orientation", reads<Label>(&Label::orientation), writes<Label>(&Label::setOrientation));
  k->property("RightReading", reads<Label>(&Label::rightReading), writes<Label>(&Label::setRightReading));
  k->property("HorzJustification", reads<Label>(&Label::horzJustification),
              writes<Label>(&Label::setHorzJustification));
  k->property("VertJustification", reads<Label>(&Label::vertJustification),
              writes<Label>(&Label::setVertJustification));
  k->property("Display", {}, writes<Label>(&Label::setDisplay));
  return k;
}

Kind jumperKind() {
  using pads::Jumper;
  Kind k = DispatchObject::create();
  k->property("Name", reads<Jumper>(&Jumper::name));
  k->property("Length", reads<Jumper>(&Jumper::length));
  k->property("Orientation", reads<Jumper>(&Jumper::orientation));
  // Net: the jumper's net, an object whose Name is the net's name.
  k->property("Net", on<Jumper>([](Session& s, Jumper& j, DispatchCall&) { return s.named(j.netName()); }));
  k->property("Selected", reads<Jumper>(&Jumper::selected), writes<Jumper>(&Jumper::setSelected));
  return k;
}

Kind namedKind() {
  Kind k = DispatchObject::create();
  k->property("Name", nameOfNamed()).defaultMember("Name");
  return k;
}

Kind netKind() {
  using pads::Net;
  Kind k = DispatchObject::create();
  k->property("Name", reads<Net>(&Net::name));
  k->property("Length", reads<Net>(&Net::length));
  k->property("Selected", {}, writes<Net>(&Net::setSelected));
  return k;
}

Kind pinKind() {
  using pads::Pin;
  Kind k = DispatchObject::create();
  k->property("Name", reads<Pin>(&Pin::name));
  k->property("PositionX", reads<Pin>(&Pin::positionX));
  k->property("PositionY", reads<Pin>(&Pin::positionY));
  k->property("Sheet", on<Pin>([](Session& s, Pin& p, DispatchCall&) { return s.serve(&Kinds::pinSheet, &p); }));
  k->property("Selected", {}, writes<Pin>(&Pin::setSelected));
  return k;
}

Kind decalKind() {
  using pads::DecalObject;
  Kind k = DispatchObject::create();
  k->property("Name", reads<DecalObject>(&DecalObject::name));
  k->property("Selected", {}, writes<DecalObject>(&DecalObject::setSelected));
  return k;
}

}  // namespace sim::win::served
