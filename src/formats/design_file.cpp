#include "formats/design_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <variant>

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

// The deepest nesting of lists and objects a design file may hold: a design needs a handful
// of levels, and nothing deeper is looked at, so no message or check recurses far.
constexpr int kMaxDepth = 256;

// Whether the value nests lists and objects deeper than kMaxDepth, walked without recursion.
bool nestedTooDeep(const Json& root) {
  std::vector<std::pair<const Json*, int>> open{{&root, 1}};
  while (!open.empty()) {
    auto [v, depth] = open.back();
    open.pop_back();
    if (!v->is_structured()) continue;
    if (depth > kMaxDepth) return true;
    for (const Json& child : *v) open.emplace_back(&child, depth + 1);
  }
  return false;
}

// A value as a message shows it: at most 40 characters, never the whole of a large value.
void showInto(const Json& v, std::string& out, size_t limit) {
  if (out.size() > limit) return;
  if (v.is_array() || v.is_object()) {
    out += v.is_array() ? '[' : '{';
    bool first = true;
    for (auto it = v.begin(); it != v.end() && out.size() <= limit; ++it) {
      if (!first) out += ',';
      first = false;
      if (v.is_object()) out += compact(Json(it.key())) + ':';
      showInto(*it, out, limit);
    }
    out += v.is_array() ? ']' : '}';
    return;
  }
  out += compact(v).substr(0, limit + 1);
}

std::string shown(const Json& v) {
  constexpr size_t kShown = 40;
  std::string s;
  showInto(v, s, kShown);
  if (s.size() > kShown) s = s.substr(0, kShown - 3) + "...";
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

  std::string text(const Json& v, const Where& w) const {
    if (!v.is_string()) wrongType(w, v, "text");
    return v.get<std::string>();
  }
  double number(const Json& v, const Where& w) const {
    if (!v.is_number()) wrongType(w, v, "a number");
    return v.get<double>();
  }
  bool flag(const Json& v, const Where& w) const {
    if (!v.is_boolean()) wrongType(w, v, "true or false");
    return v.get<bool>();
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
    // Named by the bounds the caller gave; a `long` of 32 bits (Windows) shows as its range.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min(), kMax = std::numeric_limits<std::int64_t>::max();
    std::string range = lo == 0 && hi == std::numeric_limits<long>::max() ? "a whole number, 0 or more"
                        : lo == kMin && hi == kMax
                            ? "a whole number of at most 64 bits"
                            : "a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
    fail(w, "must be " + range + ", not " + shown(v));
  }
  long count(const Json& v, const Where& w) const { return whole(v, w, 0); }

 private:
  const std::string& file_;
};

// One visitor made of a lambda for each kind of member.
template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

// A long member read as a count (0 or more) rather than as any whole number.
template <class T>
struct Count {
  long T::*member;
};

// Whether a field is always written or left out while false ("selected").
enum class Written { Always, OnlyWhenTrue };

// One plain field of a struct: its key in the file and its member. The member's type says
// how the value is read and written: text, a coordinate (written through num()), true or
// false, a whole number of the member's size, or a Count.
template <class T>
struct Field {
  const char* key;
  std::variant<std::string T::*, double T::*, bool T::*, int T::*, long T::*, Count<T>> member;
  Written written = Written::Always;

  void read(const Reader& r, const Json& v, const Where& at, T& out) const {
    constexpr int kIntMin = std::numeric_limits<int>::min(), kIntMax = std::numeric_limits<int>::max();
    std::visit(Overloaded{[&](std::string T::*m) { out.*m = r.text(v, at); },
                          [&](double T::*m) { out.*m = r.number(v, at); },
                          [&](bool T::*m) { out.*m = r.flag(v, at); },
                          [&](int T::*m) { out.*m = static_cast<int>(r.whole(v, at, kIntMin, kIntMax)); },
                          [&](long T::*m) { out.*m = r.whole(v, at); },
                          [&](Count<T> c) { out.*c.member = r.count(v, at); }},
               member);
  }
  Json value(const T& item) const {
    return std::visit(Overloaded{[&](double T::*m) { return num(item.*m); },
                                 [&](Count<T> c) { return Json(item.*c.member); },
                                 [&](auto m) { return Json(item.*m); }},
                      member);
  }
};

// The plain fields of a struct, in the order they are read and written. The fields that
// need more (lists, attributes, layers) are read and written after them by the callers.
template <class T, size_t N>
struct Fields {
  std::array<Field<T>, N> rows;

  // The fields obj (an object) holds, read into out; the missing and null ones are left as they are.
  void readInto(const Reader& r, const Json& obj, const Where& w, T& out) const {
    for (const Field<T>& f : rows)
      if (const Json* v = Reader::find(obj, f.key)) f.read(r, *v, w.field(f.key), out);
  }
  // An object of these fields; what it leaves out takes the struct's default.
  T read(const Reader& r, const Json& v, const Where& w) const {
    r.object(v, w);
    T item;
    readInto(r, v, w, item);
    return item;
  }
  // put(key, value) for each field the file gets.
  template <class Put>
  void write(const T& item, Put put) const {
    for (const Field<T>& f : rows) {
      Json value = f.value(item);
      if (f.written == Written::OnlyWhenTrue && value == false) continue;
      put(f.key, std::move(value));
    }
  }
  Json json(const T& item) const {
    Json j = Json::object();
    write(item, [&](const char* key, Json value) { j[key] = std::move(value); });
    return j;
  }
};

template <class T, size_t N>
constexpr Fields<T, N> fieldsOf(Field<T> (&&rows)[N]) {
  return {std::to_array(std::move(rows))};
}

constexpr auto kPinFields = fieldsOf<PinData>({
    {"name", &PinData::name},
    {"x", &PinData::x},
    {"y", &PinData::y},
    {"selected", &PinData::selected, Written::OnlyWhenTrue},
});

constexpr auto kGateFields = fieldsOf<GateData>({
    {"name", &GateData::name},
    {"x", &GateData::x},
    {"y", &GateData::y},
    {"sheet", &GateData::sheet},
    {"selected", &GateData::selected, Written::OnlyWhenTrue},
});

constexpr auto kLabelFields = fieldsOf<LabelData>({
    {"kind", &LabelData::kind},
    {"x", &LabelData::x},
    {"y", &LabelData::y},
    {"orientation", &LabelData::orientation},
    {"display", &LabelData::display},
    {"rightReading", &LabelData::rightReading},
    {"horzJustification", &LabelData::horzJustification},
    {"vertJustification", &LabelData::vertJustification},
});

constexpr auto kPartFields = fieldsOf<PartData>({
    {"name", &PartData::name},
    {"partType", &PartData::partType},
    {"decal", &PartData::decal},
    {"pcbDecal", &PartData::pcbDecal},
    {"layer", &PartData::layer},
    {"orientation", &PartData::orientation},
    {"x", &PartData::x},
    {"y", &PartData::y},
    {"centerX", &PartData::centerX},
    {"centerY", &PartData::centerY},
    {"smd", &PartData::smd},
    {"glued", &PartData::glued},
    {"selected", &PartData::selected, Written::OnlyWhenTrue},
});

constexpr auto kJumperFields = fieldsOf<JumperData>({
    {"name", &JumperData::name},
    {"length", &JumperData::length},
    {"orientation", &JumperData::orientation},
    {"net", &JumperData::net},
    {"selected", &JumperData::selected, Written::OnlyWhenTrue},
});

constexpr auto kNetFields = fieldsOf<NetData>({
    {"name", &NetData::name},
    {"length", &NetData::length},
    {"selected", &NetData::selected, Written::OnlyWhenTrue},
});

constexpr auto kViaFields = fieldsOf<ViaData>({
    {"name", &ViaData::name},
    {"x", &ViaData::x},
    {"y", &ViaData::y},
});

// The top-level fields but for the lists and the layers.
constexpr auto kDesignFields = fieldsOf<DesignData>({
    {"name", &DesignData::name},
    {"unit", &DesignData::unit},
    {"defaultFilePath", &DesignData::defaultFilePath},
    {"gridX", &DesignData::gridX},
    {"gridY", &DesignData::gridY},
    {"electricalLayerCount", Count<DesignData>{&DesignData::electricalLayerCount}},
});

// The entries of a list, each read by entries.read(reader, entry, where): a Fields table,
// or one of the structs below for the entries that hold more than plain fields.
template <class Item, class Entries>
void readEntries(const Reader& r, const Json& list, const Where& at, std::vector<Item>& items,
                 const Entries& entries) {
  items.reserve(list.size());
  for (size_t i = 0; i < list.size(); ++i) items.push_back(entries.read(r, list[i], at.entry(static_cast<long>(i))));
}

template <class Item, class Entries>
void readList(const Reader& r, const Json& obj, const char* key, const Where& w, std::vector<Item>& items,
              const Entries& entries) {
  if (const Json* v = r.list(obj, key, w)) readEntries(r, *v, w.field(key), items, entries);
}

// A field that holds either a list of objects or only their number ("pins", "vias").
template <class Item, class Entries>
void readListOrCount(const Reader& r, const Json& obj, const char* key, const Where& w, std::vector<Item>& items,
                     long& count, const Entries& entries) {
  const Json* v = Reader::find(obj, key);
  if (!v) return;
  Where at = w.field(key);
  if (v->is_number()) {
    count = r.count(*v, at);
    return;
  }
  if (!v->is_array()) r.wrongType(at, *v, "a list or a count");
  readEntries(r, *v, at, items, entries);
  count = static_cast<long>(items.size());
}

// The entries of a list as a JSON list, each written by entries.json(item).
template <class Item, class Entries>
Json listJson(const std::vector<Item>& items, const Entries& entries) {
  Json list = Json::array();
  for (const auto& item : items) list.push_back(entries.json(item));
  return list;
}

// A gate: its plain fields, then up to eight visibilities (those left out are 0).
struct GateEntries {
  GateData read(const Reader& r, const Json& v, const Where& w) const {
    GateData g = kGateFields.read(r, v, w);
    if (const Json* vis = r.list(v, "visibility", w)) {
      Where at = w.field("visibility");
      if (vis->size() > g.visibility.size()) r.fail(at, "must hold at most 8 numbers, not " + shown(*vis));
      for (size_t i = 0; i < vis->size(); ++i) g.visibility[i] = r.whole((*vis)[i], at.entry(static_cast<long>(i)));
    }
    return g;
  }
  Json json(const GateData& g) const {
    Json j = kGateFields.json(g);
    j["visibility"] = g.visibility;
    return j;
  }
};

// A part: its plain fields, then its pins (a list or a count), its attributes in their
// order, and its gates and labels, which are written only when it has some.
struct PartEntries {
  PartData read(const Reader& r, const Json& v, const Where& w) const {
    PartData p = kPartFields.read(r, v, w);
    readListOrCount(r, v, "pins", w, p.pins, p.pinCount, kPinFields);
    if (const Json* attrs = Reader::find(v, "attributes")) {
      Where at = w.field("attributes");
      r.object(*attrs, at);
      p.attributes.reserve(attrs->size());
      for (const auto& [key, value] : attrs->items()) p.attributes.push_back({key, r.text(value, at.field(key))});
    }
    readList(r, v, "gates", w, p.gates, GateEntries{});
    readList(r, v, "labels", w, p.labels, kLabelFields);
    return p;
  }
  Json json(const PartData& p) const {
    Json j = kPartFields.json(p);
    j["pins"] = p.pins.empty() ? Json(p.pinCount) : listJson(p.pins, kPinFields);
    Json attrs = Json::object();
    for (const auto& a : p.attributes) attrs[a.name] = a.value;
    j["attributes"] = std::move(attrs);
    if (!p.gates.empty()) j["gates"] = listJson(p.gates, GateEntries{});
    if (!p.labels.empty()) j["labels"] = listJson(p.labels, kLabelFields);
    return j;
  }
};

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

// A top-level list: each entry on a line of its own.
template <class Item, class Entries>
std::string listText(const std::vector<Item>& items, const Entries& entries) {
  if (items.empty()) return "[]";
  std::string s = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    s += i == 0 ? "\n    " : ",\n    ";
    s += compact(entries.json(items[i]));
  }
  return s + "\n  ]";
}

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
  if (nestedTooDeep(j)) r.fail("the design nests lists and objects deeper than " + std::to_string(kMaxDepth) + " levels");
  r.object(j, root);

  DesignData d;
  d.name = platform::baseName(fileName);  // unless the file names the design
  kDesignFields.readInto(r, j, root, d);
  if (const Json* v = Reader::find(j, "layers")) readLayers(r, *v, root.field("layers"), d.layers);
  readList(r, j, "parts", root, d.parts, PartEntries{});
  readList(r, j, "jumpers", root, d.jumpers, kJumperFields);
  readList(r, j, "nets", root, d.nets, kNetFields);
  readListOrCount(r, j, "vias", root, d.vias, d.viaCount, kViaFields);
  return d;
}

std::string formatDesign(const DesignData& d) {
  std::string out = "{";
  bool first = true;
  kDesignFields.write(d, [&](const char* key, const Json& value) { putField(out, first, key, compact(value)); });
  Json layers = Json::object();
  for (const auto& [number, name] : d.layers) layers[std::to_string(number)] = name;
  putField(out, first, "layers", compact(layers));
  putField(out, first, "parts", listText(d.parts, PartEntries{}));
  putField(out, first, "jumpers", listText(d.jumpers, kJumperFields));
  putField(out, first, "nets", listText(d.nets, kNetFields));
  putField(out, first, "vias", d.vias.empty() ? compact(d.viaCount) : listText(d.vias, kViaFields));
  out += "\n}\n";
  return out;
}

}  // namespace formats
