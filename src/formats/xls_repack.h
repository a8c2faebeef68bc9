#pragma once
// The compound file of an .xls workbook, rebuilt before libfreexl reads it. libfreexl
// 1.0.6 refuses a shared string table that holds an empty text (it takes the file for
// a crafted one), although Altium Designer and other tools write such tables, and it
// trusts the sizes in a damaged file's container and string table. So the workbook
// stream is taken out of the compound file here, with every check on the way, its
// shared string table written anew (an empty text as one NUL character, which
// libfreexl reads as an empty text), and put into a new, plain compound file.
#include <string>

namespace formats {

// The bytes of the rebuilt compound file; error 1004 when the file is no compound
// file with a workbook stream, or is damaged.
std::string repackWorkbook(const std::string& path);

}  // namespace formats
