#include "library/CueOffset.h"

#include <algorithm>
#include <cassert>
#include <cstdio>

namespace vx {
namespace {

struct Form {
  std::size_t width;
  char lastSeparator;
  std::size_t lastDigits;
};

Form FormOf(CueMedium medium) {
  return medium == CueMedium::kWave ? Form{9, '.', 3} : Form{8, ':', 2};
}

long Digits(std::string_view text, std::size_t from, std::size_t count) {
  long value = 0;
  for (std::size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

std::string FormatCueOffset(CueMedium medium, long position, long start, long end) {
  assert(start <= end);
  const long v = std::clamp(position, start, end) - start;
  const long perSecond = CueUnitsPerSecond(medium);
  const long perMinute = perSecond * 60;
  const long m = v / perMinute;
  const long s = (v - m * perMinute) / perSecond;
  const long f = v - (m * 60 + s) * perSecond;
  char text[48];
  std::snprintf(text, sizeof text,
                medium == CueMedium::kWave ? "%02ld:%02ld.%03ld" : "%02ld:%02ld:%02ld", m, s, f);
  return text;
}

long ParseCueOffset(CueMedium medium, std::string_view text) {
  const Form form = FormOf(medium);
  if (text.size() != form.width) return -1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool separator = i == 2 || i == 5;
    const char expected = i == 5 ? form.lastSeparator : ':';
    if (separator ? text[i] != expected : (text[i] < '0' || text[i] > '9')) return -1;
  }
  const long perSecond = CueUnitsPerSecond(medium);
  return Digits(text, 0, 2) * 60 * perSecond + Digits(text, 3, 2) * perSecond +
         Digits(text, 6, form.lastDigits);
}

const char* ZeroCueOffset(CueMedium medium) {
  return medium == CueMedium::kWave ? "00:00.000" : "00:00:00";
}

}  // namespace vx
