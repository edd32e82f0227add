// The WAVE check run through the wave audio device: what passes, each refusal and its
// message, several messages for one file, and the wave alias left free on every path.
#include "import/ValidateWavFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "cd/CMciDevice.h"
#include "import/ImportText.h"
#include "platform/riff/WaveFile.h"
#include "support/RunTool.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

// A PCM file of the given layout holding `ms` milliseconds of silence.
std::string PcmFile(const std::string& name, int rate, int bits, int channels, int ms = 1500) {
  riff::WaveFormat format;
  format.channels = static_cast<std::uint16_t>(channels);
  format.samplesPerSec = static_cast<std::uint32_t>(rate);
  format.bitsPerSample = static_cast<std::uint16_t>(bits);
  format.blockAlign = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
  format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
  const std::string path = test::TestFolder() + "/" + name;
  riff::WaveFileWriter writer;
  EXPECT_TRUE(writer.Create(path, format));
  // Whole frames, rounded up so the length comes out as `ms`.
  const std::size_t frames = (std::size_t{format.samplesPerSec} * ms + 999) / 1000;
  const std::vector<char> silence(frames * format.blockAlign);
  writer.Append(silence.data(), silence.size());
  EXPECT_TRUE(writer.Close());
  return path;
}

class ValidateWav : public testing::Test {
 protected:
  ValidateWav()
      : mci_([this] {
          CMciDevice::Platform platform;
          platform.session = &session_;
          return platform;
        }()) {}

  bool Validate(const std::string& path) {
    const bool result = ValidateWavFile(
        mci_, [this](const QString& text) { status.push_back(text); }, path, lengthMs);
    EXPECT_EQ(session_.DeviceId("waverec"), 0u) << "the wave alias is still open";
    return result;
  }

  test::ScriptedUi ui;
  std::vector<QString> status;
  std::string lengthMs = "unset";

 private:
  mci::MciSession session_;
  CMciDevice mci_;
};

TEST_F(ValidateWav, CdQualityPcmPassesWithItsLength) {
  EXPECT_TRUE(Validate(PcmFile("cd.wav", 44100, 16, 2)));
  EXPECT_EQ(lengthMs, "1500");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(status, std::vector<QString>{QString()});

  // 22050 Hz mono is the lowest that passes.
  EXPECT_TRUE(Validate(PcmFile("low.wav", 22050, 16, 1, 59999)));
  EXPECT_EQ(lengthMs, "59999");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ValidateWav, RateAndBitsRefusalsEachShowTheirMessage) {
  EXPECT_FALSE(Validate(PcmFile("22049.wav", 22049, 16, 1)));
  EXPECT_FALSE(Validate(PcmFile("11k.wav", 11025, 16, 2)));
  EXPECT_FALSE(Validate(PcmFile("8bit.wav", 44100, 8, 2)));
  EXPECT_EQ(ui.Texts(), (std::vector<QString>{QString::asprintf(text::kRateTooLow, 22049L, 22050L),
                                              QString::asprintf(text::kRateTooLow, 11025L, 22050L),
                                              QString::asprintf(text::kTooFewBits, 8, 16)}));
  for (const MessageRequest& message : ui.messages) EXPECT_EQ(message.icon, MsgIcon::Exclamation);

  // Both rules fail: both messages, rate first; the length is still learnt.
  ui.messages.clear();
  lengthMs.clear();
  EXPECT_FALSE(Validate(PcmFile("both.wav", 11025, 8, 1)));
  EXPECT_EQ(ui.Texts(), (std::vector<QString>{QString::asprintf(text::kRateTooLow, 11025L, 22050L),
                                              QString::asprintf(text::kTooFewBits, 8, 16)}));
  EXPECT_EQ(lengthMs, "1500");
}

TEST_F(ValidateWav, PcmThePlayerCannotPlayIsRefused) {
  EXPECT_FALSE(Validate(PcmFile("24bit.wav", 48000, 24, 2)));
  EXPECT_FALSE(Validate(PcmFile("surround.wav", 44100, 16, 6)));
  EXPECT_EQ(ui.Texts(), (std::vector<QString>{QString::asprintf(text::kTooManyBits, 24, 16),
                                              QString::asprintf(text::kTooManyChannels, 6, 2)}));
}

TEST_F(ValidateWav, CompressedFilesNameTheirFormatAndAreAskedNothingMore) {
  // IMA ADPCM at 11025 Hz and 4 bits: only the format is judged.
  const std::string adpcm = test::TestFolder() + "/adpcm.wav";
  ASSERT_TRUE(test::RunTool({"sox", "-n", "-r", "11025", "-c", "1", "-e", "ima-adpcm", adpcm,
                             "synth", "1", "sine", "440"}));
  EXPECT_FALSE(Validate(adpcm));
  EXPECT_EQ(ui.Texts(),
            std::vector<QString>{QString::asprintf(text::kCompressedFormat, "ima adpcm")});
  EXPECT_EQ(lengthMs, "unset");
}

TEST_F(ValidateWav, FilesTheDeviceCannotOpenAreReportedWithTheCommand) {
  const std::string missing = test::TestFolder() + "/missing.wav";
  const std::string mp3 = test::TestFolder() + "/really an mp3.wav";
  std::ofstream(mp3, std::ios::binary)
      << std::string("\xff\xfb\x90\x64", 4) << std::string(2000, 'x');
  // A WAVE whose "fmt " chunk claims nearly 4 GB.
  const std::string hugeFormat = PcmFile("huge fmt.wav", 44100, 16, 2);
  {
    std::fstream file(hugeFormat, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(16);
    file.write("\xf0\xff\xff\xff", 4);
  }
  for (const std::string& path : {missing, mp3, hugeFormat}) {
    ui.messages.clear();
    status.clear();
    EXPECT_FALSE(Validate(path)) << path;
    EXPECT_EQ(ui.Texts(),
              std::vector<QString>{QString::asprintf(text::kNoDetailedInfo, path.c_str())});
    ASSERT_EQ(status.size(), 2u);
    EXPECT_TRUE(status[1].startsWith("MCI ERROR: ")) << status[1].toStdString();
    EXPECT_TRUE(status[1].endsWith(
        QString::fromStdString(" CMD: open \"waveaudio!" + path + "\" alias waverec")))
        << status[1].toStdString();
  }
  EXPECT_EQ(lengthMs, "unset");
}

}  // namespace
}  // namespace vx
