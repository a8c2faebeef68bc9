#pragma once
// AssistantShowPart and the view step after a decal or value click: one part, or what a
// command selected, selected and brought into view in PADS Layout or PADS Logic.
#include <string>
#include <vector>

#include "platform/pads.h"
#include "platform/ui.h"
#include "workbench/pads_selection.h"

namespace assistant {

using workbench::PadsProgram;

// The value key: the "Value" attribute upper-cased, or "Nothing" when the part has none.
std::string valueKey(const platform::pads::Part& part);
const char* progIdOf(PadsProgram program);

// The part of that name alone selected and shown; false (nothing shown) when the design
// lacks it. Every step is skipped on its own failure.
bool showPart(PadsProgram program, const platform::pads::AppPtr& app, const std::string& name,
              const ui::ComboBox& layerBox, double percent);
// The view step of showPart for a part already selected: PADS Layout shows only the part's
// layer when the layer box reads "Only", fits the view to the selection and scales it;
// PADS Logic shows the sheet of the part's first gate centred on it.
void showSelectedPart(PadsProgram program, const platform::pads::AppPtr& app, const std::string& name,
                      const ui::ComboBox& layerBox, double percent);
// The view step after a command selected several parts itself: one part as above (in
// PADS Layout scaled only with "Only"); none or several on all layers, or the whole sheet.
void showSelectedParts(PadsProgram program, const platform::pads::AppPtr& app,
                       const std::vector<platform::pads::Part*>& selected, const ui::ComboBox& layerBox,
                       double percent);

}  // namespace assistant
