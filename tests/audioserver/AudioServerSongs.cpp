#include "AudioServerSongs.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/riff/WaveFile.h"
#include "support/TestFolder.h"

namespace vx::audioserver::test {
namespace {

Bytes ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<TestSong> LoadSong(const std::string& path) {
  riff::WaveLayout layout;
  if (riff::ReadWaveLayout(path, layout) != riff::WaveError::kNone) return std::nullopt;
  const Bytes file = ReadWholeFile(path);
  const auto begin = static_cast<std::size_t>(layout.dataOffset);
  const auto end = begin + static_cast<std::size_t>(layout.AvailableDataBytes());
  if (end > file.size()) return std::nullopt;
  TestSong song;
  song.path = path;
  song.formatRecord = layout.formatRecord;
  song.data.assign(file.begin() + static_cast<std::ptrdiff_t>(begin),
                   file.begin() + static_cast<std::ptrdiff_t>(end));
  song.blockAlign = layout.format.blockAlign;
  song.avgBytesPerSec = layout.format.avgBytesPerSec;
  return song;
}

void PutLe(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::string Sine(int seconds) {
  return "sine=frequency=440:duration=" + std::to_string(seconds);
}

}  // namespace

std::optional<TestSong> MakeAdpcmSong(const std::string& name, const std::string& codec,
                                      int seconds) {
  const std::string path = vx::test::TestFolder() + "/" + name;
  if (!RunTool({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", Sine(seconds), "-ac", "2",
                "-ar", "44100", "-c:a", codec, path})) {
    return std::nullopt;
  }
  return LoadSong(path);
}

std::optional<TestSong> MakeMp3Song(const std::string& name, int seconds) {
  const std::string folder = vx::test::TestFolder();
  const std::string pcm = folder + "/" + name + ".pcm.wav";
  const std::string mp3 = folder + "/" + name + ".mp3";
  // A rising tone rather than a steady one, so that frames differ from each other.
  if (!RunTool({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                "aevalsrc=sin(2*PI*(220+110*t)*t)|0.5*sin(2*PI*330*t):s=44100:d=" +
                    std::to_string(seconds),
                "-c:a", "pcm_s16le", pcm}) ||
      !RunTool({"lame", "--quiet", "-t", "-b", "128", pcm, mp3})) {
    return std::nullopt;
  }
  const Bytes frames = ReadWholeFile(mp3);
  // The MPEG Layer-3 record: 18 bytes, then identifier 1, flags 2 (no padding), block
  // size 417 (a 128 kbit/s frame at 44.1 kHz), frames per block 1, codec delay 1393.
  Bytes record;
  PutLe(record, 0x55, 2);
  PutLe(record, 2, 2);
  PutLe(record, 44100, 4);
  PutLe(record, 128000 / 8, 4);
  PutLe(record, 1, 2);
  PutLe(record, 0, 2);
  PutLe(record, 12, 2);
  PutLe(record, 1, 2);
  PutLe(record, 2, 4);
  PutLe(record, 417, 2);
  PutLe(record, 1, 2);
  PutLe(record, 1393, 2);
  const std::string path = folder + "/" + name;
  riff::WaveFileWriter writer;
  if (!writer.Create(path, record) || !writer.Append(frames.data(), frames.size()) ||
      !writer.Close()) {
    return std::nullopt;
  }
  return LoadSong(path);
}

Bytes FfmpegDecode(const std::string& path) {
  return RunTool({"ffmpeg", "-v", "error", "-i", path, "-f", "s16le", "-"}).value_or(Bytes{});
}

std::size_t FirstDifferentSample(const Bytes& ours, const Bytes& reference) {
  const std::size_t common = std::min(ours.size(), reference.size()) / 2;
  for (std::size_t i = 0; i < common; ++i) {
    if (ours[2 * i] != reference[2 * i] || ours[2 * i + 1] != reference[2 * i + 1]) return i;
  }
  return common;
}

}  // namespace vx::audioserver::test
