#pragma once
// Styles of an .xlsx package: number formats, fonts, fills, borders and the cell
// formats (cellXfs) built from them, as the Style of each cell format index.
// Colours inside the package are RGB (0xRRGGBB); a Style's colours are
// red + 256 * green + 65536 * blue.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sheet_types.h"

namespace formats {

class XlsxPackage;

inline long styleColour(uint32_t rgb) {
  return static_cast<long>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}
inline uint32_t rgbColour(long colour) {
  auto c = static_cast<uint32_t>(colour) & 0xFFFFFF;
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The spreadsheet's legacy palette: index 0..63 (8..63 are ColorIndex 1..56).
uint32_t paletteColour(int index);
// The ColorIndex (1..56) of a palette colour, or nothing.
std::optional<int> colorIndexOf(uint32_t rgb);

// The format text of a built-in number format id ("General" for an unknown id).
std::string builtInNumberFormat(int id);
// The built-in id (1..49) of a number format text, or nothing.
std::optional<int> builtInNumberFormatId(const std::string& format);

// The twelve colours of the theme part by the theme index that cells use (lt1, dk1,
// lt2, dk2, accent1..6, hlink, folHlink), the default Office theme when there is no part.
std::vector<uint32_t> readThemeColours(XlsxPackage& pkg, const std::string& part);

// The Style of each cell format index (at least one entry, the default look).
std::vector<platform::xl::Style> readCellStyles(XlsxPackage& pkg, const std::string& part,
                                                const std::vector<uint32_t>& theme);

}  // namespace formats
