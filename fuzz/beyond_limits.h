#pragma once
// Inputs beyond the sizes the program takes or a cell holds, for the seeds of the fuzz
// targets (make_fuzz_seeds writes them) and the files of the session target: designs
// nested deeper than the 256 levels a design file may have, texts longer than the 32,767
// characters of a cell, a merge over most of a sheet, column ranges over every column.
// The packages are small: their parts are deflated, or stored where a mutation should
// reach the XML.
#include <string>
#include <utility>
#include <vector>

#include "formats/zip_writer.h"

namespace fuzz {

struct NamedBytes {
  std::string name;
  std::string bytes;
};

// A design of two parts with a field the reader does not know, a list nested so deep
// that the design nests `depth` levels (the design object is the first).
inline std::string deepDesign(size_t depth) {
  const size_t lists = depth - 1;
  return R"({"name": "deep.pcb", "unit": "Mil", "parts": [)"
         R"({"name": "R1", "partType": "RES", "decal": "R0603", "attributes": {"Value": "10K"}},)"
         R"({"name": "C1", "partType": "CAP", "decal": "C0603", "layer": 2, "attributes": {"Value": "100nF"}}],)"
         R"( "x": )" + std::string(lists, '[') + std::string(lists, ']') + "}";
}

// A part whose attributes nest objects this many levels deep.
inline std::string deepAttributes(size_t levels) {
  std::string open, close;
  for (size_t i = 0; i < levels; ++i) {
    open += "{\"a\":";
    close += "}";
  }
  return R"({"name": "deep.pcb", "parts": [{"name": "R1", "attributes": )" + open + "1" + close + "}]}";
}

inline std::vector<NamedBytes> beyondLimitDesigns() {
  return {{"deep_design_256.pcb", deepDesign(256)},  // as deep as a design may be
          {"deep_design_257.pcb", deepDesign(257)},  // one level too deep
          {"deep_parts_3000.pcb", "{\"parts\": " + std::string(3000, '[') + std::string(3000, ']') + "}"},
          {"deep_attributes_300.pcb", deepAttributes(300)}};
}

// An .xlsx package of one sheet "S" (and its shared strings when given); level 0 stores
// the parts, so their XML stands in the file as it is.
inline std::string oneSheetXlsx(const std::string& sheetXml, const std::string& strings, int level) {
  formats::ZipWriter zip(level);
  zip.add("xl/workbook.xml",
          "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  zip.add("xl/_rels/workbook.xml.rels",
          "<Relationships><Relationship Id=\"rId1\" Type=\"http://x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
          "</Relationships>");
  zip.add("xl/worksheets/sheet1.xml", sheetXml);
  if (!strings.empty()) zip.add("xl/sharedStrings.xml", strings);
  return zip.finish();
}

inline std::string columnRanges(int count) {
  std::string cols = "<cols>";
  for (int i = 0; i < count; ++i)
    cols += "<col min=\"1\" max=\"16384\" width=\"" + std::to_string(10 + i % 7) + "\" customWidth=\"1\"/>";
  return cols + "<col min=\"5\" max=\"5\" width=\"30.7109375\" customWidth=\"1\"/></cols>";
}

// Texts over a cell's 32,767 characters in every place an .xlsx holds a text, with
// two-byte characters and "_xHHHH_" escapes (one character each) near the cut.
inline std::string longTextsXlsx() {
  const std::string longText = std::string(32760, 'a') + std::string(20, '.') + "\xC3\xA9\xC3\xA9";
  const std::string escaped = std::string(32765, '_') + "_x0041__x0042__x0043_";
  return oneSheetXlsx("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
                      "<c r=\"B1\" t=\"inlineStr\"><is><t>" + longText + "</t></is></c>"
                      "<c r=\"C1\" t=\"s\"><v>1</v></c>"
                      "<c r=\"D1\" t=\"str\"><f>A1</f><v>" + longText + "</v></c></row></sheetData></worksheet>",
                      "<sst><si><t>" + longText + "</t></si><si><r><t>" + escaped + "</t></r><r><t>" + longText +
                          "</t></r></si></sst>",
                      9);
}

// Merges, a filter and a dimension over most or all of a sheet, beside a few cells.
inline std::string bigMergeXlsx() {
  return oneSheetXlsx("<worksheet><dimension ref=\"A1:XFD1048576\"/><sheetData>"
                      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>title</t></is></c></row>"
                      "<row r=\"3\"><c r=\"A3\"><v>3</v></c></row>"
                      "<row r=\"9\"><c r=\"C9\"><v>9</v></c></row>"
                      "<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row></sheetData>"
                      "<autoFilter ref=\"A1:XFD1048576\"/>"
                      "<mergeCells count=\"3\"><mergeCell ref=\"A3:XFD1048576\"/><mergeCell ref=\"A1:XFD2\"/>"
                      "<mergeCell ref=\"A1:A1048576\"/></mergeCells></worksheet>",
                      "", 0);
}

inline std::string columnRangesXlsx(int count, int level) {
  return oneSheetXlsx("<worksheet>" + columnRanges(count) +
                          "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData></worksheet>",
                      "", level);
}

// A .csv of one text one character longer than a cell holds, after a header line.
inline std::string longTextCsv() { return "No.,Comment\r\n1,\"" + std::string(32768, 'x') + "\"\r\n"; }

inline std::vector<NamedBytes> beyondLimitWorkbooks() {
  return {{"long_texts.xlsx", longTextsXlsx()},
          {"big_merge.xlsx", bigMergeXlsx()},
          {"column_ranges.xlsx", columnRangesXlsx(2000, 9)},
          {"column_ranges_stored.xlsx", columnRangesXlsx(40, 0)},
          {"long_text.csv", longTextCsv()}};
}

}  // namespace fuzz
