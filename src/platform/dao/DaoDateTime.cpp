#include "platform/dao/DaoDateTime.h"

#include <cstdio>
#include <ctime>

namespace vx::dao {

std::string DaoDateTime::ToIso() const {
  if (IsNull()) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                minute, second);
  return text;
}

DaoDateTime DaoDateTime::FromIso(std::string_view text) {
  DaoDateTime value;
  const std::string copy(text.substr(0, 40));
  int fields = std::sscanf(copy.c_str(), "%d-%d-%d %d:%d:%d", &value.year, &value.month,
                           &value.day, &value.hour, &value.minute, &value.second);
  if (fields < 3 || value.year <= 0 || value.month < 1 || value.month > 12 || value.day < 1 ||
      value.day > 31) {
    return {};
  }
  if (fields < 4) value.hour = 0;
  if (fields < 5) value.minute = 0;
  if (fields < 6) value.second = 0;
  return value;
}

DaoDateTime DaoDateTime::Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, 0, 0, 0};
}

}  // namespace vx::dao
