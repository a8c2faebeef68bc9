#include "platform/win/win_desktop.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/ui.h"
#include "platform/win/wide_text.h"
#include "vb/error.h"

using platform::win::commandLine;
using platform::win::narrow;
using platform::win::widen;
using platform::win::WinDesktop;

namespace {

// The test program doubles as the program that startProcess starts: with this variable
// set it writes the arguments it received into the file the variable names, and ends
// before any test runs.
constexpr wchar_t kEchoVariable[] = L"VELMORA_TEST_ECHO_ARGS";
constexpr char kArgSeparator = '\x1f';

std::vector<std::string> splitCommandLine(const std::wstring& line) {
  int n = 0;
  LPWSTR* args = CommandLineToArgvW(line.c_str(), &n);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.push_back(narrow(args[i]));
  LocalFree(args);
  return out;
}

const bool echoedArguments = [] {
  wchar_t target[MAX_PATH];
  if (!GetEnvironmentVariableW(kEchoVariable, target, MAX_PATH)) return false;
  std::vector<std::string> args = splitCommandLine(GetCommandLineW());
  std::string text;
  for (size_t i = 1; i < args.size(); ++i) text += args[i] + kArgSeparator;
  // Written beside the target, then renamed, so the test never reads half a file.
  std::wstring part = std::wstring(target) + L".part";
  HANDLE f = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  MoveFileW(part.c_str(), target);
  ExitProcess(0);
}();

std::wstring tempFile(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + name;
  DeleteFileW(path.c_str());
  return path;
}

// The file's bytes once the started program has written some, waiting up to 20 s
// (a shell's redirection makes the file before it writes into it).
std::optional<std::string> awaitFile(const std::wstring& path) {
  for (int i = 0; i < 400; ++i) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream s;
    if (in) s << in.rdbuf();
    if (!s.str().empty()) return s.str();
    Sleep(50);
  }
  return std::nullopt;
}

std::wstring modulePath() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  return std::wstring(buf, n);
}

int screenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return dpi;
}

}  // namespace

TEST(CommandLine, SplitsBackIntoTheSameArguments) {
  const std::vector<std::vector<std::string>> cases = {
      {"notepad", "C:\\BOM\\report.txt"},
      {"notepad", "C:\\Program Files\\BOM 输出\\临时 文件.txt"},
      {"C:\\Program Files\\Velmora\\tool.exe", "plain", ""},
      {"C:\\my dir\\", "a"},
      {"p", "say \"hi\"", "\"", "\"\""},
      {"p", "trailing\\", "blank and trailing\\", "two\\\\", "blank two\\\\ "},
      {"p", "back\\\"quote", "a\\\\\"b", "\\\\server\\share\\", "mid\\dle"},
      {"p", "tab\there", "line\nfeed", "  ", "&|<>^%"},
  };
  for (const auto& argv : cases) {
    const std::wstring line = commandLine(argv);
    EXPECT_EQ(splitCommandLine(line), argv) << narrow(line);
  }
}

TEST(CommandLine, QuotesOnlyWhereNeeded) {
  EXPECT_EQ(commandLine({"notepad", "C:\\x\\a.txt"}), L"notepad C:\\x\\a.txt");
  EXPECT_EQ(commandLine({"notepad", "C:\\a b\\"}), L"notepad \"C:\\a b\\\\\"");
  EXPECT_EQ(commandLine({"C:\\a b\\n.exe", "x"}), L"\"C:\\a b\\n.exe\" x");
}

TEST(StartProcess, TheProgramGetsEachArgumentAsGiven) {
  const std::wstring out = tempFile(L"velmora echo 参数.txt");
  SetEnvironmentVariableW(kEchoVariable, out.c_str());
  // Named without folder or ".exe": found in the folder of the program that starts it.
  std::wstring self = modulePath();
  self = self.substr(self.find_last_of(L'\\') + 1);
  self = self.substr(0, self.size() - 4);
  const std::vector<std::string> args = {"C:\\BOM 输出\\物料 清单.txt", "say \"hi\"", "C:\\输出 文件夹\\", "", "中文"};
  std::vector<std::string> argv = {narrow(self)};
  argv.insert(argv.end(), args.begin(), args.end());
  WinDesktop().startProcess(argv);
  SetEnvironmentVariableW(kEchoVariable, nullptr);

  auto text = awaitFile(out);
  ASSERT_TRUE(text) << "the started program wrote nothing";
  std::string expected;
  for (const auto& a : args) expected += a + kArgSeparator;
  EXPECT_EQ(*text, expected);
  DeleteFileW(out.c_str());
}

TEST(StartProcess, FindsASystemProgramByItsName) {
  const std::wstring out = tempFile(L"velmora_cmd.txt");
  WinDesktop().startProcess({"cmd", "/c", "echo started>" + narrow(out)});
  auto text = awaitFile(out);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->substr(0, 7), "started");
  DeleteFileW(out.c_str());
}

TEST(StartProcess, AMissingProgramIsFileNotFound) {
  WinDesktop d;
  try {
    d.startProcess({"no-such-program-velmora", "x"});
    FAIL() << "no error";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), vb::kFileNotFound);
  }
  EXPECT_THROW(d.startProcess({}), vb::Error);
}

TEST(ProgramFolder, IsTheFolderOfTheTestProgram) {
  const std::string folder = WinDesktop().programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  const DWORD attributes = GetFileAttributesW(widen(folder).c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  std::wstring self = modulePath();
  EXPECT_EQ(CompareStringOrdinal(widen(folder + "\\").c_str(), -1,
                                 self.substr(0, self.find_last_of(L'\\') + 1).c_str(), -1, TRUE),
            CSTR_EQUAL);
}

TEST(DateFormat, TheShortDateSetUpChangesWhatTheSystemWrites) {
  WinDesktop d;
  const std::string before = d.shortDateFormat();
  ASSERT_FALSE(before.empty());
  EXPECT_NE(before.find('d'), std::string::npos) << before;

  const long lcid = d.systemDefaultLcid();
  EXPECT_NE(lcid, 0);
  ASSERT_TRUE(d.setLocaleInfo(lcid, LOCALE_SSHORTDATE, "yyyy-MM-dd"));
  EXPECT_TRUE(d.broadcastSettingChange());
  EXPECT_TRUE(d.enumDateFormats(lcid, DATE_SHORTDATE));
  EXPECT_EQ(d.shortDateFormat(), "yyyy-MM-dd");

  // The system's own short date of today and ours agree.
  wchar_t system[80];
  ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, system, 80), 0);
  EXPECT_EQ(platform::formatDate(d.today(), d.shortDateFormat()), narrow(system));

  d.setLocaleInfo(lcid, LOCALE_SSHORTDATE, before);
  EXPECT_EQ(d.shortDateFormat(), before);
}

TEST(Today, IsTheLocalDate) {
  std::time_t t = std::time(nullptr);
  std::tm* tm = std::localtime(&t);
  platform::Date d = WinDesktop().today();
  EXPECT_EQ(d.year, tm->tm_year + 1900);
  EXPECT_EQ(d.month, tm->tm_mon + 1);
  EXPECT_EQ(d.day, tm->tm_mday);
}

TEST(Screen, SizeInTwipsAndTheCursor) {
  WinDesktop d;
  const int dpi = screenDpi();
  EXPECT_EQ(d.screenWidth() * dpi / 1440, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(d.screenHeight() * dpi / 1440, GetSystemMetrics(SM_CYSCREEN));
  if (dpi == 96) {
    EXPECT_EQ(d.screenWidth(), GetSystemMetrics(SM_CXSCREEN) * 15);
  }

  // The cursor is the whole desktop's, and under Wine a move reaches the X server first:
  // tests running beside this one may move it in between, so the move is tried again.
  platform::Point p;
  for (int attempt = 0; attempt < 20 && !(p.x == 123 && p.y == 45); ++attempt) {
    if (attempt > 0) Sleep(50);
    ASSERT_TRUE(SetCursorPos(123, 45));
    p = d.cursorPos();
  }
  EXPECT_EQ(p.x, 123);
  EXPECT_EQ(p.y, 45);
}

TEST(WindowRect, OfTheRealWindowOrFromTheModelsTwips) {
  ui::Window model("Tool", "Velmora");
  model.move(1500, 750);
  model.setWidth(4500);
  model.setHeight(3000);

  WinDesktop d;
  const int dpi = screenDpi();
  auto px = [&](int twips) { return twips * dpi / 1440; };
  // No handle for the window: the model's twips at the screen's DPI.
  platform::Rect r = d.windowRect(model);
  EXPECT_EQ(r.left, px(1500));
  EXPECT_EQ(r.top, px(750));
  EXPECT_EQ(r.right, px(6000));
  EXPECT_EQ(r.bottom, px(3750));
  d.handleOf = [](const ui::Window&) -> HWND { return nullptr; };
  EXPECT_EQ(d.windowRect(model).right, px(6000));

  // A real window elsewhere: its own rectangle counts.
  HWND real = CreateWindowExW(0, L"STATIC", L"Velmora", WS_POPUP | WS_VISIBLE, 200, 100, 321, 123, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(real);
  d.handleOf = [&](const ui::Window& w) { return &w == &model ? real : nullptr; };
  r = d.windowRect(model);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.right, 521);
  EXPECT_EQ(r.bottom, 223);
  DestroyWindow(real);
}

TEST(Sleep, WaitsAtLeastThatLong) {
  auto start = std::chrono::steady_clock::now();
  WinDesktop().sleep(60);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(WideText, RoundTripsChineseAndEmpty) {
  const std::string texts[] = {"", "BOM", "物料规格 10K±5%", "a\nb", "\xF0\x9F\x94\xA7"};
  for (const std::string& t : texts) EXPECT_EQ(narrow(widen(t)), t);
  EXPECT_EQ(widen("电阻"), L"\x7535\x963B");
}
