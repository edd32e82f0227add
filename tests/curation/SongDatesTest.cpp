#include "curation/SongDates.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(SongDates, DatesReadAsMonthDayYearWhateverTheLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // would read 02.03.1999
  EXPECT_EQ(ParseSongDate(QStringLiteral("02/03/1999")), (dao::DaoDateTime{1999, 2, 3}));
  EXPECT_EQ(ParseSongDate(QStringLiteral(" 2/3/1999 ")), (dao::DaoDateTime{1999, 2, 3}));
  EXPECT_EQ(ParseSongDate(QStringLiteral("02/29/2000")), (dao::DaoDateTime{2000, 2, 29}));
  QLocale::setDefault(saved);

  for (const char* wrong : {"02/30/1999", "02/29/1999", "13/01/2000", "00/10/2000", "1999",
                            "", "12/31/99", "12-31-1999", "1a/01/2000", "01/01/0000",
                            "01/01/2000/1"}) {
    EXPECT_FALSE(ParseSongDate(QString::fromUtf8(wrong))) << wrong;
  }
}

TEST(SongDates, DatesWriteAsTwoDigitMonthAndDayAndFourDigitYear) {
  EXPECT_EQ(SongDateText(dao::DaoDateTime{1999, 2, 3}), QStringLiteral("02/03/1999"));
  EXPECT_EQ(SongDateText(QDate(2000, 12, 25)), QStringLiteral("12/25/2000"));
  EXPECT_EQ(SongDateText(dao::DaoDateTime{}), QString());  // no date stored
}

}  // namespace
}  // namespace vx
