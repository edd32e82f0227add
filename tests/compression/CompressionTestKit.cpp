#include "CompressionTestKit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "AcmTestSupport.h"
#include "platform/acm/AcmFormat.h"
#include "platform/acm/AcmStream.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/riff/WaveFile.h"
#include "support/RunTool.h"

namespace vx::test {

Bytes PcmFrames(std::size_t frames, int samplesPerSec, int channels) {
  const int seconds = static_cast<int>(frames / samplesPerSec + 1);
  Bytes bytes = acm::test::SinePcm(seconds, samplesPerSec, channels);
  bytes.resize(frames * channels * 2);
  return bytes;
}

void WritePcmFile(const std::string& path, int samplesPerSec, int channels, const Bytes& samples,
                  std::optional<std::uint32_t> avgBytesPerSec) {
  riff::WaveFormat format = riff::WaveFormat::Pcm16(channels, samplesPerSec);
  if (avgBytesPerSec) format.avgBytesPerSec = *avgBytesPerSec;
  acm::test::WriteWave(path, format, samples);
}

void AddSongRow(dao::DaoDatabase& db, long id, const std::string& name, const std::string& artist,
                char code) {
  db.Execute("INSERT INTO Songs (SongID, SongName, SongArtist, SongCompression) VALUES (" +
             std::to_string(id) + ", '" + name + "', '" + artist + "', '" + code + "')");
}

char SongCode(dao::DaoDatabase& db, long id) {
  dao::DaoRecordset row(db);
  row.Open(dao::OpenType::Snapshot,
           "SELECT SongCompression FROM Songs WHERE SongID = " + std::to_string(id));
  if (row.IsEOF()) return '?';
  const dao::DaoValue value = row.GetFieldValue(0);
  const auto* text = std::get_if<std::string>(&value);
  return text != nullptr && text->size() == 1 ? text->front() : '?';
}

std::uint16_t FileFormatTag(const std::string& path) {
  riff::WaveLayout layout;
  return riff::ReadWaveLayout(path, layout) == riff::WaveError::kNone ? layout.format.formatTag : 0;
}

Bytes DataChunk(const std::string& path) {
  riff::WaveFormat format;
  Bytes data;
  EXPECT_TRUE(acm::test::ReadWave(path, format, data)) << path;
  return data;
}

std::optional<std::size_t> DecodedFrames(const std::string& path) {
  riff::WaveFormat format;
  Bytes data;
  if (!acm::test::ReadWave(path, format, data)) return std::nullopt;
  const auto driver = acm::FindDriverForTag(format.formatTag);
  riff::WaveFormat pcm;
  std::unique_ptr<acm::AcmStream> stream;
  if (!driver || acm::SuggestFormat(*driver, format, riff::kFormatPcm, pcm) != acm::AcmResult::kOk ||
      acm::AcmStream::Open(*driver, format, pcm, stream) != acm::AcmResult::kOk) {
    return std::nullopt;
  }
  Bytes out(stream->DestinationSizeFor(data.size()));
  acm::AcmConvertResult result;
  if (stream->Convert(data.data(), data.size(), out.data(), out.size(), acm::AcmConvertMode::kAll,
                      result) != acm::AcmResult::kOk ||
      result.sourceUsed != data.size()) {
    return std::nullopt;
  }
  return result.destinationUsed / pcm.blockAlign;
}

std::optional<std::vector<std::int16_t>> FfmpegDecode(const std::string& path) {
  const auto output = RunTool({"ffmpeg", "-nostdin", "-v", "error", "-xerror", "-i", path, "-f",
                               "s16le", "-"});
  if (!output) return std::nullopt;
  return acm::test::ToSamples(*output);
}

StuckFile::StuckFile(const std::string& path) : path_(path) {
  EXPECT_EQ(mkfifo(path.c_str(), 0644), 0);
}

bool StuckFile::WaitUntilStuck() const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < until) {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
      std::ifstream wchan(task.path() / "wchan");
      std::string where;
      if (std::getline(wchan, where) && where == "wait_for_partner") return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

void StuckFile::Release() {
  const int fd = open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) close(fd);
}

std::vector<std::string> TempFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("Temp", 0) == 0) names.push_back(name);
  }
  return names;
}

}  // namespace vx::test
