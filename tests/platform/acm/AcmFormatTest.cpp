// Drivers, format sizes, enumeration and suggestion of the codec manager.
#include <gtest/gtest.h>

#include "platform/acm/AcmDriver.h"
#include "platform/acm/AcmFormat.h"

namespace vx::acm {
namespace {

using riff::WaveFormat;

TEST(AcmDrivers, FindsOneDriverPerCompressedTagWithItsDirections) {
  const auto adpcm = FindDriverForTag(riff::kFormatMsAdpcm);
  ASSERT_TRUE(adpcm.has_value());
  const AcmDriverInfo* ms = FindDriver(*adpcm);
  ASSERT_NE(ms, nullptr);
  EXPECT_TRUE(ms->encodes && ms->decodes && ms->ConvertsCodecs());
  // The batch compressor's code letter is the first letter of this name.
  EXPECT_EQ(ms->shortName.rfind("ADPCM", 0), 0u);
  EXPECT_EQ(ms->shortName[0], 'A');

  const auto ima = FindDriverForTag(riff::kFormatImaAdpcm);
  ASSERT_TRUE(ima.has_value());
  EXPECT_FALSE(FindDriver(*ima)->encodes);
  EXPECT_TRUE(FindDriver(*ima)->decodes);
  EXPECT_EQ(FindDriver(*ima)->shortName, "IMA ADPCM");

  const auto mp3 = FindDriverForTag(riff::kFormatMpegLayer3);
  ASSERT_TRUE(mp3.has_value());
  EXPECT_FALSE(FindDriver(*mp3)->encodes);
  EXPECT_TRUE(FindDriver(*mp3)->decodes);
  EXPECT_EQ(FindDriver(*mp3)->shortName, "MPEG Layer-3");

  EXPECT_FALSE(FindDriverForTag(riff::kFormatPcm).has_value());
  EXPECT_FALSE(FindDriverForTag(0x1234).has_value());
  EXPECT_EQ(FindDriver(static_cast<AcmDriverId>(99)), nullptr);
  EXPECT_EQ(InstalledDrivers().size(), 3u);
}

TEST(AcmDrivers, ReportsTheCodecLibraryVersion) {
  const CodecLibraryVersion version = GetCodecLibraryVersion();
  EXPECT_GE(version.major, 59u);
  const std::string numbers = std::to_string(version.major) + "." + std::to_string(version.minor) +
                              "." + std::to_string(version.micro);
  EXPECT_EQ(version.text.rfind("libavcodec " + numbers, 0), 0u) << version.text;
}

TEST(AcmFormats, LargestRecordIsTheMsAdpcmOneWithItsCoefficients) {
  EXPECT_EQ(MaxFormatSize(), 50u);
  EXPECT_EQ(MaxFormatSize(AcmDriverId::kMsAdpcm), 50u);
  EXPECT_EQ(MaxFormatSize(AcmDriverId::kImaAdpcm), 20u);
  EXPECT_EQ(MaxFormatSize(AcmDriverId::kMpegLayer3), 30u);
  EXPECT_EQ(MaxFormatSize(static_cast<AcmDriverId>(99)), 0u);
}

TEST(AcmSuggest, MsAdpcmFor44100StereoIsTheClassicFormat) {
  WaveFormat suggested;
  ASSERT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(2, 44100), riff::kFormatMsAdpcm,
                          suggested),
            AcmResult::kOk);
  EXPECT_EQ(suggested.formatTag, riff::kFormatMsAdpcm);
  EXPECT_EQ(suggested.channels, 2);
  EXPECT_EQ(suggested.samplesPerSec, 44100u);
  EXPECT_EQ(suggested.blockAlign, 2048);
  EXPECT_EQ(suggested.bitsPerSample, 4);
  EXPECT_EQ(suggested.avgBytesPerSec, 44359u);  // 44100 * 2048 / 2036
  const std::vector<std::uint8_t> extra = {
      0xF4, 0x07, 0x07, 0x00,                          // 2036 samples per block, 7 pairs
      0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0xFF,  // 256,0  512,-256
      0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x40, 0x00,  // 0,0  192,64
      0xF0, 0x00, 0x00, 0x00, 0xCC, 0x01, 0x30, 0xFF,  // 240,0  460,-208
      0x88, 0x01, 0x18, 0xFF};                         // 392,-232
  EXPECT_EQ(suggested.extra, extra);
  EXPECT_EQ(suggested.Bytes().size(), MaxFormatSize());
}

TEST(AcmSuggest, MsAdpcmBlockGrowsWithRateAndChannels) {
  struct Case {
    int channels, rate, blockAlign, samplesPerBlock;
    std::uint32_t avgBytesPerSec;
  };
  const Case cases[] = {
      {1, 22050, 512, 1012, 11155},
      {1, 11025, 256, 500, 5644},
      {2, 11025, 512, 500, 11289},
      {1, 8000, 256, 500, 4096},
      {2, 48000, 2048, 2036, 48282},
      // 40000 Hz: the factor 3 is rounded down to 2, a block size the encoder can produce.
      {1, 40000, 512, 1012, 20237},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " x " << c.rate);
    WaveFormat suggested;
    ASSERT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(c.channels, c.rate),
                            riff::kFormatMsAdpcm, suggested),
              AcmResult::kOk);
    EXPECT_EQ(suggested.blockAlign, c.blockAlign);
    EXPECT_EQ(MsAdpcmSamplesPerBlock(c.blockAlign, c.channels), c.samplesPerBlock);
    EXPECT_EQ(suggested.extra[0] | suggested.extra[1] << 8, c.samplesPerBlock);
    EXPECT_EQ(suggested.avgBytesPerSec, c.avgBytesPerSec);
    EXPECT_EQ(suggested.channels, c.channels);
  }
}

TEST(AcmSuggest, DecodingSuggests16BitPcmWithTheSourceLayout) {
  WaveFormat suggested;
  ASSERT_EQ(
      SuggestFormat(AcmDriverId::kMsAdpcm, MsAdpcmFormat(1, 22050), riff::kFormatPcm, suggested),
      AcmResult::kOk);
  EXPECT_EQ(suggested, WaveFormat::Pcm16(1, 22050));

  ASSERT_EQ(
      SuggestFormat(AcmDriverId::kImaAdpcm, ImaAdpcmFormat(2, 44100), riff::kFormatPcm, suggested),
      AcmResult::kOk);
  EXPECT_EQ(suggested, WaveFormat::Pcm16(2, 44100));

  WaveFormat mp3;
  mp3.formatTag = riff::kFormatMpegLayer3;
  mp3.channels = 2;
  mp3.samplesPerSec = 48000;
  mp3.blockAlign = 1;
  mp3.bitsPerSample = 0;
  ASSERT_EQ(SuggestFormat(AcmDriverId::kMpegLayer3, mp3, riff::kFormatPcm, suggested),
            AcmResult::kOk);
  EXPECT_EQ(suggested, WaveFormat::Pcm16(2, 48000));
}

TEST(AcmSuggest, RefusesWhatNoCodecCanDo) {
  WaveFormat suggested;
  WaveFormat eightBit = WaveFormat::Pcm16(2, 44100);
  eightBit.bitsPerSample = 8;
  eightBit.blockAlign = 2;
  EXPECT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, eightBit, riff::kFormatMsAdpcm, suggested),
            AcmResult::kBadFormat);
  EXPECT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(3, 44100), riff::kFormatMsAdpcm,
                          suggested),
            AcmResult::kBadFormat);
  EXPECT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(2, 0), riff::kFormatMsAdpcm,
                          suggested),
            AcmResult::kBadFormat);
  // Decode-only drivers do not encode; a driver does not convert other drivers' tags.
  EXPECT_EQ(SuggestFormat(AcmDriverId::kImaAdpcm, WaveFormat::Pcm16(2, 44100),
                          riff::kFormatImaAdpcm, suggested),
            AcmResult::kNotPossible);
  EXPECT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(2, 44100),
                          riff::kFormatMpegLayer3, suggested),
            AcmResult::kNotPossible);
  EXPECT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(2, 44100), riff::kFormatPcm,
                          suggested),
            AcmResult::kNotPossible);
  EXPECT_EQ(SuggestFormat(static_cast<AcmDriverId>(99), WaveFormat::Pcm16(2, 44100),
                          riff::kFormatMsAdpcm, suggested),
            AcmResult::kNoDriver);
}

TEST(AcmFormats, EnumerationListsTheSuggestedFormatsOfTheTag) {
  const std::vector<AcmFormatDetails> formats = EnumerateFormats(riff::kFormatMsAdpcm);
  ASSERT_EQ(formats.size(), 8u);  // 4 rates x mono, stereo
  bool foundCdQuality = false;
  for (const AcmFormatDetails& details : formats) {
    EXPECT_EQ(details.driver, AcmDriverId::kMsAdpcm);
    EXPECT_EQ(details.format.formatTag, riff::kFormatMsAdpcm);
    EXPECT_EQ(details.format.Bytes().size(), kMsAdpcmFormatSize);
    foundCdQuality = foundCdQuality || details.format == MsAdpcmFormat(2, 44100);
  }
  EXPECT_TRUE(foundCdQuality);

  for (const AcmFormatDetails& details : EnumerateFormats(riff::kFormatMpegLayer3)) {
    EXPECT_EQ(details.driver, AcmDriverId::kMpegLayer3);
    EXPECT_EQ(details.format.Bytes().size(), kMpegLayer3FormatSize);
  }
  EXPECT_FALSE(EnumerateFormats(riff::kFormatImaAdpcm).empty());
  EXPECT_TRUE(EnumerateFormats(riff::kFormatPcm).empty());
  EXPECT_TRUE(EnumerateFormats(0x1234).empty());
}

}  // namespace
}  // namespace vx::acm
