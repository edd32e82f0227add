#include <gtest/gtest.h>

#include "library/CueOffset.h"
#include "library/NameCharacters.h"

namespace vx {
namespace {

TEST(CueOffset, WaveTextsRoundTripAndHoldToTheSong) {
  EXPECT_EQ(FormatCueOffset(CueMedium::kWave, 83456), "01:23.456");
  EXPECT_EQ(FormatCueOffset(CueMedium::kWave, 0), "00:00.000");
  EXPECT_EQ(FormatCueOffset(CueMedium::kWave, 5999999), "99:59.999");
  // Held to [start, end]: before the start is the start, past the end is the end.
  EXPECT_EQ(FormatCueOffset(CueMedium::kWave, -20, 0, 180000), "00:00.000");
  EXPECT_EQ(FormatCueOffset(CueMedium::kWave, 200000, 0, 180000), "03:00.000");

  EXPECT_EQ(ParseCueOffset(CueMedium::kWave, "01:23.456"), 83456);
  EXPECT_EQ(ParseCueOffset(CueMedium::kWave, "01:02.003"), 62003);
  EXPECT_EQ(ParseCueOffset(CueMedium::kWave, "99:59.999"), 5999999);
  for (long ms : {0L, 1L, 999L, 1000L, 59999L, 60000L, 3599999L}) {
    EXPECT_EQ(ParseCueOffset(CueMedium::kWave, FormatCueOffset(CueMedium::kWave, ms)), ms);
  }
}

TEST(CueOffset, CdTextsCountFramesFromTheTrackStart) {
  EXPECT_EQ(FormatCueOffset(CueMedium::kCd, 2 * 75 + 10), "00:02:10");
  EXPECT_EQ(FormatCueOffset(CueMedium::kCd, 4500 + 74), "01:00:74");
  // An absolute position made relative to its track and held inside it.
  EXPECT_EQ(FormatCueOffset(CueMedium::kCd, 1000 + 160, 1000, 1000 + 9000), "00:02:10");
  EXPECT_EQ(FormatCueOffset(CueMedium::kCd, 12000, 1000, 10000), "02:00:00");
  EXPECT_EQ(FormatCueOffset(CueMedium::kCd, 900, 1000, 10000), "00:00:00");

  EXPECT_EQ(ParseCueOffset(CueMedium::kCd, "00:02:10"), 160);
  EXPECT_EQ(ParseCueOffset(CueMedium::kCd, "72:59:74"), 72 * 4500 + 59 * 75 + 74);
}

TEST(CueOffset, MalformedTextsAndLongOffsetsDoNotParse) {
  for (const char* bad : {"", "1:23.456", "01:23.4567", "01.23.456", "01:23:456", "0a:23.456",
                          "01:2 .456", "-1:23.456", "00:00:00"}) {
    EXPECT_EQ(ParseCueOffset(CueMedium::kWave, bad), -1) << bad;
  }
  for (const char* bad : {"00:00.00", "00:00:0", "0:00:000", "00.00:00", "00:00:0x"}) {
    EXPECT_EQ(ParseCueOffset(CueMedium::kCd, bad), -1) << bad;
  }
  // 100 minutes print with three digits and are refused when read back.
  const std::string hundred = FormatCueOffset(CueMedium::kWave, 6000000);
  EXPECT_EQ(hundred, "100:00.000");
  EXPECT_EQ(ParseCueOffset(CueMedium::kWave, hundred), -1);
  EXPECT_EQ(ParseCueOffset(CueMedium::kCd, FormatCueOffset(CueMedium::kCd, 100 * 4500)), -1);
}

TEST(NameCharacters, EachForbiddenCharacterBecomesAnUnderscore) {
  EXPECT_EQ(ReplaceForbiddenNameCharacters("VOCAL (HOOK)?"), "VOCAL _HOOK__");
  EXPECT_EQ(ReplaceForbiddenNameCharacters("'|![]{}%^&*()=;:<>,.?\\/"),
            QString(23, QLatin1Char('_')));
  EXPECT_EQ(ReplaceForbiddenNameCharacters("DROP #2 - CAFÉ \"LIVE\""), "DROP #2 - CAFÉ \"LIVE\"");
  EXPECT_EQ(ReplaceForbiddenNameCharacters(""), "");
}

}  // namespace
}  // namespace vx
