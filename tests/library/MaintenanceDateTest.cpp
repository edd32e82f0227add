#include "library/MaintenanceDate.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

std::time_t LocalTime(int year, int month, int day, int hour) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(MaintenanceDate, DaysCountFromLocalMidnight) {
  const std::time_t feb1 = LocalTime(2000, 2, 1, 9);
  EXPECT_EQ(MaintDateText(feb1), "2000 02 01");
  EXPECT_EQ(DaysSinceMaint("2000 01 01", feb1), 31);
  EXPECT_EQ(DaysSinceMaint("2000 01 02", feb1), 30);
  EXPECT_EQ(DaysSinceMaint("2000 02 01", feb1), 0);
  EXPECT_EQ(DaysSinceMaint("2000 1 1", feb1), std::nullopt);  // 8 characters
  EXPECT_EQ(DaysSinceMaint("yesterday!", feb1), std::nullopt);
  EXPECT_EQ(DaysSinceMaint("2000 13 01", feb1), std::nullopt);
}

}  // namespace
}  // namespace vx
