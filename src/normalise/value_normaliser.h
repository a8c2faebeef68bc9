#pragma once
// The value and package rule set applied to one row of a part list: package names of
// small chip parts become a family prefix and a size code, the value is read as a
// number with a unit and optional ratings, the row gets its two sort keys, and under
// ConvertAttributes the value of a resistor, capacitor or inductor is written back in
// a normal form. Pure logic: the drivers read and write the cells.
#include <string>
#include <string_view>

#include "vb/variant.h"

namespace normalise {

// One row as the driver read it, each cell as its text (vb::toText of the cell).
// The views must stay valid for the call.
struct NormaliserRow {
  std::string_view value;       // "Value"
  std::string_view package;     // "PartDecal"
  std::string_view designator;  // "RefDes", as written (upper-cased inside)
};

struct NormalisedRow {
  std::string package;          // the package name, rewritten or as read
  bool packageChanged = false;  // D-Change: "YES" when true
  std::string value;            // the value, rewritten or as read
  bool valueChanged = false;    // V-Change: "YES" when true
  vb::Variant sort1;            // empty, or the value in the base unit of its family
  vb::Variant sort2;            // empty, a number (16 for 16V, 5 for 5%), or a power text such as "1/4"
};

// Applies the rule set to one row. convert: the setting ConvertAttributes is exactly "是".
//
// Package: the first of 0402, 0603, 0805, 1206 that the name contains, behind "C-" when
// the designator contains C or E, else "L-" for L, else "R-" for R.
//
// Value: the upper-cased, trimmed value is split at blanks; the first token is scanned
// for a number and a unit letter (a letter between digits is the decimal point, "4K7";
// a leading R, K, M, P, N, U or H before digits is a point at the start, "R47" = 0.47R),
// the unit table and the capacitor code give the display unit and Sort1, and the "/"
// piece of the first token, the second and the third token give a voltage or power
// rating and a tolerance (Sort2).
//
// The value is rewritten only when convert holds, the designator starts with a family
// prefix (R resistor; C, E, BC capacitor; L inductor), the display unit belongs to that
// family (R/K/M; pF/nF/uF; nH/uH/mH/H), the number is a valid decimal (a text such as
// "1.2.3" keeps the value as read and gives no Sort1), and every non-empty piece of the
// value goes into the new text:
//   - first token: the scan used it whole, or stopped at a letter whose remainder is the
//     F of UF/NF/PF or the H of UH/NH/MH (when the display unit is of that kind), then
//     optionally one "/" piece up to the end that gave the voltage rating and reads, its
//     V removed, wholly as a number ("10UF/16V");
//   - second and third token: empty, or exactly the power ("1/4W") or tolerance ("5%")
//     text that the new value carries (a later token's rating replacing it means unused);
//   - nothing beyond the third token.
// V-Change holds when convert holds, the designator starts with a family prefix and the
// value, trimmed, differs from the value as read (also when it was not rewritten).
NormalisedRow normaliseRow(const NormaliserRow& in, bool convert);

}  // namespace normalise
