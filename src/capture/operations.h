#pragma once
// The operations that the toolbar's "Create" and "Format BOM" dispatchers run.
#include "capture/tool_state.h"

namespace capture {

// "Create": the list operation of each source.
void logic(ToolContext& t);       // PADS Logic part list
void layout(ToolContext& t);      // PADS Layout part list and coordinate report
void excel(ToolContext& t);       // prepared-workbook part list
void protel99se(ToolContext& t);  // Protel 99 SE / Altium Designer netlist
void protel(ToolContext& t);      // OrCAD netlist in Protel2 format
void allegro(ToolContext& t);
void mentor(ToolContext& t);
void pcad(ToolContext& t);
void pads2k(ToolContext& t);

// "Format BOM": the lists of PADS Layout and of an Altium Designer BOM.
void layoutFormatBom(ToolContext& t);
void altiumFormatBom(ToolContext& t);

}  // namespace capture
