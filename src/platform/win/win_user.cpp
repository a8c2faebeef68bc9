#include "platform/win/win_user.h"

#include <commdlg.h>

#include <cstddef>
#include <vector>

#include "platform/win/wide_text.h"
#include "vb/error.h"

namespace platform::win {

namespace {

UINT buttonStyle(Buttons b) {
  switch (b) {
    case Buttons::OK: return MB_OK;
    case Buttons::YesNo: return MB_YESNO;
    case Buttons::YesNoCancel: return MB_YESNOCANCEL;
    case Buttons::OKCancel: return MB_OKCANCEL;
  }
  return MB_OK;
}

UINT iconStyle(Icon i) {
  switch (i) {
    case Icon::None: return 0;
    case Icon::Information: return MB_ICONINFORMATION;
    case Icon::Exclamation: return MB_ICONEXCLAMATION;
    case Icon::Critical: return MB_ICONERROR;
    case Icon::Question: return MB_ICONQUESTION;
  }
  return 0;
}

Answer answerOf(int id) {
  switch (id) {
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    case IDOK: return Answer::OK;
    default: return Answer::Cancel;  // IDCANCEL, or the box could not be shown
  }
}

// A dialog template built in memory: the header, then one item per control, each
// item on a DWORD boundary as the dialog manager requires.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, std::wstring_view title, WORD pointSize,
                 std::wstring_view font) {
    DLGTEMPLATE t{};
    t.style = style | DS_SETFONT;
    t.cx = cx;
    t.cy = cy;
    append(&t, sizeof t);
    countAt_ = offsetof(DLGTEMPLATE, cdit) / sizeof(WORD);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    text(title);
    words_.push_back(pointSize);
    text(font);
  }

  // atom: 0x80 button, 0x81 edit, 0x82 static.
  void item(WORD atom, int id, DWORD style, short x, short y, short cx, short cy, std::wstring_view caption = {}) {
    if (words_.size() % 2) words_.push_back(0);
    DLGITEMTEMPLATE it{};
    it.style = style | WS_CHILD | WS_VISIBLE;
    it.x = x;
    it.y = y;
    it.cx = cx;
    it.cy = cy;
    it.id = static_cast<WORD>(id);
    append(&it, sizeof it);
    words_.push_back(0xFFFF);
    words_.push_back(atom);
    text(caption);
    words_.push_back(0);  // no creation data
    ++words_[countAt_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void append(const void* p, size_t bytes) {
    const WORD* w = static_cast<const WORD*>(p);
    words_.insert(words_.end(), w, w + bytes / sizeof(WORD));
  }
  void text(std::wstring_view s) {
    for (wchar_t c : s) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
  }
  std::vector<WORD> words_;
  size_t countAt_ = 0;
};

struct InputState {
  std::wstring prompt, answer;
};

INT_PTR CALLBACK inputProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* s = reinterpret_cast<InputState*>(lp);
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      SetDlgItemTextW(dlg, kInputPromptId, s->prompt.c_str());
      HWND edit = GetDlgItem(dlg, kInputEditId);
      SetWindowTextW(edit, s->answer.c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
      auto* s = reinterpret_cast<InputState*>(GetWindowLongPtrW(dlg, DWLP_USER));
      const int id = LOWORD(wp);
      if (id == IDOK) {
        HWND edit = GetDlgItem(dlg, kInputEditId);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        s->answer = std::move(text);
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

}  // namespace

HWND WinUser::ownerWindow() const { return owner ? owner() : nullptr; }

Answer WinUser::message(const std::string& title, const std::string& text, Buttons buttons, Icon icon) {
  HWND o = ownerWindow();
  // Without an owner the box is task-modal, so no window of the program takes input meanwhile.
  const UINT style = buttonStyle(buttons) | iconStyle(icon) | (o ? MB_APPLMODAL : MB_TASKMODAL);
  const Answer a = answerOf(MessageBoxW(o, widen(text).c_str(), widen(title).c_str(), style));
  // A box with the OK button alone has only one answer, however it was closed (Esc too).
  return buttons == Buttons::OK ? Answer::OK : a;
}

std::string WinUser::input(const std::string& title, const std::string& prompt, const std::string& defaultAnswer) {
  // Dialog units: the prompt at the top left, OK and Cancel at the right, the edit below.
  DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 260, 84, widen(title), 9,
                   L"MS Shell Dlg");
  t.item(0x82, kInputPromptId, SS_LEFT | SS_NOPREFIX, 7, 7, 180, 48);
  t.item(0x80, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 196, 7, 57, 14, L"OK");
  t.item(0x80, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 196, 25, 57, 14, L"Cancel");
  t.item(0x81, kInputEditId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 62, 246, 13);
  InputState s{widen(prompt), widen(defaultAnswer)};
  const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), ownerWindow(), inputProc,
                                            reinterpret_cast<LPARAM>(&s));
  if (r == -1) throw vb::Error(vb::kInvalidCall, "the input box could not be shown");
  return r == IDOK ? narrow(s.answer) : std::string();
}

std::wstring dialogFilter(const std::string& filter) {
  std::wstring out = widen(filter);
  for (wchar_t& c : out)
    if (c == L'|') c = L'\0';
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

std::optional<std::string> WinUser::openFile(const std::string& title, const std::string& filter, long flags) {
  std::wstring file(32768, L'\0');  // room for a long path
  const std::wstring filterList = dialogFilter(filter);
  const std::wstring caption = widen(title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = ownerWindow();
  ofn.lpstrFilter = filter.empty() ? nullptr : filterList.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
  // The caller's flags, less those that need a hook, a template or several answers
  // (there are none here), plus the explorer style with long names.
  const DWORD unsupported = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE | OFN_ALLOWMULTISELECT;
  ofn.Flags = (static_cast<DWORD>(flags) & ~unsupported) | OFN_EXPLORER | OFN_LONGNAMES;
  if (GetOpenFileNameW(&ofn)) return narrow(file.c_str());
  const DWORD error = CommDlgExtendedError();
  if (error == 0) return std::nullopt;  // the user cancelled
  throw vb::Error(vb::kInvalidCall, "the open-file dialog failed (error " + std::to_string(error) + ")");
}

}  // namespace platform::win
