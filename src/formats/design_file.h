#pragma once
// The design files of the PADS stand-in: one JSON object per design, read into DesignData and
// written back in the same schema. Every field is optional; a missing field takes a
// plain default (0, false, empty text, no attribute). Coordinates are in the design's
// "unit".
//
//   {"name": "demo.pcb", "unit": "Mil", "defaultFilePath": "C:\\PADS",
//    "gridX": 5, "gridY": 5, "electricalLayerCount": 2,
//    "layers": {"1": "Top", "2": "Bottom"},
//    "parts": [{"name": "R1", "partType": "RES", "decal": "R0603", "pcbDecal": "R0603",
//               "layer": 1, "orientation": 90, "x": 12.5, "y": 3.25, "centerX": 13,
//               "centerY": 3.5, "smd": true, "glued": false, "selected": false,
//               "pins": [{"name": "1", "x": 0, "y": 0}] or a count,
//               "attributes": {"Value": "10K"},
//               "gates": [{"name": "A", "x": 0, "y": 0, "sheet": "Sheet1", "selected": false,
//                          "visibility": [0, 0, 0, 0, 0, 0, 0, 0]}],
//               "labels": [{"kind": "Ref.Des.", "x": 0, "y": 0, "orientation": 0, "display": 1,
//                           "rightReading": 0, "horzJustification": 1, "vertJustification": 1}]}],
//    "jumpers": [{"name": "W1", "length": 2.54, "orientation": 0, "net": "GND"}],
//    "nets": [{"name": "GND", "length": 100}],
//    "vias": [{"name": "V1", "x": 0, "y": 0}] or a count}
//
// Jumpers, nets and pins may carry "selected" too. Unknown fields are ignored; null counts
// as missing. Lists keep their file order, attributes theirs.
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "formats/file_error.h"

namespace formats {

struct AttributeData {
  std::string name;
  std::string value;
  bool operator==(const AttributeData&) const = default;
};

struct PinData {
  std::string name;
  double x = 0, y = 0;
  bool selected = false;
  bool operator==(const PinData&) const = default;
};

// A gate of a PADS Logic part: its place on a sheet and its eight label visibilities.
struct GateData {
  std::string name;
  double x = 0, y = 0;
  std::string sheet;
  bool selected = false;
  std::array<long, 8> visibility{};
  bool operator==(const GateData&) const = default;
};

// A text label of a PADS Layout part; kind is "Ref.Des." or "Value".
struct LabelData {
  std::string kind;
  double x = 0, y = 0, orientation = 0;
  long display = 0;
  long rightReading = 0;
  long horzJustification = 0;
  long vertJustification = 0;
  bool operator==(const LabelData&) const = default;
};

struct PartData {
  std::string name;
  std::string partType;
  std::string decal;     // PADS Layout's Decal
  std::string pcbDecal;  // PADS Logic's PCBDecal
  int layer = 0;         // a layer number, named by DesignData::layers
  double orientation = 0;
  double x = 0, y = 0;  // PositionX, PositionY
  double centerX = 0, centerY = 0;
  bool smd = false;
  bool glued = false;
  bool selected = false;
  // The pins when the file lists them; otherwise pinCount alone says how many there are.
  std::vector<PinData> pins;
  long pinCount = 0;                      // always the number of pins (the list's size when listed)
  std::vector<AttributeData> attributes;  // in file order, names as written
  std::vector<GateData> gates;
  std::vector<LabelData> labels;
  bool operator==(const PartData&) const = default;
};

struct JumperData {
  std::string name;
  double length = 0;
  double orientation = 0;
  std::string net;
  bool selected = false;
  bool operator==(const JumperData&) const = default;
};

struct NetData {
  std::string name;
  double length = 0;
  bool selected = false;
  bool operator==(const NetData&) const = default;
};

struct ViaData {
  std::string name;
  double x = 0, y = 0;
  bool operator==(const ViaData&) const = default;
};

struct DesignData {
  std::string name;             // the file's "name", or the file's base name when it has none
  std::string unit;             // "Mil", "MM", "Inch", ...
  std::string defaultFilePath;  // PADS Logic
  double gridX = 0, gridY = 0;
  long electricalLayerCount = 0;
  std::map<int, std::string> layers;  // layer number -> name
  std::vector<PartData> parts;
  std::vector<JumperData> jumpers;
  std::vector<NetData> nets;
  // Like pins: listed, or only counted.
  std::vector<ViaData> vias;
  long viaCount = 0;
  bool operator==(const DesignData&) const = default;
};

// The design held by this JSON text. fileName names the file in error messages and
// gives the design name when the text has none. Text that is no JSON, or a field of the
// wrong type, is a FileError whose text names the file, the place and what is wrong.
DesignData parseDesign(std::string_view json, const std::string& fileName);
// The JSON text of a design: top-level fields one a line, each list entry on one line.
std::string formatDesign(const DesignData& design);

}  // namespace formats
