#pragma once
// A zip archive with these entries, written with minizip, to craft the packages a test
// reads (files as other tools write them, or damaged ones).
#include <gtest/gtest.h>
#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

inline void writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  zipFile z = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(z, nullptr);
  for (const auto& [name, body] : entries) {
    ASSERT_EQ(zipOpenNewFileInZip(z, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6), ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(z, body.data(), static_cast<unsigned>(body.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(z), ZIP_OK);
  }
  ASSERT_EQ(zipClose(z, nullptr), ZIP_OK);
}

// The parts of a package of one sheet named "S": its sheet XML and, when given, its
// shared strings.
inline std::vector<std::pair<std::string, std::string>> oneSheetPackage(const std::string& sheetXml,
                                                                         const std::string& strings = "") {
  std::vector<std::pair<std::string, std::string>> parts = {
      {"xl/workbook.xml",
       "<workbook xmlns:r=\"r\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships><Relationship Id=\"rId1\" Type=\"http://x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
       "</Relationships>"},
      {"xl/worksheets/sheet1.xml", sheetXml}};
  if (!strings.empty()) parts.push_back({"xl/sharedStrings.xml", strings});
  return parts;
}

}  // namespace testing_support
