// The outside programs through COM: a program of ours served under test identifiers
// stands in for the spreadsheet program and PADS.
#include "platform/win/com_programs.h"

#include <gtest/gtest.h>

#include "platform/win/dispatch_object.h"
#include "support/runtime_errors.h"

namespace {

using platform::win::ComPrograms;
using platform::win::DispatchCall;
using platform::win::DispatchObject;
using platform::win::ServedProgram;

const CLSID kSheetClass = {0x2d0c8f31, 0x5a7e, 0x4b19, {0x8e, 0x44, 0x71, 0x0a, 0x93, 0x5c, 0x21, 0x6f}};
const CLSID kPadsClass = {0x2d0c8f32, 0x5a7e, 0x4b19, {0x8e, 0x44, 0x71, 0x0a, 0x93, 0x5c, 0x21, 0x6f}};
const char kSheetProgId[] = "Velmora.ProgramsTest.Spreadsheet";
const char kPadsProgId[] = "Velmora.ProgramsTest.Pads";

using testing_support::expectError;

TEST(ComProgramsTest, AttachOrStartGivesOneApplicationPerRunningProgram) {
  const long living = DispatchObject::living();
  {
    ComPrograms programs;
    bool visible = false;
    auto sheetApp = DispatchObject::create();
    sheetApp->property(
        "Visible", [&](DispatchCall&) { return vb::Variant(visible); },
        [&](DispatchCall& call) {
          visible = call.value().boolean();
          return vb::Variant();
        });
    auto padsApp = DispatchObject::create();
    padsApp->property("DefaultFilePath", [](DispatchCall&) { return vb::Variant("C:\\设计"); });
    ServedProgram sheet(kSheetProgId, kSheetClass, sheetApp);
    ServedProgram pads(kPadsProgId, kPadsClass, padsApp);

    expectError([&] { programs.attachSpreadsheet(kSheetProgId); }, 429);  // not running yet
    auto started = programs.startSpreadsheet(kSheetProgId);
    started->setVisible(true);
    EXPECT_TRUE(visible);
    EXPECT_TRUE(started->visible());
    EXPECT_EQ(programs.attachSpreadsheet(kSheetProgId), started) << "the same program, the same application";

    expectError([&] { programs.attachPads(kPadsProgId); }, 429);
    auto layout = programs.startPads(kPadsProgId);
    EXPECT_EQ(layout->defaultFilePath(), "C:\\设计");
    EXPECT_EQ(programs.attachPads(kPadsProgId), layout);
    expectError([&] { programs.attachPads("Velmora.ProgramsTest.NotThere"); }, 429);
  }
  EXPECT_EQ(DispatchObject::living(), living) << "every object is released with the programs";
}

}  // namespace
