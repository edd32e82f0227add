// Helpers of the compression tests: song files of a given shape, rows of a test library, and
// the judgement of converted files by outside decoders.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/dao/DaoDatabase.h"

namespace vx::test {

using Bytes = std::vector<std::uint8_t>;

// Interleaved 16-bit PCM of a tone mix, `frames` sample frames long.
Bytes PcmFrames(std::size_t frames, int samplesPerSec, int channels);

// Writes a PCM WAVE file; with avgBytesPerSec given, its header states that figure instead.
void WritePcmFile(const std::string& path, int samplesPerSec, int channels, const Bytes& samples,
                  std::optional<std::uint32_t> avgBytesPerSec = std::nullopt);

void AddSongRow(dao::DaoDatabase& db, long id, const std::string& name, const std::string& artist,
                char code);
char SongCode(dao::DaoDatabase& db, long id);

// The format tag of a WAVE file; 0 when it cannot be read.
std::uint16_t FileFormatTag(const std::string& path);
// The sample data of a WAVE file as its "data" chunk holds it.
Bytes DataChunk(const std::string& path);

// The sample frames a compressed WAVE file decodes to through the codec manager, as the
// player's audio server decodes it; nothing when it cannot be decoded.
std::optional<std::size_t> DecodedFrames(const std::string& path);

// The file decoded by ffmpeg to 16-bit samples; nothing when ffmpeg fails or complains.
std::optional<std::vector<std::int16_t>> FfmpegDecode(const std::string& path);

// A named pipe in place of a song file: whoever opens it for reading waits in the open
// until Release.
class StuckFile {
 public:
  explicit StuckFile(const std::string& path);
  ~StuckFile() { Release(); }
  // Waits until a thread of this process waits in its open of the pipe.
  bool WaitUntilStuck() const;
  // Opens and closes the pipe's other end, so the waiting open returns (to an empty file).
  void Release();

 private:
  std::string path_;
};

// Names of the "Temp" files in a folder.
std::vector<std::string> TempFiles(const std::string& folder);

}  // namespace vx::test
