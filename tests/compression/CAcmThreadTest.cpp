// The conversion thread: songs of every shape come out as one continuous encoding of their
// audio with their tags, failures end only the conversion in hand, and a worker stuck on a
// file never holds up the calls of the user-interface thread.
#include "compression/CAcmThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <utility>

#include "AcmTestSupport.h"
#include "CompressionTestKit.h"
#include "platform/acm/AcmFormat.h"
#include "platform/acm/AcmStream.h"
#include "platform/riff/WaveFile.h"
#include "support/RunTool.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using test::Bytes;

class MessageLog {
 public:
  CAcmThread::MessageSink Sink() {
    return [this](const AcmThreadMessage& message) {
      std::lock_guard lock(mutex_);
      codes_.push_back(message.kind == AcmThreadMessage::Kind::Code ? message.code : -1);
    };
  }
  std::vector<int> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(codes_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<int> codes_;
};

ConversionRequest Request(const std::string& source, const std::string& destination,
                          std::uint16_t destinationTag = riff::kFormatMsAdpcm) {
  return {source, destination, riff::kFormatPcm, destinationTag, "MIX", "ABBA", "Velumix"};
}

AcmStatus Convert(CAcmThread& thread, const ConversionRequest& request) {
  EXPECT_TRUE(thread.StartConversion(request));
  EXPECT_TRUE(thread.WaitForDone(60s));
  return thread.GetStatus();
}

// The whole audio encoded in one call: what block-wise conversion must add up to.
Bytes EncodeAtOnce(const Bytes& pcm, int channels, int rate) {
  const riff::WaveFormat source = riff::WaveFormat::Pcm16(channels, rate);
  riff::WaveFormat suggested;
  EXPECT_EQ(acm::SuggestFormat(acm::AcmDriverId::kMsAdpcm, source, riff::kFormatMsAdpcm, suggested),
            acm::AcmResult::kOk);
  std::unique_ptr<acm::AcmStream> stream;
  EXPECT_EQ(acm::AcmStream::Open(acm::AcmDriverId::kMsAdpcm, source, suggested, stream),
            acm::AcmResult::kOk);
  Bytes out(stream->DestinationSizeFor(pcm.size()));
  acm::AcmConvertResult result;
  EXPECT_EQ(stream->Convert(pcm.data(), pcm.size(), out.data(), out.size(),
                            acm::AcmConvertMode::kAll, result),
            acm::AcmResult::kOk);
  out.resize(result.destinationUsed);
  return out;
}

TEST(AcmThread, SongsOfEveryShapeComeOutWholeAndTagged) {
  struct Shape {
    const char* what;
    int channels;
    int rate;
    std::size_t frames;
    std::optional<std::uint32_t> statedAvgBytes;
  };
  const Shape shapes[] = {
      {"stereo 44.1 kHz, blocks leave a remainder", 2, 44100, 233730, {}},
      {"mono 22.05 kHz", 1, 22050, 66150, {}},
      {"zero-length", 2, 44100, 0, {}},
      {"one frame short of a two-second block", 2, 44100, 88199, {}},
      {"exactly two two-second blocks", 2, 44100, 176400, {}},
      {"header stating 0 bytes per second", 2, 44100, 50000, 0u},
  };
  MessageLog log;
  CAcmThread thread(log.Sink());
  thread.Run();
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.what);
    const std::string source = test::TestFolder() + "/Song0000000001.Wav";
    const std::string destination = test::TestFolder() + "/Temp0000000001.Wav";
    const Bytes pcm = test::PcmFrames(shape.frames, shape.rate, shape.channels);
    test::WritePcmFile(source, shape.rate, shape.channels, pcm, shape.statedAvgBytes);

    const AcmStatus status = Convert(thread, Request(source, destination));
    EXPECT_TRUE(status.done);
    EXPECT_FALSE(status.failed);
    EXPECT_EQ(status.percent, 100);
    EXPECT_EQ(test::FileFormatTag(destination), riff::kFormatMsAdpcm);
    // Re-read remainders and the final partial block join up exactly.
    EXPECT_EQ(test::DataChunk(destination), EncodeAtOnce(pcm, shape.channels, shape.rate));

    // Outside readers agree: the tags, the format, and the audio itself. (ffprobe takes an
    // empty "data" chunk for one of unknown length and so never sees the tags after it.)
    if (shape.frames == 0) continue;
    const auto tags = test::RunTool({"ffprobe", "-v", "error", "-show_entries",
                                     "format_tags=title,artist,encoder", "-of",
                                     "default=noprint_wrappers=1", destination});
    ASSERT_TRUE(tags);
    const std::string tagText(tags->begin(), tags->end());
    EXPECT_NE(tagText.find("TAG:title=MIX"), std::string::npos) << tagText;
    EXPECT_NE(tagText.find("TAG:artist=ABBA"), std::string::npos) << tagText;
    EXPECT_NE(tagText.find("TAG:encoder=Velumix"), std::string::npos) << tagText;
    const auto decoded = test::FfmpegDecode(destination);
    ASSERT_TRUE(decoded);
    const int samplesPerBlock = acm::MsAdpcmSamplesPerBlock(
        acm::MsAdpcmFormat(shape.channels, shape.rate).blockAlign, shape.channels);
    const std::size_t blocks = (shape.frames + samplesPerBlock - 1) / samplesPerBlock;
    EXPECT_EQ(decoded->size(), blocks * samplesPerBlock * shape.channels);
    EXPECT_GT(acm::test::SnrDb(acm::test::ToSamples(pcm), *decoded, pcm.size() / 2), 20.0);
    EXPECT_TRUE(test::RunTool({"sox", destination, "-n"}));
  }
  EXPECT_TRUE(log.Take().empty());
  thread.Stop();
  EXPECT_TRUE(thread.WaitForEnd(10s));
}

TEST(AcmThread, AFailureEndsOnlyTheConversionInHand) {
  const std::string folder = test::TestFolder();
  const std::string good = folder + "/good.wav";
  test::WritePcmFile(good, 44100, 2, test::PcmFrames(44100, 44100, 2));
  const std::string junk = folder + "/junk.wav";
  std::ofstream(junk) << "not a wave file at all";
  const std::string adpcm = folder + "/adpcm.wav";
  acm::test::WriteWave(adpcm, acm::MsAdpcmFormat(2, 44100), Bytes(2048, 0));

  const struct {
    const char* what;
    ConversionRequest request;
    std::vector<int> codes;
  } cases[] = {
      {"missing source", Request(folder + "/missing.wav", folder + "/out.wav"), {2}},
      {"not a WAVE file", Request(junk, folder + "/out.wav"), {3}},
      {"source already compressed", Request(adpcm, folder + "/out.wav"), {7}},
      {"no codec for the tag", Request(good, folder + "/out.wav", 0x1234), {1}},
      {"codec that cannot encode", Request(good, folder + "/out.wav", riff::kFormatImaAdpcm), {10}},
      {"destination folder missing", Request(good, folder + "/none/out.wav"), {13}},
      {"disk full", Request(good, "/dev/full"), {14, 21}},
  };
  MessageLog log;
  CAcmThread thread(log.Sink());
  thread.Run();
  for (const auto& failure : cases) {
    SCOPED_TRACE(failure.what);
    const AcmStatus status = Convert(thread, failure.request);
    EXPECT_TRUE(status.done);
    EXPECT_TRUE(status.failed);
    const std::vector<int> codes = log.Take();
    ASSERT_EQ(codes.size(), 1u);
    EXPECT_NE(std::find(failure.codes.begin(), failure.codes.end(), codes[0]),
              failure.codes.end())
        << codes[0];
    EXPECT_FALSE(std::filesystem::exists(folder + "/out.wav"));
  }
  // The thread takes the next song as if nothing had happened.
  const AcmStatus status = Convert(thread, Request(good, folder + "/out.wav"));
  EXPECT_FALSE(status.failed);
  EXPECT_EQ(test::FileFormatTag(folder + "/out.wav"), riff::kFormatMsAdpcm);
}

TEST(AcmThread, AWorkerStuckOnAFileNeverHoldsUpTheCaller) {
  const std::string stuckPath = test::TestFolder() + "/Song0000000001.Wav";
  test::StuckFile stuck(stuckPath);
  const std::string good = test::TestFolder() + "/good.wav";
  test::WritePcmFile(good, 44100, 2, test::PcmFrames(4410, 44100, 2));

  MessageLog log;
  {
    CAcmThread thread(log.Sink());
    thread.Run();
    ASSERT_TRUE(thread.StartConversion(Request(stuckPath, test::TestFolder() + "/out.wav")));
    ASSERT_TRUE(stuck.WaitUntilStuck());
    EXPECT_FALSE(thread.StartConversion(Request(good, test::TestFolder() + "/other.wav")));
    EXPECT_FALSE(thread.GetStatus().done);
    thread.Stop();  // answers although the worker is stuck
    EXPECT_FALSE(thread.WaitForEnd(100ms));

    stuck.Release();
    EXPECT_TRUE(thread.WaitForEnd(10s));
    EXPECT_FALSE(thread.StartConversion(Request(good, test::TestFolder() + "/other.wav")));
    thread.Stop();
  }
  EXPECT_TRUE(log.Take().empty());  // an abandoned conversion reports nothing
  EXPECT_FALSE(std::filesystem::exists(test::TestFolder() + "/other.wav"));
  EXPECT_EQ(CAcmThread::RunningWorkers(), 0);
}

}  // namespace
}  // namespace vx
