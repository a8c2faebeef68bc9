#pragma once
// What the PADS part lists share: attaching to the PADS program (or starting it and
// opening a design the user picks), reading the part count, a part's value and
// attributes, and the records of one placed part and one jumper.
#include <string>
#include <vector>

#include "platform/tool_state.h"
#include "platform/pads.h"
#include "platform/spreadsheet.h"
#include "vb/variant.h"

namespace capture {

inline constexpr const char* kNoComponentsMessage = "No Components Export!!!";

// What AttachPadsDesign does with an empty path when it had to start the program.
enum class EmptyPathRule {
  Abandon,   // the import is abandoned: abortFlag "ON"
  OpenAnyway,  // the path is not tested: the program opens it and the failure is skipped
};

struct PadsDesign {
  // The attached or started program; empty when neither worked (the import then goes on
  // without a program and finds no parts).
  platform::pads::AppPtr app;
  bool abandoned = false;
};

// AttachPadsDesign: the running instance of progId; when none runs, it is started, the
// user picks a design file in the toolbar's dialog, the program is made visible and the
// file opened. The program is made visible also when the user cancels, so a program
// started here is never left hidden. Every step is skipped on failure.
PadsDesign attachPadsDesign(platform::ToolContext& t, const std::string& progId, const std::string& filter,
                            const std::string& title, EmptyPathRule rule);

// The number of parts of the program's active design; 0 when it cannot be read (no
// program, no design, a failing call), so the caller takes the no-parts path instead of
// going on with an earlier run's count.
long readPartCount(const platform::pads::AppPtr& app);
// The active design's name; "" when it cannot be read.
std::string readDesignName(const platform::pads::AppPtr& app);

// PartValueText: the part's "Value" attribute, or the placeholder when it has none.
std::string partValueText(const platform::pads::Part& part, const std::string& placeholder);
// Any attribute read the same way.
std::string attributeText(const platform::pads::Part& part, const std::string& name, const std::string& placeholder);

// Which pair of coordinates a PADS Layout list reads.
enum class Coordinates { Position, Centre };

// PartRecord: the fields read for one placed part.
struct PartRecord {
  std::string designator;
  std::string value;  // placeholder "NC"
  std::string extra;  // the attribute the list names; "" when the part has none
  std::string decal;
  long pins = 0;
  std::string side;   // the design's name of the part's layer, "Top" or "Bottom"
  double orientation = 0;
  double x = 0, y = 0;
  bool smd = false, glued = false;
};

// A PADS Logic part: designator, value, the attribute named extraName, PCB decal.
PartRecord readLogicPart(const platform::pads::Part& part, const std::string& extraName);
// A PADS Layout part: every field; the extra attribute only when extraName is given.
PartRecord readLayoutPart(const platform::pads::Design& design, const platform::pads::Part& part,
                          const std::string* extraName, Coordinates which);

// JumperRecord: the fields read for one jumper. The lists read no net.
struct JumperRecord {
  std::string name;
  double length = 0;
  double orientation = 0;
  std::string net;
};
JumperRecord readJumperRecord(const platform::pads::Jumper& jumper, bool withNet = false);

// How the PADS Layout lists write a record's values.
std::string yesNo(bool b);
// X of a part row: the "0.000" text, or minus that number when bottom-side X is mirrored
// and the side is exactly "Bottom".
vb::Variant coordinateX(double x, const std::string& side, bool mirrorBottom);
vb::Variant coordinateY(double y);

// Columns A to M of a PADS Layout list's part row i: number i, value, decal, the text "1",
// designator, columnF, pins, side, orientation, X, Y, SMD and glued as "Yes"/"No".
void putLayoutPartRow(vb::Table& rows, long i, PartRecord&& part, vb::Variant columnF, bool mirrorBottom);
// The jumper rows of a PADS Layout list, `width` columns wide, numbered on after the
// parts: number, length, length, 1, name, columnF, 2, "Top", orientation, "", "", "No".
vb::Table layoutJumperRows(const std::vector<platform::pads::Jumper*>& jumpers, long parts, long width,
                           const vb::Variant& columnF);

// Writes a PADS Layout list on sheet 2 of a new report workbook: the text format on
// A1:F of the last row, the part rows at A2, the jumper rows right below them (skipped
// when that write fails), the 13 headings in A1:M1 with the list header look and a filter
// down to the last row. Returns the sheet.
platform::xl::SheetPtr writeLayoutList(platform::xl::Application& app, const vb::Table& parts,
                                       const vb::Table& jumpers, const vb::Table& headings);

}  // namespace capture
