// The samples of a WAVE file as PCM: plain PCM is read as stored; ADPCM (tags 2, 0x11) and
// MPEG Layer-3 in WAVE (0x55) are decoded through the codec manager to 16-bit PCM.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/acm/AcmStream.h"
#include "platform/mci/PcmSource.h"

namespace vx::mci {

class WaveFileSource : public PcmSource {
 public:
  // Opens the file; answers an MciError code (kFileNotFound, kInvalidFile,
  // kUnsupportedFormat) and leaves `source` empty on failure.
  static unsigned Open(const std::string& path, std::unique_ptr<WaveFileSource>& source);
  ~WaveFileSource() override;

  // The format as stored in the file (what "format tag" and friends report).
  const riff::WaveFormat& StoredFormat() const { return layout_.format; }
  const riff::WaveFormat& Format() const override { return pcm_; }
  // Frames of the whole file (for compressed files estimated from the byte rate).
  std::uint64_t FrameCount() const { return frames_; }

  bool Seek(std::uint64_t frame) override;
  std::size_t Read(std::uint8_t* out, std::size_t frames) override;

 private:
  WaveFileSource(std::FILE* file, riff::WaveLayout layout, riff::WaveFormat pcm);
  bool Rewind();
  // Decodes the next piece of the file into decoded_; false at the end.
  bool DecodeMore();

  std::FILE* file_;
  riff::WaveLayout layout_;
  riff::WaveFormat pcm_;
  std::uint64_t frames_ = 0;
  std::uint64_t dataRead_ = 0;  // stored bytes read from the data chunk
  // Compressed files only.
  std::unique_ptr<acm::AcmStream> stream_;
  std::vector<std::uint8_t> pendingSource_;
  std::vector<std::uint8_t> decoded_;
  std::size_t decodedOffset_ = 0;
  bool finished_ = false;
};

}  // namespace vx::mci
