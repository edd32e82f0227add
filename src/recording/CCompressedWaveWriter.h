// Writes the compressed WAVE file of a conversion: RIFF/WAVE, the codec's format record as
// "fmt " at the codec's full format size, the encoded audio as "data", and a closing
// LIST/INFO with the software name ("ISFT"), the song's name ("INAM") and artist ("IART").
// Failures are thrown as the integer codes below, which the conversion thread reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/riff/WaveFile.h"

namespace vx {

class CCompressedWaveWriter {
 public:
  static constexpr int kCannotCreate = 13;    // the file cannot be created
  static constexpr int kHeadersFailed = 14;   // "RIFF", "fmt " or "data" cannot be written
  static constexpr int kListFailed = 17;      // "LIST" cannot be created
  static constexpr int kSoftwareFailed = 18;  // "ISFT"
  static constexpr int kNameFailed = 19;      // "INAM"
  static constexpr int kArtistFailed = 20;    // "IART"
  // Encoded audio or the final sizes could not be written (disk full): the file is
  // incomplete and must not replace the song's file.
  static constexpr int kWriteFailed = 21;

  // Creates path and writes the headers up to the encoded audio. The format record is
  // written padded with zeros to fullFormatSize (never cut below its own size), and the
  // "fmt " size is that full size. Throws kCannotCreate or kHeadersFailed; the writer is
  // then closed.
  void Create(const std::string& path, const std::vector<std::uint8_t>& formatRecord,
              std::size_t fullFormatSize);
  bool IsOpen() const { return writer_.IsOpen(); }
  // Appends encoded audio; throws kWriteFailed when not all of it was written.
  void Write(const void* bytes, std::size_t count);
  // Ends "data", writes LIST/INFO (texts by the text-chunk rule), patches the sizes and
  // closes the file. Throws 17 to 20 for the chunk that failed, kWriteFailed when the file
  // could not be completed; the caller's Close then releases the file.
  void Finish(const std::string& name, const std::string& artist,
              const std::string& software = "Velumix");
  // Closes the file as it stands (after a failure, or when the conversion is abandoned).
  void Close();

 private:
  riff::WaveFileWriter writer_;
};

}  // namespace vx
