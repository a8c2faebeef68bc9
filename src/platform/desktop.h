#pragma once
// The desktop and the operating system: cursor, screen, window rectangles, the
// user's short date format, the clock, Notepad and pauses.
#include <string>
#include <vector>

namespace ui {
class Window;
}

namespace platform {

struct Point {
  int x = 0, y = 0;
};
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};
struct Date {
  int year = 2000, month = 1, day = 1;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Cursor position and window rectangles in screen pixels.
  virtual Point cursorPos() = 0;
  virtual Rect windowRect(const ui::Window& w) = 0;
  // Screen size in twips.
  virtual int screenWidth() = 0;
  virtual int screenHeight() = 0;

  // Locale calls of the short-date set-up; their results are the caller's to ignore.
  virtual long systemDefaultLcid() = 0;
  virtual bool setLocaleInfo(long lcid, int item, const std::string& value) = 0;
  virtual bool broadcastSettingChange() = 0;
  virtual bool enumDateFormats(long lcid, int flags) = 0;
  virtual std::string shortDateFormat() = 0;

  virtual Date today() = 0;
  // Starts a program, not waited for: the program's name and its arguments, each passed
  // as it is, never through a shell, so blanks and shell characters in a path stay part
  // of that one argument.
  virtual void startProcess(const std::vector<std::string>& argv) = 0;
  virtual void sleep(int milliseconds) = 0;
  // The folder of the program's executable, without a trailing separator.
  virtual std::string programFolder() = 0;
};

// A date in a short date format made of yyyy, MM, dd (and M, d, yy).
std::string formatDate(const Date& d, const std::string& format);

}  // namespace platform
