#include "platform/desktop.h"

#include <cstdio>

namespace platform {

std::string formatDate(const Date& d, const std::string& format) {
  std::string out;
  for (size_t i = 0; i < format.size();) {
    auto run = [&](char c) {
      size_t n = 0;
      while (i + n < format.size() && format[i + n] == c) ++n;
      return n;
    };
    char c = format[i];
    char buf[16];
    if (c == 'y') {
      size_t n = run('y');
      if (n >= 3) std::snprintf(buf, sizeof buf, "%04d", d.year);
      else std::snprintf(buf, sizeof buf, "%02d", d.year % 100);
      out += buf;
      i += n;
    } else if (c == 'M') {
      size_t n = run('M');
      std::snprintf(buf, sizeof buf, n >= 2 ? "%02d" : "%d", d.month);
      out += buf;
      i += n;
    } else if (c == 'd') {
      size_t n = run('d');
      std::snprintf(buf, sizeof buf, n >= 2 ? "%02d" : "%d", d.day);
      out += buf;
      i += n;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

}  // namespace platform
