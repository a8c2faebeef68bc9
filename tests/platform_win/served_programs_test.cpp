// The stand-in programs served through COM, in this process and as a local server in a
// process of their own, reached through the real programs' interfaces: attach and start
// as the program does them, calls across processes, a program's errors, a busy program,
// and a program that has ended.
#include "sim/win/served_programs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/win/com_programs.h"
#include "platform/win/wide_text.h"
#include "support/runtime_errors.h"
#include "support/scratch_dir.h"
#include "vb/convert.h"

namespace {

namespace win = platform::win;
namespace xl = platform::xl;
using sim::win::ServedFrom;
using sim::win::ServedNames;
using testing_support::expectError;
using testing_support::ScratchDir;
using win::Automation;
using win::DispatchObject;

constexpr char kExcel[] = "Excel.Application";
constexpr char kLayout[] = "PowerPCB.Application";

TEST(ServedPrograms, InThisProcessAttachFindsTheFirstStandInTheWorldRunsAndStartRunsANewOne) {
  const long living = DispatchObject::living();
  {
    sim::World world;
    sim::win::ProgramsThroughAutomation programs(world.programs);
    expectError([&] { programs.attachSpreadsheet(kExcel); }, vb::kCannotCreate);

    auto first = world.programs.runSpreadsheet(kExcel);  // as a session's "spreadsheet start"
    first->addWorkbook();
    auto attached = programs.attachSpreadsheet(kExcel);
    EXPECT_EQ(attached->progId(), kExcel);
    EXPECT_EQ(attached->activeWorkbook()->name(), first->activeWorkbook()->name());
    EXPECT_EQ(programs.attachSpreadsheet(kExcel), attached) << "one application per program";

    auto started = programs.startSpreadsheet(kExcel);
    ASSERT_EQ(world.programs.spreadsheets().size(), 2u) << "a start runs a new stand-in in the world";
    EXPECT_NE(started, attached);
    started->addWorkbook()->sheet(1)->setName("Started");
    EXPECT_EQ(world.programs.spreadsheets()[1]->activeWorkbook()->sheet(1)->name(), "Started");
    EXPECT_EQ(programs.attachSpreadsheet(kExcel), attached) << "attach still finds the first one";

    expectError([&] { programs.attachPads(kLayout); }, vb::kCannotCreate);
    auto layout = programs.startPads(kLayout);
    EXPECT_TRUE(world.programs.pads(kLayout));
    EXPECT_EQ(programs.attachPads(kLayout), layout);
    expectError([&] { layout->activeDocument(); }, vb::kObjectNotSet);
  }
  EXPECT_EQ(DispatchObject::living(), living) << "every object is released with the programs";
}

// The local server of the stand-ins (velmora_served_programs.exe, beside this program),
// registered for this test under classes of its own and started by COM as a program of
// its own.
class LocalServer {
 public:
  static inline const ServedNames kNames{sim::win::ServedFrom::LocalServer};

  LocalServer() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const auto server = std::filesystem::path(path).parent_path() / L"velmora_served_programs.exe";
    const std::string command = "\"" + win::narrow(server.wstring()) + "\" --tag " + std::to_string(kNames.tag);
    for (const std::string& progId : ServedNames::realIds())
      registrations_.emplace_back(
          std::make_unique<win::ProgIdRegistration>(kNames.id(progId), kNames.classOf(progId), command));
  }
  ~LocalServer() {
    // The server ends with its control object's Quit; one that was never started has none.
    try {
      control().call("Quit");
    } catch (const vb::Error&) {
    }
    win::Automation::setBusyWait(busyWait_);
  }
  static Automation control() {
    wchar_t text[64];
    StringFromGUID2(kNames.controlClass(), text, 64);
    return Automation::attach(win::narrow(text));
  }
  // The programs as the program reaches them, under the server's identifiers.
  static win::ComPrograms::Registration registration() {
    return [](const std::string& progId) { return kNames.registered(progId); };
  }

 private:
  win::ComApartment apartment_;  // COM stays set up until the server has been told to quit
  std::vector<std::unique_ptr<win::ProgIdRegistration>> registrations_;
  DWORD busyWait_ = win::Automation::busyWait();
};

vb::Table numbered(long rows, long cols) {
  vb::Table t(rows, cols);
  for (long r = 1; r <= rows; ++r)
    for (long c = 1; c <= cols; ++c) t(r, c) = c == 1 ? vb::Variant("R" + std::to_string(rows - r)) : vb::Variant(r * c);
  return t;
}

TEST(ServedPrograms, AsALocalServerTheSpreadsheetRunsInAProcessOfItsOwn) {
  LocalServer server;
  {
    win::ComPrograms programs(LocalServer::registration());
    expectError([&] { programs.attachSpreadsheet(kExcel); }, vb::kCannotCreate);
    auto excel = programs.startSpreadsheet(kExcel);
    EXPECT_EQ(programs.attachSpreadsheet(kExcel), excel) << "the started program registers itself as running";
    excel->setVisible(true);
    EXPECT_TRUE(excel->visible());

    // A block goes across in one call each way.
    auto sheet = excel->addWorkbook()->sheet(1);
    const vb::Table block = numbered(1000, 13);
    xl::Range all = sheet->range("A1:M1000");
    all.setValues(block);
    EXPECT_EQ(all.values(), block);
    all.sort({{{1, 1}}, xl::xlNo});
    EXPECT_EQ(sheet->get(1, 1).text(), "R0");
    EXPECT_EQ(sheet->get(1000, 2).number(), 2);

    // The stand-in's own errors arrive with their numbers and descriptions.
    excel->activeWorkbook()->sheet(2)->setName("Parts");
    try {
      sheet->setName("Parts");
      ADD_FAILURE() << "a name used twice was taken";
    } catch (const vb::Error& e) {
      EXPECT_EQ(e.number(), 1004);
      EXPECT_FALSE(e.description().empty());
    }
    expectError([&] { excel->activeWorkbook()->sheet("None"); }, vb::kSubscript);

    // A member refused as the server's world is told to refuse it.
    LocalServer::control().call("Fault", {"spreadsheet", "Workbooks.Add", 1});
    expectError([&] { excel->addWorkbook(); }, vb::kAppDefined, "Workbooks.Add failed");
    EXPECT_EQ(excel->addWorkbook()->sheetCount(), 3) << "only the next call was refused";
  }
}

TEST(ServedPrograms, ACallABusyProgramRejectsIsTriedAgainUntilItsTimeHasPassed) {
  LocalServer server;
  win::ComPrograms programs(LocalServer::registration());
  auto excel = programs.startSpreadsheet(kExcel);
  Automation control = LocalServer::control();

  control.call("RejectCalls", {3});
  excel->setVisible(true);  // rejected three times, then taken
  EXPECT_TRUE(excel->visible());

  win::Automation::setBusyWait(0);
  control.call("RejectCalls", {1});
  try {
    excel->visible();
    ADD_FAILURE() << "a rejected call succeeded without being tried again";
  } catch (const vb::Error& e) {
    EXPECT_EQ(static_cast<HRESULT>(e.number()), RPC_E_CALL_REJECTED) << e.description();
  }
  EXPECT_TRUE(excel->visible());
}

TEST(ServedPrograms, AProgramThatHasEndedAnswersNoMoreCallsAndIsNotFoundRunning) {
  LocalServer server;
  win::ComPrograms programs(LocalServer::registration());
  auto excel = programs.startSpreadsheet(kExcel);
  LocalServer::control().call("Quit");
  Sleep(500);
  expectError([&] { excel->visible(); }, win::kServerUnavailable,
              "The remote server machine does not exist or is unavailable");
  expectError([&] { win::ComPrograms(LocalServer::registration()).attachSpreadsheet(kExcel); }, vb::kCannotCreate);
}

TEST(ServedPrograms, AsALocalServerPadsOpensADesignAndChangesItsParts) {
  LocalServer server;
  const ScratchDir dir("served-pads");
  const std::string design = dir.write("board.json",
            R"({"name": "board.pcb", "unit": "Mil", "layers": {"1": "Top", "2": "Bottom"},
                "parts": [{"name": "R1", "partType": "RES", "decal": "R0603", "layer": 1,
                           "attributes": {"Value": "10K"}},
                          {"name": "C1", "partType": "CAP", "decal": "C0603", "layer": 2}]})");
  win::ComPrograms programs(LocalServer::registration());
  auto layout = programs.startPads(kLayout);
  layout->openDocument(design);
  auto& board = layout->activeDocument();
  EXPECT_EQ(board.name(), "board.pcb");
  ASSERT_EQ(board.componentCount(), 2);
  EXPECT_EQ(board.component("R1")->attribute("Value")->value(), "10K");
  EXPECT_EQ(board.component("C1")->attribute("Value"), nullptr);
  board.component("C1")->addAttribute("Value", "100nF");
  EXPECT_EQ(board.component("C1")->attribute("Value")->value(), "100nF");
  EXPECT_EQ(board.layerName(2), "Bottom");
  EXPECT_THROW(board.setLayerVisible("Inner", true), vb::Error) << "a layer the design lacks";
  expectError([&] { programs.startPads("Velmora.NoSuchProgram"); }, vb::kCannotCreate);
}

}  // namespace
