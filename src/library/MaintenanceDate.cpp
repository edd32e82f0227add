#include "library/MaintenanceDate.h"

#include <cctype>

namespace vx {
namespace {

// The number in text[begin, begin + length), or -1 when a character is not a digit.
int Digits(const std::string& text, std::size_t begin, std::size_t length) {
  int value = 0;
  for (std::size_t i = begin; i < begin + length; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

std::string MaintDateText(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y %m %d", &local);
  return text;
}

std::optional<long> DaysSinceMaint(const std::string& lastMaint, std::time_t now) {
  if (lastMaint.size() < 10) return std::nullopt;
  const int year = Digits(lastMaint, 0, 4);
  const int month = Digits(lastMaint, 5, 2);
  const int day = Digits(lastMaint, 8, 2);
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  std::tm midnight{};
  midnight.tm_year = year - 1900;
  midnight.tm_mon = month - 1;
  midnight.tm_mday = day;
  midnight.tm_isdst = -1;  // let the system decide daylight saving
  const std::time_t then = std::mktime(&midnight);
  if (then == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<long>((now - then) / 86400);
}

}  // namespace vx
