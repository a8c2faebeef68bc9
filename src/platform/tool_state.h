#pragma once
// The state the toolbar's commands hand on from one subsystem to the next, what every
// toolbar command receives, and one run of a report pipeline over the workbook a part
// list was left in.
#include <cstdint>
#include <string>

#include "platform/common_dialog.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/spreadsheet.h"
#include "platform/ui.h"

namespace platform {

// What the latest PADS Layout import of "Create" got to whether bottom-side X is mirrored.
enum class MirrorAnswer {
  Unset,          // no such import has reached its questions yet
  FilesDeclined,  // "no": the coordinate files were declined
  Yes,
  No,
};

struct ToolState {
  // Rows of the current part list on the second sheet (parts, and jumpers in the PADS
  // Layout lists). Counts are held in whole numbers wide enough for any sheet.
  long partCount = 0;
  // Last row of that part list (the header is row 1, so partCount + 1).
  long lastRow = 0;
  // The spreadsheet application the current command works in.
  xl::AppPtr spreadsheetApp;
  // Number of board prefixes typed at the prefix question (16-bit).
  int16_t prefixCount = 0;
  // "ON" when the list operation of the current "Create" gave up.
  std::string abortFlag;
  // "NO" when the user declined the part-type rows / chose the SMT/DIP split in the
  // current "Format BOM"; empty for Yes.
  std::string keepPartTypeFlag;
  std::string splitByLayerFlag;
  MirrorAnswer bottomMirrorAnswer = MirrorAnswer::Unset;
  // Designators per special-BOM line last typed (16-bit).
  int16_t refColumns = 0;
  // Working storage of the PADS part lists: the attribute that heads and fills column 6.
  std::string listAttributeName;
};

// What an operation of the toolbar receives: the services, the settings, the state,
// the toolbar's open-file dialog and its source selector.
struct ToolContext {
  Services& services;
  Settings& settings;
  ToolState& state;
  CommonDialog& dialog;
  const ui::ComboBox& sourceBox;

  // SourceProgram: the current text of the source box, read when it is needed.
  std::string sourceProgram() const { return sourceBox.text(); }
  User& user() const { return services.user; }
};

// One run of the "Create" or "Format BOM" report pipeline: the workbook its list command
// left active, whose sheet 2 holds the part list, sheet 3 the change report and sheet 1
// the BOM report.
struct ReportFlow {
  ToolContext& t;
  xl::WorkbookPtr wb;
  xl::SheetPtr sheet(long position) const { return wb->sheet(position); }
  long lastRow() const { return t.state.lastRow; }
};

}  // namespace platform
