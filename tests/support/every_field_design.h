#pragma once
// A design with every field of the design-file schema set to something other than its
// default, for the tests of the design file and of the PADS stand-in.
#include "formats/design_file.h"

namespace testing_support {

inline formats::DesignData everyFieldDesign() {
  formats::DesignData d;
  d.name = "every.pcb";
  d.unit = "MM";
  d.defaultFilePath = "C:\\PADS\\work";
  d.gridX = 0.5;
  d.gridY = 1.25;
  d.electricalLayerCount = 6;
  d.layers = {{1, "Top"}, {2, "Bottom"}, {12, "Silk 12"}};
  formats::PartData p;
  p.name = "U1";
  p.partType = "MCU";
  p.decal = "QFP64";
  p.pcbDecal = "QFP64-L";
  p.layer = 2;
  p.orientation = 270.5;
  p.x = -12.345;
  p.y = 0.1;
  p.centerX = 7;
  p.centerY = 1e-3;
  p.smd = true;
  p.glued = true;
  p.selected = true;
  p.pins = {{"1", 1.5, 2.5, true}, {"2", -3, 4, false}};
  p.pinCount = 2;
  p.attributes = {{"Value", "STM32"}, {"Comment", "MCU \"main\""}, {"Acc", "值"}};
  p.gates = {{"A", 10, 20, "Sheet 2", true, {1, 0, 1, 0, 1, 0, 1, 1}}};
  p.labels = {{"Ref.Des.", 1, 2, 90, 1, 1, 2, 3}, {"Value", -1, -2, 180, 0, 0, 1, 1}};
  d.parts.push_back(p);
  formats::PartData counted;
  counted.name = "R2";
  counted.pinCount = 14;
  d.parts.push_back(counted);
  d.jumpers = {{"W1", 2.54, 90, "GND", true}};
  d.nets = {{"GND", 33.5, true}, {"VCC", 0, false}};
  d.vias = {{"V1", 1, 2}};
  d.viaCount = 1;
  return d;
}

}  // namespace testing_support
