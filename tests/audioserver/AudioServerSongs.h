// Compressed test songs for the audio server tests, made by the command-line codecs
// (ffmpeg, lame) in the test's folder, and the reference decoding of each by ffmpeg.
#pragma once

#include "support/RunTool.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::audioserver::test {

using Bytes = std::vector<std::uint8_t>;

struct TestSong {
  std::string path;
  Bytes formatRecord;  // the "fmt " chunk as stored
  Bytes data;          // the "data" chunk's bytes
  std::uint16_t blockAlign = 0;
  std::uint32_t avgBytesPerSec = 0;

  // The engine's chunk: a tenth of a second of whole blocks' worth of the data rate.
  std::uint32_t EngineChunkSize() const {
    return avgBytesPerSec / blockAlign * blockAlign / 10;
  }
};

// Runs a program found on PATH; its standard output, or nothing when it fails.
using vx::test::RunTool;

// A stereo 44.1 kHz sine song of the given seconds, encoded by ffmpeg with codec
// ("adpcm_ms" or "adpcm_ima_wav"). Nothing when the tool fails.
std::optional<TestSong> MakeAdpcmSong(const std::string& name, const std::string& codec,
                                      int seconds);
// A stereo 44.1 kHz song encoded by lame at 128 kbit/s (without its info frame) and wrapped
// unchanged in a WAVE file with an MPEG Layer-3 format record (tag 0x55).
std::optional<TestSong> MakeMp3Song(const std::string& name, int seconds);

// What ffmpeg decodes from the file: interleaved 16-bit little-endian PCM.
Bytes FfmpegDecode(const std::string& path);

// The index of the first 16-bit sample where the two differ; the shorter length when one
// is a prefix of the other; the length when they are equal.
std::size_t FirstDifferentSample(const Bytes& ours, const Bytes& reference);

}  // namespace vx::audioserver::test
