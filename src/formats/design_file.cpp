#include "formats/design_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

#include "formats/file_error.h"
#include "platform/files.h"

namespace formats {

namespace {

// Ordered, so that attributes keep the order the file gives them.
using Json = nlohmann::ordered_json;

// Where a value stands in the file ("parts[3].attributes.Value"), kept as a chain of
// frames on the stack so that the text is only built for an error message.
struct Where {
  const Where* parent = nullptr;
  std::string_view key;  // a field name; empty for a list entry
  long index = -1;       // the index of a list entry

  Where field(std::string_view k) const { return Where{this, k, -1}; }
  Where entry(long i) const { return Where{this, {}, i}; }
  std::string text() const {
    std::string prefix = parent ? parent->text() : std::string();
    if (index >= 0) return prefix + "[" + std::to_string(index) + "]";
    if (prefix.empty()) return std::string(key);
    return prefix + "." + std::string(key);
  }
};

std::string compact(const Json& v) { return v.dump(-1, ' ', false, Json::error_handler_t::replace); }

// A coordinate or length as the file holds it: whole values without a ".0", as one writes them.
Json num(double d) {
  if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15) return static_cast<std::int64_t>(d);
  return d;
}

// A value as a message shows it, shortened.
std::string shown(const Json& v) {
  std::string s = compact(v);
  if (s.size() > 40) s = s.substr(0, 37) + "...";
  return s;
}

// Reads the fields of one file; every failure names the file and the place.
class Reader {
 public:
  explicit Reader(const std::string& file) : file_(file) {}

  [[noreturn]] void fail(const std::string& what) const { fail("", what); }
  [[noreturn]] void fail(const Where& w, const std::string& what) const {
    std::string place = w.text();
    fail(place.empty() ? std::string("the design") : place, what);
  }
  [[noreturn]] void fail(const std::string& place, const std::string& what) const {
    throw FileError(FileError::Kind::Malformed, file_, place, what,
                    "Bad design file \"" + file_ + "\": " + (place.empty() ? what : place + " " + what));
  }
  [[noreturn]] void wrongType(const Where& w, const Json& v, const char* wanted) const {
    fail(w, std::string("must be ") + wanted + ", not " + shown(v));
  }

  // The field's value, or nothing when it is missing or null.
  static const Json* find(const Json& obj, const char* key) {
    auto it = obj.find(key);
    if (it == obj.end() || it->is_null()) return nullptr;
    return &*it;
  }

  const Json& object(const Json& v, const Where& w) const {
    if (!v.is_object()) wrongType(w, v, "an object");
    return v;
  }
  const Json* list(const Json& obj, const char* key, const Where& w) const {
    const Json* v = find(obj, key);
    if (v && !v->is_array()) wrongType(w.field(key), *v, "a list");
    return v;
  }

  void get(const Json& obj, const char* key, const Where& w, std::string& out) const {
    if (const Json* v = find(obj, key)) out = text(*v, w.field(key));
  }
  void get(const Json& obj, const char* key, const Where& w, double& out) const {
    if (const Json* v = find(obj, key)) out = number(*v, w.field(key));
  }
  void get(const Json& obj, const char* key, const Where& w, bool& out) const {
    const Json* v = find(obj, key);
    if (!v) return;
    if (!v->is_boolean()) wrongType(w.field(key), *v, "true or false");
    out = v->get<bool>();
  }
  void get(const Json& obj, const char* key, const Where& w, int& out) const {
    if (const Json* v = find(obj, key))
      out = static_cast<int>(whole(*v, w.field(key), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  }
  void get(const Json& obj, const char* key, const Where& w, long& out) const {
    if (const Json* v = find(obj, key)) out = whole(*v, w.field(key));
  }

  std::string text(const Json& v, const Where& w) const {
    if (!v.is_string()) wrongType(w, v, "text");
    return v.get<std::string>();
  }
  double number(const Json& v, const Where& w) const {
    if (!v.is_number()) wrongType(w, v, "a number");
    return v.get<double>();
  }
  long whole(const Json& v, const Where& w, long lo = std::numeric_limits<long>::min(),
             long hi = std::numeric_limits<long>::max()) const {
    if (v.is_number_unsigned()) {
      auto u = v.get<std::uint64_t>();
      if (hi >= 0 && u <= static_cast<std::uint64_t>(hi)) return static_cast<long>(u);
    } else if (v.is_number_integer()) {
      auto i = v.get<std::int64_t>();
      if (i >= lo && i <= hi) return static_cast<long>(i);
    } else if (v.is_number_float()) {
      double d = v.get<double>();
      if (d != std::floor(d)) wrongType(w, v, "a whole number");
      // Compared as doubles: the bounds' conversion may round up, hence the strict upper test.
      if (d >= static_cast<double>(lo) && d < static_cast<double>(hi) + 1.0) return static_cast<long>(d);
    } else {
      wrongType(w, v, "a whole number");
    }
    constexpr long kMin = std::numeric_limits<long>::min(), kMax = std::numeric_limits<long>::max();
    std::string range = lo == 0 && hi == kMax ? "a whole number, 0 or more"
                        : lo == kMin && hi == kMax
                            ? "a whole number of at most 64 bits"
                            : "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
    fail(w, "must be " + range + ", not " + shown(v));
  }
  long count(const Json& v, const Where& w) const { return whole(v, w, 0); }

 private:
  const std::string& file_;
};

// The entries of a list, each read by readItem(reader, entry, where).
template <class Item, class ReadItem>
void readEntries(const Reader& r, const Json& list, const Where& at, std::vector<Item>& items, ReadItem readItem) {
  items.reserve(list.size());
  for (size_t i = 0; i < list.size(); ++i) items.push_back(readItem(r, list[i], at.entry(static_cast<long>(i))));
}

template <class Item, class ReadItem>
void readList(const Reader& r, const Json& obj, const char* key, const Where& w, std::vector<Item>& items,
              ReadItem readItem) {
  if (const Json* v = r.list(obj, key, w)) readEntries(r, *v, w.field(key), items, readItem);
}

// A field that holds either a list of objects or only their number ("pins", "vias").
template <class Item, class ReadItem>
void readListOrCount(const Reader& r, const Json& obj, const char* key, const Where& w, std::vector<Item>& items,
                     long& count, ReadItem readItem) {
  const Json* v = Reader::find(obj, key);
  if (!v) return;
  Where at = w.field(key);
  if (v->is_number()) {
    count = r.count(*v, at);
    return;
  }
  if (!v->is_array()) r.wrongType(at, *v, "a list or a count");
  readEntries(r, *v, at, items, readItem);
  count = static_cast<long>(items.size());
}

PinData readPin(const Reader& r, const Json& v, const Where& w) {
  r.object(v, w);
  PinData p;
  r.get(v, "name", w, p.name);
  r.get(v, "x", w, p.x);
  r.get(v, "y", w, p.y);
  r.get(v, "selected", w, p.selected);
  return p;
}

GateData readGate(const Reader& r, const Json& v, const Where& w) {
  r.object(v, w);
  GateData g;
  r.get(v, "name", w, g.name);
  r.get(v, "x", w, g.x);
  r.get(v, "y", w, g.y);
  r.get(v, "sheet", w, g.sheet);
  r.get(v, "selected", w, g.selected);
  if (const Json* vis = r.list(v, "visibility", w)) {
    Where at = w.field("visibility");
    if (vis->size() > g.visibility.size()) r.fail(at, "must hold at most 8 numbers, not " + shown(*vis));
    for (size_t i = 0; i < vis->size(); ++i) g.visibility[i] = r.whole((*vis)[i], at.entry(static_cast<long>(i)));
  }
  return g;
}

LabelData readLabel(const Reader& r, const Json& v, const Where& w) {
  r.object(v, w);
  LabelData l;
  r.get(v, "kind", w, l.kind);
  r.get(v, "x", w, l.x);
  r.get(v, "y", w, l.y);
  r.get(v, "orientation", w, l.orientation);
  r.get(v, "display", w, l.display);
  r.get(v, "rightReading", w, l.rightReading);
  r.get(v, "horzJustification", w, l.horzJustification);
  r.get(v, "vertJustification", w, l.vertJustification);
  return l;
}

PartData readPart(const Reader& r, const Json& v, const Where& w) {
  r.object(v, w);
  PartData p;
  r.get(v, "name", w, p.name);
  r.get(v, "partType", w, p.partType);
  r.get(v, "decal", w, p.decal);
  r.get(v, "pcbDecal", w, p.pcbDecal);
  r.get(v, "layer", w, p.layer);
  r.get(v, "orientation", w, p.orientation);
  r.get(v, "x", w, p.x);
  r.get(v, "y", w, p.y);
  r.get(v, "centerX", w, p.centerX);
  r.get(v, "centerY", w, p.centerY);
  r.get(v, "smd", w, p.smd);
  r.get(v, "glued", w, p.glued);
  r.get(v, "selected", w, p.selected);
  readListOrCount(r, v, "pins", w, p.pins, p.pinCount, readPin);
  if (const Json* attrs = Reader::find(v, "attributes")) {
    Where at = w.field("attributes");
    r.object(*attrs, at);
    p.attributes.reserve(attrs->size());
    for (const auto& [key, value] : attrs->items()) p.attributes.push_back({key, r.text(value, at.field(key))});
  }
  readList(r, v, "gates", w, p.gates, readGate);
  readList(r, v, "labels", w, p.labels, readLabel);
  return p;
}

JumperData readJumper(const Reader& r, const Json& v, const Where& w) {
  r.object(v, w);
  JumperData j;
  r.get(v, "name", w, j.name);
  r.get(v, "length", w, j.length);
  r.get(v, "orientation", w, j.orientation);
  r.get(v, "net", w, j.net);
  r.get(v, "selected", w, j.selected);
  return j;
}

NetData readNet(const Reader& r, const Json& v, const Where& w) {
  r.object(v, w);
  NetData n;
  r.get(v, "name", w, n.name);
  r.get(v, "length", w, n.length);
  r.get(v, "selected", w, n.selected);
  return n;
}

ViaData readVia(const Reader& r, const Json& v, const Where& w) {
  r.object(v, w);
  ViaData via;
  r.get(v, "name", w, via.name);
  r.get(v, "x", w, via.x);
  r.get(v, "y", w, via.y);
  return via;
}

void readLayers(const Reader& r, const Json& v, const Where& w, std::map<int, std::string>& layers) {
  r.object(v, w);
  for (const auto& [key, name] : v.items()) {
    Where at = w.field(key);
    int number = 0;
    auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (ec != std::errc() || end != key.data() + key.size() || key.empty())
      r.fail(at, "is not a layer number (the keys of \"layers\" are whole numbers)");
    layers[number] = r.text(name, at);
  }
}

bool blank(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// The text after nlohmann's "[json.exception.parse_error.101] " tag.
std::string untagged(const char* what) {
  std::string s = what;
  size_t p = s.find("] ");
  return p == std::string::npos ? s : s.substr(p + 2);
}

// One field of the top-level object, on its own line.
void putField(std::string& out, bool& first, const char* key, const std::string& valueJson) {
  out += first ? "\n  \"" : ",\n  \"";
  first = false;
  out += key;
  out += "\": ";
  out += valueJson;
}

template <class Item, class ToJson>
std::string listText(const std::vector<Item>& items, ToJson toJson) {
  if (items.empty()) return "[]";
  std::string s = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    s += i == 0 ? "\n    " : ",\n    ";
    s += compact(toJson(items[i]));
  }
  return s + "\n  ]";
}

Json pinJson(const PinData& p) {
  Json j = {{"name", p.name}, {"x", num(p.x)}, {"y", num(p.y)}};
  if (p.selected) j["selected"] = true;
  return j;
}

Json gateJson(const GateData& g) {
  Json j = {{"name", g.name}, {"x", num(g.x)}, {"y", num(g.y)}, {"sheet", g.sheet}};
  if (g.selected) j["selected"] = true;
  j["visibility"] = g.visibility;
  return j;
}

Json labelJson(const LabelData& l) {
  return {{"kind", l.kind},
          {"x", num(l.x)},
          {"y", num(l.y)},
          {"orientation", num(l.orientation)},
          {"display", l.display},
          {"rightReading", l.rightReading},
          {"horzJustification", l.horzJustification},
          {"vertJustification", l.vertJustification}};
}

Json partJson(const PartData& p) {
  Json j = {{"name", p.name},
            {"partType", p.partType},
            {"decal", p.decal},
            {"pcbDecal", p.pcbDecal},
            {"layer", p.layer},
            {"orientation", num(p.orientation)},
            {"x", num(p.x)},
            {"y", num(p.y)},
            {"centerX", num(p.centerX)},
            {"centerY", num(p.centerY)},
            {"smd", p.smd},
            {"glued", p.glued}};
  if (p.selected) j["selected"] = true;
  if (!p.pins.empty()) {
    Json pins = Json::array();
    for (const auto& pin : p.pins) pins.push_back(pinJson(pin));
    j["pins"] = std::move(pins);
  } else {
    j["pins"] = p.pinCount;
  }
  Json attrs = Json::object();
  for (const auto& a : p.attributes) attrs[a.name] = a.value;
  j["attributes"] = std::move(attrs);
  if (!p.gates.empty()) {
    Json gates = Json::array();
    for (const auto& g : p.gates) gates.push_back(gateJson(g));
    j["gates"] = std::move(gates);
  }
  if (!p.labels.empty()) {
    Json labels = Json::array();
    for (const auto& l : p.labels) labels.push_back(labelJson(l));
    j["labels"] = std::move(labels);
  }
  return j;
}

Json jumperJson(const JumperData& w) {
  Json j = {{"name", w.name}, {"length", num(w.length)}, {"orientation", num(w.orientation)}, {"net", w.net}};
  if (w.selected) j["selected"] = true;
  return j;
}

Json netJson(const NetData& n) {
  Json j = {{"name", n.name}, {"length", num(n.length)}};
  if (n.selected) j["selected"] = true;
  return j;
}

Json viaJson(const ViaData& v) { return {{"name", v.name}, {"x", num(v.x)}, {"y", num(v.y)}}; }

}  // namespace

DesignData parseDesign(std::string_view json, const std::string& fileName) {
  Reader r(fileName);
  if (blank(json)) r.fail("the file is empty");
  Json j;
  try {
    j = Json::parse(json.begin(), json.end(), nullptr, true, /*ignore_comments=*/true);
  } catch (const Json::parse_error& e) {
    r.fail("not JSON: " + untagged(e.what()));
  } catch (const Json::exception& e) {  // a number too large for a double
    r.fail(untagged(e.what()));
  }
  const Where root;
  r.object(j, root);

  DesignData d;
  r.get(j, "name", root, d.name);
  if (!Reader::find(j, "name")) d.name = platform::baseName(fileName);
  r.get(j, "unit", root, d.unit);
  r.get(j, "defaultFilePath", root, d.defaultFilePath);
  r.get(j, "gridX", root, d.gridX);
  r.get(j, "gridY", root, d.gridY);
  if (const Json* v = Reader::find(j, "electricalLayerCount"))
    d.electricalLayerCount = r.count(*v, root.field("electricalLayerCount"));
  if (const Json* v = Reader::find(j, "layers")) readLayers(r, *v, root.field("layers"), d.layers);
  readList(r, j, "parts", root, d.parts, readPart);
  readList(r, j, "jumpers", root, d.jumpers, readJumper);
  readList(r, j, "nets", root, d.nets, readNet);
  readListOrCount(r, j, "vias", root, d.vias, d.viaCount, readVia);
  return d;
}

std::string formatDesign(const DesignData& d) {
  std::string out = "{";
  bool first = true;
  putField(out, first, "name", compact(d.name));
  putField(out, first, "unit", compact(d.unit));
  putField(out, first, "defaultFilePath", compact(d.defaultFilePath));
  putField(out, first, "gridX", compact(num(d.gridX)));
  putField(out, first, "gridY", compact(num(d.gridY)));
  putField(out, first, "electricalLayerCount", compact(d.electricalLayerCount));
  Json layers = Json::object();
  for (const auto& [number, name] : d.layers) layers[std::to_string(number)] = name;
  putField(out, first, "layers", compact(layers));
  putField(out, first, "parts", listText(d.parts, partJson));
  putField(out, first, "jumpers", listText(d.jumpers, jumperJson));
  putField(out, first, "nets", listText(d.nets, netJson));
  putField(out, first, "vias", d.vias.empty() ? compact(d.viaCount) : listText(d.vias, viaJson));
  out += "\n}\n";
  return out;
}

}  // namespace formats
