#include "library/SongLength.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vx {
namespace {

TEST(SongLength, ATakeLastsItsExactMillisecondsInEveryFormat) {
  // 3.5 s in each capture format: bytes per second of 44.1/22.05 kHz, stereo/mono, 16 bits.
  for (const std::uint32_t bytesPerSecond : {176400u, 88200u, 88200u, 44100u}) {
    const std::uint64_t bytes = bytesPerSecond * 7ull / 2;
    EXPECT_EQ(AudioMilliseconds(bytes, bytesPerSecond), 3500u) << bytesPerSecond;
    EXPECT_EQ(SongLengthText(AudioMilliseconds(bytes, bytesPerSecond)), "00:03.500");
  }
  // Partial milliseconds are cut, never rounded up past the audio.
  EXPECT_EQ(AudioMilliseconds(44099, 44100), 999u);
  EXPECT_EQ(AudioMilliseconds(0, 44100), 0u);
  EXPECT_EQ(AudioMilliseconds(1000, 0), 0u);
  // The largest WAVE take (4 GiB at 44.1 kHz stereo) does not overflow on the way.
  EXPECT_EQ(AudioMilliseconds(0xffff0000ull, 176400), 24347515u);
  EXPECT_EQ(SongLengthText(24347515u), "405:47.515");
}

TEST(SongLength, ALengthTextIsReadByItsSeparators) {
  EXPECT_EQ(SongLengthMilliseconds("03:30.500"), 210500u);
  EXPECT_EQ(SongLengthMilliseconds("03:30:500"), 210500u);  // an MP3 import's form
  EXPECT_EQ(SongLengthMilliseconds("3:05.2"), 185002u);      // short fields
  EXPECT_EQ(SongLengthMilliseconds("120:00.000"), 7200000u);  // past 99 minutes
  EXPECT_EQ(SongLengthMilliseconds("405:47.515"), 24347515u);
  EXPECT_EQ(SongLengthMilliseconds("02:00"), 120000u);
  // Unreadable texts count nothing.
  for (const char* text : {"", "03", "ab:cd.efg", "03:75.000", "03:30.5000", "-1:00.000",
                           "03:30.500x", ":30.500"}) {
    EXPECT_EQ(SongLengthMilliseconds(text), 0u) << text;
  }
}

}  // namespace
}  // namespace vx
