#include "platform/win/win_desktop.h"

#include "platform/ui.h"
#include "platform/win/wide_text.h"
#include "vb/error.h"

namespace platform::win {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr UINT kBroadcastTimeoutMs = 500;

int screenDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

int twipsToPixels(int twips, int dpi) { return static_cast<int>(static_cast<long long>(twips) * dpi / kTwipsPerInch); }
int pixelsToTwips(int pixels, int dpi) {
  return static_cast<int>(static_cast<long long>(pixels) * kTwipsPerInch / dpi);
}

BOOL CALLBACK acceptDateFormat(LPWSTR) { return TRUE; }

void appendQuoted(std::wstring& out, const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    out += arg;
    return;
  }
  out += L'"';
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped; elsewhere they are literal.
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');  // before the closing quote
  out += L'"';
}

}  // namespace

std::wstring commandLine(const std::vector<std::string>& argv) {
  std::wstring out;
  for (size_t i = 0; i < argv.size(); ++i) {
    std::wstring arg = widen(argv[i]);
    if (i == 0) {
      // The program's name ends at the first blank, or at the quote after an opening one.
      if (arg.empty() || arg.find_first_of(L" \t") != std::wstring::npos) out += L'"' + arg + L'"';
      else out += arg;
      continue;
    }
    out += L' ';
    appendQuoted(out, arg);
  }
  return out;
}

Point WinDesktop::cursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

Rect WinDesktop::windowRect(const ui::Window& w) {
  HWND h = handleOf ? handleOf(w) : nullptr;
  RECT r{};
  if (h && GetWindowRect(h, &r)) return {r.left, r.top, r.right, r.bottom};
  const int dpi = screenDpi();
  return {twipsToPixels(w.left(), dpi), twipsToPixels(w.top(), dpi), twipsToPixels(w.left() + w.width(), dpi),
          twipsToPixels(w.top() + w.height(), dpi)};
}

int WinDesktop::screenWidth() { return pixelsToTwips(GetSystemMetrics(SM_CXSCREEN), screenDpi()); }
int WinDesktop::screenHeight() { return pixelsToTwips(GetSystemMetrics(SM_CYSCREEN), screenDpi()); }

long WinDesktop::systemDefaultLcid() { return static_cast<long>(GetSystemDefaultLCID()); }

bool WinDesktop::setLocaleInfo(long lcid, int item, const std::string& value) {
  return SetLocaleInfoW(static_cast<LCID>(lcid), static_cast<LCTYPE>(item), widen(value).c_str()) != 0;
}

bool WinDesktop::broadcastSettingChange() {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"),
                             SMTO_ABORTIFHUNG, kBroadcastTimeoutMs, &result) != 0;
}

bool WinDesktop::enumDateFormats(long lcid, int flags) {
  return EnumDateFormatsW(acceptDateFormat, static_cast<LCID>(lcid), static_cast<DWORD>(flags)) != 0;
}

std::string WinDesktop::shortDateFormat() {
  wchar_t buf[80];
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, 80);
  return n > 0 ? narrow(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

Date WinDesktop::today() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay};
}

void WinDesktop::startProcess(const std::vector<std::string>& argv) {
  if (argv.empty()) throw vb::Error(vb::kInvalidCall, "no program to start");
  std::wstring line = commandLine(argv);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // No application name: the program is found from the command line's first word.
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    throw vb::Error(vb::kFileNotFound);  // as the original Shell reports a missing program
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

void WinDesktop::sleep(int milliseconds) { Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0); }

std::string WinDesktop::programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return narrow(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
}

}  // namespace platform::win
