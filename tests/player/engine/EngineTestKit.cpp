#include "EngineTestKit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "library/SongStore.h"
#include "platform/riff/WaveFile.h"
#include "support/TestFolder.h"

namespace vx::player::test {

std::vector<std::int16_t> NumberedFrames(std::uint32_t frames, int channels) {
  std::vector<std::int16_t> samples;
  samples.reserve(static_cast<std::size_t>(frames) * channels);
  for (std::uint32_t k = 0; k < frames; ++k) {
    samples.push_back(static_cast<std::int16_t>(k & 0x7fff));
    if (channels == 2) samples.push_back(static_cast<std::int16_t>(k >> 15));
  }
  return samples;
}

std::string WriteSong(const std::string& songsFolder, std::uint32_t songId,
                      const std::vector<std::int16_t>& samples, int channels, int rate) {
  const std::string path = SongFileNameInFolder(songsFolder, songId);
  riff::WaveFileWriter writer;
  writer.Create(path, riff::WaveFormat::Pcm16(channels, rate));
  writer.Append(samples.data(), samples.size() * 2);
  writer.Close();
  return path;
}

void AppendInfoList(const std::string& wavePath) {
  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(wavePath, layout), riff::WaveError::kNone);
  std::vector<std::uint8_t> data(layout.AvailableDataBytes());
  {
    riff::RiffFile in;
    ASSERT_TRUE(in.Open(wavePath, riff::RiffFile::Mode::Read));
    ASSERT_TRUE(in.Seek(layout.dataOffset));
    ASSERT_EQ(in.Read(data.data(), data.size()), data.size());
  }
  riff::WaveFileWriter writer;
  ASSERT_TRUE(writer.Create(wavePath, layout.formatRecord));
  ASSERT_TRUE(writer.Append(data.data(), data.size()));
  ASSERT_TRUE(writer.EndData());
  riff::Chunk list;
  ASSERT_TRUE(writer.File().CreateList(list, riff::kList, riff::kInfo));
  ASSERT_TRUE(riff::WriteTextChunk(writer.File(), riff::MakeFourCC("ICMT"),
                                   std::string(4000, 'Z')));
  ASSERT_TRUE(writer.File().Ascend(list));
  ASSERT_TRUE(writer.Close());
}

std::vector<std::int16_t> ReadSamples(const std::string& wavePath) {
  riff::RiffFile file;
  riff::WaveLayout layout;
  if (!file.Open(wavePath, riff::RiffFile::Mode::Read) ||
      riff::ReadWaveLayout(file, layout) != riff::WaveError::kNone) {
    return {};
  }
  std::vector<std::int16_t> samples(layout.AvailableDataBytes() / 2);
  file.Read(samples.data(), samples.size() * 2);
  return samples;
}

std::vector<std::uint32_t> FrameNumbers(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint32_t> numbers;
  for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
    numbers.push_back(static_cast<std::uint32_t>(samples[i]) |
                      static_cast<std::uint32_t>(samples[i + 1]) << 15);
  }
  return numbers;
}

EngineRig::EngineRig(double speed, std::unique_ptr<AudioServerLink> server) {
  songsFolder_ = vx::test::TestFolder() + "/Songs";
  std::filesystem::create_directories(songsFolder_);
  tape_ = vx::test::TestFolder() + "/tape.wav";
  DeviceConfig config;
  config.virtualOnly = true;
  config.waveOutputs = {tape_};
  config.speed = speed;
  devices_ = wave::WaveDeviceList::Build(config, {});
  engine_ = std::make_unique<CWavPlayerThread>(
      *devices_, server ? std::move(server) : std::make_unique<NoServer>());
}

EngineRig::~EngineRig() { Close(); }

bool EngineRig::WaitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

bool EngineRig::WaitForEnd() {
  return WaitFor([this] {
    std::uint32_t end = 0;
    engine_->GetReadPosition(end);
    return end == 1;
  });
}

void EngineRig::Close() {
  if (closed_ || !engine_) return;
  closed_ = true;
  engine_->Close();
  engine_->WaitForExit(std::chrono::seconds(15));
}

}  // namespace vx::player::test
