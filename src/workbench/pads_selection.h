#pragma once
// Showing a part of the open design by its designator: the part (and in PADS Layout the
// jumper of that name) selected and brought into view. Every PADS step is skipped on its
// own failure, so a program that does not run (a null application) changes nothing.
#include <string>

#include "platform/pads.h"
#include "platform/programs.h"
#include "platform/ui.h"

namespace workbench {

enum class PadsProgram { Layout, Logic };

// SelectObjects with False: nothing of the design stays selected.
void clearSelection(const platform::pads::AppPtr& app);
// The selection cleared, then the part of the designator selected and, with jumpers, the
// jumper of that name too. False (missing) when neither exists. The designator is used as
// given, blanks and case included.
bool selectPartByName(const platform::pads::AppPtr& app, const std::string& designator, bool withJumpers);
// The view step after a selection: PADS Layout fits the view to the selection and scales
// it to its fitted zoom × 0.001 × percent; PADS Logic shows the sheet of the part's first
// gate centred on that gate, without scaling.
void showSelection(PadsProgram program, const platform::pads::AppPtr& app, const std::string& designator,
                   double percent);
// The two halves of showSelection on a design at hand: PADS Layout's fitted and scaled
// view, and PADS Logic's view centred on the part's first gate on its own sheet.
void zoomToSelection(platform::pads::Design& design, double percent);
void centerOnGate(platform::pads::Design& design, const std::string& designator);
// Selection and view step together; the view stays where it was when the designator is
// missing.
bool selectAndZoom(PadsProgram program, const platform::pads::AppPtr& app, const std::string& designator,
                   double percent);

// The number a zoom box's text begins with, blanks anywhere skipped; 0 when it begins
// with none.
double zoomPercent(const ui::TextBox& box);

// The running program's application, or null when it does not run.
platform::pads::AppPtr attachIfRunning(platform::Programs& programs, PadsProgram program);

}  // namespace workbench
