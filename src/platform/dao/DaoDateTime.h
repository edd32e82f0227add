// A date and time as the library stores it: ISO text "YYYY-MM-DD HH:MM:SS". A year of 0
// means no value (a NULL column).
#pragma once

#include <compare>
#include <string>
#include <string_view>

namespace vx::dao {

struct DaoDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool IsNull() const { return year == 0; }
  std::string ToIso() const;
  // Accepts "YYYY-MM-DD" with an optional " HH:MM[:SS]"; anything else gives a null value.
  static DaoDateTime FromIso(std::string_view text);
  static DaoDateTime Today();  // local date, midnight

  auto operator<=>(const DaoDateTime&) const = default;
};

}  // namespace vx::dao
