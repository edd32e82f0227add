// Conversion stream mechanics: block-align consumption, size queries, small destinations,
// refusals, garbage input and streams on separate threads.
#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "AcmTestSupport.h"
#include "platform/acm/AcmFormat.h"

namespace vx::acm {
namespace {

using namespace vx::acm::test;
using riff::WaveFormat;

constexpr std::size_t kStereoBlockPcm = 2036 * 4;  // PCM bytes of one 44.1 kHz stereo block

std::unique_ptr<AcmStream> OpenEncoder() {
  std::unique_ptr<AcmStream> stream;
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(2, 44100),
                            MsAdpcmFormat(2, 44100), stream),
            AcmResult::kOk);
  return stream;
}

TEST(AcmStream, BlockAlignConvertsWholeBlocksAndLeavesTheRest) {
  std::unique_ptr<AcmStream> stream = OpenEncoder();
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->DestinationSizeFor(kStereoBlockPcm), 2048u);
  EXPECT_EQ(stream->DestinationSizeFor(kStereoBlockPcm + 4), 4096u);
  EXPECT_EQ(stream->DestinationSizeFor(3), 0u);  // not even one sample frame
  EXPECT_EQ(stream->SourceSizeFor(4095), kStereoBlockPcm);

  const Bytes source = SinePcm(1, 44100, 2);
  Bytes destination(3 * 2048);
  AcmConvertResult result;
  const std::size_t offered = kStereoBlockPcm * 3 / 2;
  ASSERT_EQ(stream->Convert(source.data(), offered, destination.data(), destination.size(),
                            AcmConvertMode::kBlockAlign, result),
            AcmResult::kOk);
  EXPECT_EQ(result.sourceUsed, kStereoBlockPcm);
  EXPECT_EQ(result.destinationUsed, 2048u);

  // Without block align the partial block is padded, but half a sample frame stays.
  ASSERT_EQ(stream->Convert(source.data() + kStereoBlockPcm, 1001, destination.data(),
                            destination.size(), AcmConvertMode::kAll, result),
            AcmResult::kOk);
  EXPECT_EQ(result.sourceUsed, 1000u);
  EXPECT_EQ(result.destinationUsed, 2048u);

  // Less than a block with block align: nothing happens.
  ASSERT_EQ(stream->Convert(source.data(), 100, destination.data(), destination.size(),
                            AcmConvertMode::kBlockAlign, result),
            AcmResult::kOk);
  EXPECT_EQ(result.sourceUsed, 0u);
  EXPECT_EQ(result.destinationUsed, 0u);
}

TEST(AcmStream, ASmallDestinationGetsTheRestOnTheNextCalls) {
  const Bytes source = SinePcm(1, 44100, 2);
  const std::size_t offered = kStereoBlockPcm * 4;
  Bytes whole(4 * 2048);
  AcmConvertResult result;
  std::unique_ptr<AcmStream> reference = OpenEncoder();
  ASSERT_EQ(reference->Convert(source.data(), offered, whole.data(), whole.size(),
                               AcmConvertMode::kBlockAlign, result),
            AcmResult::kOk);
  ASSERT_EQ(result.destinationUsed, whole.size());

  // 1000-byte destinations: the stream stops taking input while output is waiting.
  std::unique_ptr<AcmStream> stream = OpenEncoder();
  Bytes collected;
  std::size_t position = 0;
  for (int calls = 0; calls < 100 && collected.size() < whole.size(); ++calls) {
    Bytes destination(1000);
    ASSERT_EQ(stream->Convert(source.data() + position, offered - position, destination.data(),
                              destination.size(), AcmConvertMode::kBlockAlign, result),
              AcmResult::kOk);
    EXPECT_LE(result.sourceUsed, kStereoBlockPcm);  // never more than one block ahead
    position += result.sourceUsed;
    collected.insert(collected.end(), destination.begin(),
                     destination.begin() + static_cast<std::ptrdiff_t>(result.destinationUsed));
  }
  EXPECT_EQ(position, offered);
  EXPECT_EQ(collected, whole);
}

TEST(AcmStream, RefusesFormatsItCannotConvertAndCallsOutOfTurn) {
  std::unique_ptr<AcmStream> stream;
  const WaveFormat pcm = WaveFormat::Pcm16(2, 44100);
  WaveFormat adpcm = MsAdpcmFormat(2, 44100);
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, pcm, pcm, stream), AcmResult::kNotPossible);
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kImaAdpcm, pcm, ImaAdpcmFormat(2, 44100), stream),
            AcmResult::kNotPossible);
  EXPECT_EQ(AcmStream::Open(static_cast<AcmDriverId>(99), pcm, adpcm, stream),
            AcmResult::kNoDriver);

  WaveFormat otherCoefficients = adpcm;
  otherCoefficients.extra[6] = 0x7F;  // the encoder writes the standard table only
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, pcm, otherCoefficients, stream),
            AcmResult::kBadFormat);
  WaveFormat oddBlock = adpcm;
  oddBlock.blockAlign = 1536;  // not a power of two
  oddBlock.extra = MsAdpcmExtraBytes(MsAdpcmSamplesPerBlock(1536, 2));
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, pcm, oddBlock, stream), AcmResult::kBadFormat);
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, WaveFormat::Pcm16(1, 44100), adpcm, stream),
            AcmResult::kBadFormat);
  WaveFormat tinyBlock = adpcm;
  tinyBlock.blockAlign = 14;  // no room for a sample after the headers
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, tinyBlock, pcm, stream), AcmResult::kBadFormat);
  EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, adpcm, WaveFormat::Pcm16(1, 44100), stream),
            AcmResult::kBadFormat);
  EXPECT_FALSE(stream);

  ASSERT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, adpcm, pcm, stream), AcmResult::kOk);
  AcmConvertResult result;
  Bytes destination(16);
  EXPECT_EQ(stream->Convert(nullptr, 10, destination.data(), destination.size(),
                            AcmConvertMode::kAll, result),
            AcmResult::kInvalidArgument);
  std::size_t produced = 0;
  EXPECT_EQ(stream->Finish(destination.data(), destination.size(), produced), AcmResult::kOk);
  EXPECT_EQ(stream->Convert(destination.data(), destination.size(), destination.data(),
                            destination.size(), AcmConvertMode::kAll, result),
            AcmResult::kStreamFinished);
}

TEST(AcmStream, GarbageIntoEveryDecoderNeverFails) {
  WaveFormat mp3;
  mp3.formatTag = riff::kFormatMpegLayer3;
  mp3.channels = 2;
  mp3.samplesPerSec = 44100;
  mp3.blockAlign = 1;
  const std::pair<AcmDriverId, WaveFormat> decoders[] = {
      {AcmDriverId::kMsAdpcm, MsAdpcmFormat(2, 44100)},
      {AcmDriverId::kMsAdpcm, MsAdpcmFormat(1, 8000)},
      {AcmDriverId::kImaAdpcm, ImaAdpcmFormat(2, 22050)},
      {AcmDriverId::kMpegLayer3, mp3},
  };
  std::mt19937 random(42);
  Bytes garbage(200000);
  for (auto& byte : garbage) byte = static_cast<std::uint8_t>(random());
  // Runs of frame-sync bytes tempt the MPEG parser into false frames.
  for (std::size_t i = 0; i < garbage.size(); i += 997) garbage[i] = 0xFF;
  for (const auto& [driver, format] : decoders) {
    SCOPED_TRACE(format.formatTag);
    WaveFormat pcm;
    ASSERT_EQ(SuggestFormat(driver, format, riff::kFormatPcm, pcm), AcmResult::kOk);
    std::unique_ptr<AcmStream> stream;
    ASSERT_EQ(AcmStream::Open(driver, format, pcm, stream), AcmResult::kOk);
    const Bytes decoded =
        ConvertInChunks(*stream, garbage, RandomChunks(9, 5000), AcmConvertMode::kBlockAlign);
    EXPECT_EQ(decoded.size() % pcm.blockAlign, 0u);
  }
}

TEST(AcmStream, StreamsOnSeparateThreadsDoNotDisturbEachOther) {
  const Bytes source = SinePcm(1, 44100, 2);
  auto roundTrip = [&source](Bytes& decoded) {
    std::unique_ptr<AcmStream> encoder = OpenEncoder();
    std::unique_ptr<AcmStream> decoder;
    EXPECT_EQ(AcmStream::Open(AcmDriverId::kMsAdpcm, MsAdpcmFormat(2, 44100),
                              WaveFormat::Pcm16(2, 44100), decoder),
              AcmResult::kOk);
    if (!encoder || !decoder) return;
    const Bytes encoded =
        ConvertInChunks(*encoder, source, RandomChunks(1, 20000), AcmConvertMode::kBlockAlign);
    decoded =
        ConvertInChunks(*decoder, encoded, RandomChunks(2, 5000), AcmConvertMode::kBlockAlign);
  };
  Bytes alone;
  roundTrip(alone);
  ASSERT_FALSE(alone.empty());
  Bytes first;
  Bytes second;
  std::thread one(roundTrip, std::ref(first));
  std::thread two(roundTrip, std::ref(second));
  one.join();
  two.join();
  EXPECT_EQ(first, alone);
  EXPECT_EQ(second, alone);
}

}  // namespace
}  // namespace vx::acm
