#include "platform/win/win_user.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "platform/win/wide_text.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::win::narrow;
using platform::win::widen;
using platform::win::WinUser;

namespace {

std::string textOf(HWND h) {
  std::wstring s(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  s.resize(static_cast<size_t>(GetWindowTextW(h, s.data(), static_cast<int>(s.size()))));
  return narrow(s);
}

std::wstring classOf(HWND h) {
  wchar_t name[64];
  int n = GetClassNameW(h, name, 64);
  return std::wstring(name, static_cast<size_t>(n));
}

std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

// A visible dialog among the top-level windows of the thread.
HWND shownDialog(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND h, LPARAM lp) {
        if (IsWindowVisible(h) && classOf(h) == L"#32770") {
          *reinterpret_cast<HWND*>(lp) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The person at the screen: on a helper thread, waits for the dialog that the test's
// thread shows, then acts on it (reads it, presses keys or buttons).
class Person {
 public:
  explicit Person(std::function<void(HWND)> act)
      : thread_([this, act = std::move(act), tid = GetCurrentThreadId()] {
          for (int i = 0; i < 400 && !dialog_; ++i) {
            if (HWND d = shownDialog(tid)) dialog_ = d;
            else Sleep(25);
          }
          if (dialog_) act(dialog_);
        }) {}
  ~Person() { thread_.join(); }
  bool sawDialog() const { return dialog_ != nullptr; }

 private:
  std::atomic<HWND> dialog_{nullptr};
  std::thread thread_;
};

void pressKey(HWND target, WPARAM key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

void type(HWND edit, const std::string& text) {
  for (wchar_t c : widen(text)) PostMessageW(edit, WM_CHAR, c, 1);
}

void click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// What a message box showed.
struct SeenBox {
  std::string title, text;
  std::vector<int> buttons;  // ids of the visible buttons
  bool icon = false;
  HWND owner = nullptr;
};

SeenBox look(HWND box) {
  SeenBox s;
  s.title = textOf(box);
  s.owner = GetWindow(box, GW_OWNER);
  for (HWND c : descendants(box)) {
    if (!IsWindowVisible(c)) continue;
    const std::wstring cls = classOf(c);
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    if (cls == L"Button") s.buttons.push_back(GetDlgCtrlID(c));
    else if (cls == L"Static" && (style & SS_TYPEMASK) == SS_ICON) s.icon = SendMessageW(c, STM_GETICON, 0, 0) != 0;
    else if (cls == L"Static" && !textOf(c).empty()) s.text = textOf(c);
  }
  std::sort(s.buttons.begin(), s.buttons.end());
  return s;
}

}  // namespace

TEST(MessageBoxes, ShowsTheButtonsAndIconAndGivesTheAnswer) {
  struct Case {
    Buttons buttons;
    Icon icon;
    std::vector<int> shown;  // sorted ids
    bool escape;             // Esc instead of a click
    int press;
    Answer expected;
  };
  const Case cases[] = {
      {Buttons::OK, Icon::None, {IDOK}, false, IDOK, Answer::OK},
      {Buttons::OK, Icon::Information, {IDOK}, true, 0, Answer::OK},
      {Buttons::YesNo, Icon::Question, {IDYES, IDNO}, false, IDYES, Answer::Yes},
      {Buttons::YesNo, Icon::None, {IDYES, IDNO}, false, IDNO, Answer::No},
      {Buttons::YesNoCancel, Icon::Exclamation, {IDCANCEL, IDYES, IDNO}, false, IDNO, Answer::No},
      {Buttons::YesNoCancel, Icon::Critical, {IDCANCEL, IDYES, IDNO}, true, 0, Answer::Cancel},
      {Buttons::OKCancel, Icon::Critical, {IDOK, IDCANCEL}, false, IDCANCEL, Answer::Cancel},
      {Buttons::OKCancel, Icon::None, {IDOK, IDCANCEL}, false, IDOK, Answer::OK},
  };
  for (const Case& c : cases) {
    SeenBox seen;
    Answer got;
    {
      Person person([&](HWND box) {
        seen = look(box);
        if (c.escape) pressKey(box, VK_ESCAPE);
        else click(box, c.press);
      });
      got = WinUser().message("Velmora", "Question?", c.buttons, c.icon);
      ASSERT_TRUE(person.sawDialog());
    }
    const int index = static_cast<int>(&c - cases);
    EXPECT_EQ(got, c.expected) << "case " << index;
    EXPECT_EQ(seen.buttons, c.shown) << "case " << index;
    EXPECT_EQ(seen.icon, c.icon != Icon::None) << "case " << index;
  }
}

TEST(MessageBoxes, ShowsChineseTextWithLineBreaksAndItsOwner) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"Tool", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(owner);
  WinUser user;
  user.owner = [&] { return owner; };
  const std::string text = "运行时错误 '53':\nFile not found";
  SeenBox seen;
  bool ownerDisabled = false;
  Answer got;
  {
    Person person([&](HWND box) {
      seen = look(box);
      ownerDisabled = !IsWindowEnabled(owner);
      click(box, IDOK);
    });
    got = user.message("Velmora 提示", text, Buttons::OK, Icon::None);
  }
  EXPECT_EQ(got, Answer::OK);
  EXPECT_EQ(seen.title, "Velmora 提示");
  EXPECT_EQ(seen.text, text);
  EXPECT_EQ(seen.owner, owner);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

TEST(InputBox, ShowsTitlePromptAndSelectedDefaultAndGivesTheAnswer) {
  enum Act { TypeAndEnter, Enter, OkButton, Escape, CancelButton };
  struct Case {
    std::string defaultAnswer;
    Act act;
    std::string typed, expected;
  };
  const Case cases[] = {
      {"5", TypeAndEnter, "12", "12"},  // typing replaces the selected default
      {"", TypeAndEnter, "R1*电阻", "R1*电阻"},
      {"5", Enter, "", "5"},
      {"封装", OkButton, "", "封装"},
      {"5", Escape, "", ""},
      {"5", CancelButton, "7", ""},
  };
  const std::string prompt = "请输入筛选元件序号关键字:\n输入*为全选;空白则退出程序.";
  HWND owner = CreateWindowExW(0, L"STATIC", L"Tool", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(owner);
  WinUser user;
  user.owner = [&] { return owner; };
  for (const Case& c : cases) {
    std::string title, shownPrompt, shownDefault;
    DWORD selStart = 1, selEnd = 0;
    bool editHasFocus = false;
    HWND shownOwner = nullptr;
    std::string got;
    {
      Person person([&](HWND box) {
        title = textOf(box);
        shownOwner = GetWindow(box, GW_OWNER);
        shownPrompt = textOf(GetDlgItem(box, platform::win::kInputPromptId));
        HWND edit = GetDlgItem(box, platform::win::kInputEditId);
        shownDefault = textOf(edit);
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        // The focus counts in the active window only; another program's dialog may be
        // the active one while tests run side by side.
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        editHasFocus = GetForegroundWindow() != box ||
                       (GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui) && gui.hwndFocus == edit);
        type(edit, c.typed);
        switch (c.act) {
          case TypeAndEnter:
          case Enter: pressKey(edit, VK_RETURN); break;
          case Escape: pressKey(edit, VK_ESCAPE); break;
          case OkButton: click(box, IDOK); break;
          case CancelButton: click(box, IDCANCEL); break;
        }
      });
      got = user.input("Velmora", prompt, c.defaultAnswer);
      ASSERT_TRUE(person.sawDialog());
    }
    const int index = static_cast<int>(&c - cases);
    EXPECT_EQ(got, c.expected) << "case " << index;
    EXPECT_EQ(title, "Velmora");
    EXPECT_EQ(shownPrompt, prompt);
    EXPECT_EQ(shownDefault, c.defaultAnswer) << "case " << index;
    EXPECT_EQ(selStart, 0u);
    EXPECT_EQ(selEnd, widen(c.defaultAnswer).size()) << "case " << index;
    EXPECT_TRUE(editHasFocus) << "case " << index;
    EXPECT_EQ(shownOwner, owner);
  }
  DestroyWindow(owner);
}

// The whole literal, its NULs included.
template <size_t N>
std::wstring withNuls(const wchar_t (&s)[N]) {
  return std::wstring(s, N - 1);
}

TEST(FileFilter, BecomesTheNulSeparatedList) {
  EXPECT_EQ(platform::win::dialogFilter("文件类型(*.net)|*.net"), withNuls(L"文件类型(*.net)\0*.net\0\0"));
  EXPECT_EQ(platform::win::dialogFilter("A (*.x)|*.x|All|*.*"), withNuls(L"A (*.x)\0*.x\0All\0*.*\0\0"));
}

namespace {

// A folder of the test's own with a few files, removed afterwards.
class FileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    before_ = std::filesystem::current_path();
    folder_ = std::filesystem::temp_directory_path() / (L"velmora 对话框 " + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    for (const wchar_t* name : {L"a.net", L"板 b.net", L"c.txt"}) {
      HANDLE f = CreateFileW((folder_ / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      CloseHandle(f);
    }
  }
  // The dialog may have made the folder the current one (the callers' flags allow it).
  void TearDown() override {
    std::filesystem::current_path(before_);
    std::filesystem::remove_all(folder_);
  }

  std::filesystem::path before_, folder_;
};

// The file name box of the explorer-style dialog.
HWND fileNameBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, cmb13);
  return box ? box : GetDlgItem(dialog, edt1);
}

std::vector<std::string> comboItems(HWND combo) {
  std::vector<std::string> out;
  const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    std::wstring s(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    s.resize(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(s.data()))));
    out.push_back(narrow(s));
  }
  return out;
}

// The names the dialog's file list shows.
std::vector<std::string> listedFiles(HWND dialog) {
  for (HWND c : descendants(dialog)) {
    if (classOf(c) != L"SysListView32") continue;
    std::vector<std::string> out;
    const int n = static_cast<int>(SendMessageW(c, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t buf[MAX_PATH] = {};
      LVITEMW item{};
      item.iSubItem = 0;
      item.pszText = buf;
      item.cchTextMax = MAX_PATH;
      SendMessageW(c, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
      out.push_back(narrow(buf));
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  return {};
}

}  // namespace

TEST_F(FileDialog, PicksAFileOfTheFilterFromAFolder) {
  const std::string filter = "文件类型(*.net)|*.net|所有文件(*.*)|*.*";
  std::string title;
  std::vector<std::string> types, listed;
  bool readOnlyTicked = false;
  std::optional<std::string> got;
  {
    Person person([&](HWND dialog) {
      title = textOf(dialog);
      types = comboItems(GetDlgItem(dialog, cmb1));
      readOnlyTicked = IsDlgButtonChecked(dialog, chx1) == BST_CHECKED;
      // Into the test's folder, as a person typing a folder's path does, then pick a file.
      SendMessageW(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder_.c_str()));
      click(dialog, IDOK);
      // Until the list shows the new folder (the old one's subfolders are listed at first).
      auto shown = [&] { return std::find(listed.begin(), listed.end(), "a.net") != listed.end(); };
      for (int i = 0; i < 200 && !shown(); ++i) {
        Sleep(25);
        listed = listedFiles(dialog);
      }
      SendMessageW(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"板 b.net"));
      click(dialog, IDOK);
    });
    got = WinUser().openFile("请选择PADS Logic的net文件", filter, OFN_FILEMUSTEXIST | OFN_READONLY);
    ASSERT_TRUE(person.sawDialog());
  }
  EXPECT_EQ(title, "请选择PADS Logic的net文件");
  EXPECT_EQ(types, (std::vector<std::string>{"文件类型(*.net)", "所有文件(*.*)"}));
  EXPECT_TRUE(readOnlyTicked);
  EXPECT_EQ(listed, (std::vector<std::string>{"a.net", "板 b.net"}));
  ASSERT_TRUE(got);
  EXPECT_EQ(std::filesystem::path(widen(*got)), folder_ / L"板 b.net");
}

TEST_F(FileDialog, CancelGivesNothingAndTheOwnerIsTheCallers) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"Tool", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(owner);
  WinUser user;
  user.owner = [&] { return owner; };
  std::optional<std::string> got = "unchanged";
  HWND shownOwner = nullptr;
  {
    Person person([&](HWND dialog) {
      shownOwner = GetWindow(dialog, GW_OWNER);
      Sleep(200);
      click(dialog, IDCANCEL);
    });
    got = user.openFile("请选择将要处理的xls文件", "文件类型(*.xls)|*.xls", 4097);
    ASSERT_TRUE(person.sawDialog());
  }
  EXPECT_FALSE(got);
  EXPECT_EQ(shownOwner, owner);
  DestroyWindow(owner);
}
