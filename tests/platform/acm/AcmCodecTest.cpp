// Round trips through the real codecs, checked against the command-line tools: our MS
// ADPCM files must decode with ffmpeg and sox, and our decoders must give exactly what
// ffmpeg gives for the same bytes.
#include <gtest/gtest.h>

#include <algorithm>

#include "AcmTestSupport.h"
#include "platform/acm/AcmFormat.h"
#include "support/TestFolder.h"

namespace vx::acm {
namespace {

using namespace vx::acm::test;
using riff::WaveFormat;

std::unique_ptr<AcmStream> OpenStream(AcmDriverId driver, const WaveFormat& source,
                                      const WaveFormat& destination) {
  std::unique_ptr<AcmStream> stream;
  EXPECT_EQ(AcmStream::Open(driver, source, destination, stream), AcmResult::kOk);
  return stream;
}

Bytes Decode(AcmDriverId driver, const WaveFormat& source, const Bytes& data, unsigned seed,
             std::size_t largestChunk) {
  WaveFormat pcm;
  EXPECT_EQ(SuggestFormat(driver, source, riff::kFormatPcm, pcm), AcmResult::kOk);
  std::unique_ptr<AcmStream> stream = OpenStream(driver, source, pcm);
  if (!stream) return {};
  return ConvertInChunks(*stream, data, RandomChunks(seed, largestChunk),
                         AcmConvertMode::kBlockAlign);
}

// The decoded signal from the command-line tool, as 16-bit little-endian PCM.
Bytes ToolDecode(const std::vector<std::string>& args) {
  std::optional<Bytes> output = RunTool(args);
  EXPECT_TRUE(output.has_value()) << args[0] << " failed";
  return output.value_or(Bytes{});
}

// The first index where the two differ, or their common length.
std::size_t FirstDifference(const Bytes& a, const Bytes& b) {
  const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return static_cast<std::size_t>(mismatch.first - a.begin());
}

TEST(AcmMsAdpcm, EncodedChunkByChunkDecodesWithFfmpegSoxAndOurDecoder) {
  const WaveFormat pcm = WaveFormat::Pcm16(2, 44100);
  const Bytes source = SinePcm(3, 44100, 2);
  WaveFormat adpcm;
  ASSERT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, pcm, riff::kFormatMsAdpcm, adpcm), AcmResult::kOk);
  std::unique_ptr<AcmStream> encoder = OpenStream(AcmDriverId::kMsAdpcm, pcm, adpcm);
  ASSERT_TRUE(encoder);
  const Bytes encoded =
      ConvertInChunks(*encoder, source, RandomChunks(7, 30000), AcmConvertMode::kBlockAlign);
  // Whole blocks only; the last partial block was padded with silence.
  const std::size_t blockBytes = 2036 * 4;
  EXPECT_EQ(encoded.size(), (source.size() + blockBytes - 1) / blockBytes * 2048);

  const std::string path = vx::test::TestFolder() + "/adpcm.wav";
  WriteWave(path, adpcm, encoded);
  const Bytes byFfmpeg = ToolDecode({"ffmpeg", "-v", "error", "-i", path, "-f", "s16le", "-"});
  const Bytes bySox = ToolDecode({"sox", path, "-t", "s16", "-"});
  const Bytes byUs = Decode(AcmDriverId::kMsAdpcm, adpcm, encoded, 11, 9000);

  ASSERT_GE(byUs.size(), source.size());
  EXPECT_EQ(byUs.size(), encoded.size() / 2048 * blockBytes);
  ASSERT_EQ(byUs.size(), byFfmpeg.size());
  EXPECT_EQ(FirstDifference(byUs, byFfmpeg), byUs.size()) << "our decode differs from ffmpeg's";

  const std::vector<std::int16_t> reference = ToSamples(source);
  EXPECT_GT(SnrDb(reference, ToSamples(byUs), reference.size()), 30.0);
  ASSERT_GE(bySox.size(), source.size());
  EXPECT_GT(SnrDb(reference, ToSamples(bySox), reference.size()), 30.0);
}

TEST(AcmMsAdpcm, MonoAt22050RoundTripsThroughOurCodecs) {
  const WaveFormat pcm = WaveFormat::Pcm16(1, 22050);
  const Bytes source = SinePcm(1, 22050, 1);
  WaveFormat adpcm;
  ASSERT_EQ(SuggestFormat(AcmDriverId::kMsAdpcm, pcm, riff::kFormatMsAdpcm, adpcm), AcmResult::kOk);
  std::unique_ptr<AcmStream> encoder = OpenStream(AcmDriverId::kMsAdpcm, pcm, adpcm);
  ASSERT_TRUE(encoder);
  const Bytes encoded =
      ConvertInChunks(*encoder, source, RandomChunks(3, 5000), AcmConvertMode::kBlockAlign);
  const Bytes decoded = Decode(AcmDriverId::kMsAdpcm, adpcm, encoded, 5, 700);
  const std::vector<std::int16_t> reference = ToSamples(source);
  ASSERT_GE(decoded.size(), source.size());
  EXPECT_GT(SnrDb(reference, ToSamples(decoded), reference.size()), 20.0);
}

TEST(AcmImaAdpcm, DecodesAnFfmpegFileLikeFfmpeg) {
  const std::string folder = vx::test::TestFolder();
  WriteWave(folder + "/in.wav", WaveFormat::Pcm16(2, 44100), SinePcm(2, 44100, 2));
  ASSERT_TRUE(RunTool({"ffmpeg", "-v", "error", "-i", folder + "/in.wav", "-c:a", "adpcm_ima_wav",
                       folder + "/ima.wav"}));
  WaveFormat ima;
  Bytes data;
  ASSERT_TRUE(ReadWave(folder + "/ima.wav", ima, data));
  ASSERT_EQ(ima.formatTag, riff::kFormatImaAdpcm);

  const Bytes byFfmpeg =
      ToolDecode({"ffmpeg", "-v", "error", "-i", folder + "/ima.wav", "-f", "s16le", "-"});
  const Bytes byUs = Decode(AcmDriverId::kImaAdpcm, ima, data, 13, 6000);
  ASSERT_EQ(byUs.size(), byFfmpeg.size());
  EXPECT_EQ(FirstDifference(byUs, byFfmpeg), byUs.size());
}

class AcmMp3 : public testing::Test {
 protected:
  // A short MP3 made by lame without its info frame, so that every frame is audio and
  // ffmpeg, which would trim the encoder delay named in that frame, decodes all of them.
  void SetUp() override {
    const std::string folder = vx::test::TestFolder();
    WriteWave(folder + "/in.wav", WaveFormat::Pcm16(2, 44100), SinePcm(2, 44100, 2));
    mp3Path_ = folder + "/song.mp3";
    ASSERT_TRUE(RunTool({"lame", "--quiet", "-t", "-b", "128", folder + "/in.wav", mp3Path_}));
    frames_ = ReadFile(mp3Path_);
    ASSERT_GT(frames_.size(), 1000u);
    ASSERT_EQ(frames_[0], 0xFF);  // no tag in front: the file is frames only
    format_.formatTag = riff::kFormatMpegLayer3;
    format_.channels = 2;
    format_.samplesPerSec = 44100;
    format_.avgBytesPerSec = 16000;
    format_.blockAlign = 1;
    format_.bitsPerSample = 0;
  }

  std::string mp3Path_;
  Bytes frames_;
  WaveFormat format_;
};

TEST_F(AcmMp3, DecodesRawFramesInRandomChunksLikeFfmpeg) {
  const Bytes byFfmpeg = ToolDecode({"ffmpeg", "-v", "error", "-i", mp3Path_, "-f", "s16le", "-"});
  ASSERT_FALSE(byFfmpeg.empty());
  for (unsigned seed : {1u, 2u}) {
    SCOPED_TRACE(seed);
    const Bytes byUs = Decode(AcmDriverId::kMpegLayer3, format_, frames_, seed, seed * 700);
    ASSERT_EQ(byUs.size(), byFfmpeg.size());
    EXPECT_EQ(FirstDifference(byUs, byFfmpeg), byUs.size());
  }
  // One byte at a time works too.
  const Bytes byteWise = Decode(AcmDriverId::kMpegLayer3, format_, frames_, 3, 1);
  EXPECT_EQ(byteWise, byFfmpeg);
}

TEST_F(AcmMp3, SkipsTheTagsAWrappedFileKeeps) {
  const Bytes plain = Decode(AcmDriverId::kMpegLayer3, format_, frames_, 4, 3000);
  ASSERT_FALSE(plain.empty());
  // An ID3v2 tag of 300 bytes (with a frame sync inside) in front, an ID3v1 tag at the end.
  Bytes tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 2, 44};
  Bytes body(300, 0);
  body[100] = 0xFF;
  body[101] = 0xFB;
  body[102] = 0x90;
  tagged.insert(tagged.end(), body.begin(), body.end());
  tagged.insert(tagged.end(), frames_.begin(), frames_.end());
  Bytes id3v1(128, ' ');
  id3v1[0] = 'T';
  id3v1[1] = 'A';
  id3v1[2] = 'G';
  id3v1[127] = 255;
  tagged.insert(tagged.end(), id3v1.begin(), id3v1.end());
  for (unsigned seed : {5u, 6u}) {
    SCOPED_TRACE(seed);
    EXPECT_EQ(Decode(AcmDriverId::kMpegLayer3, format_, tagged, seed, seed == 5 ? 4 : 5000), plain);
  }
}

}  // namespace
}  // namespace vx::acm
