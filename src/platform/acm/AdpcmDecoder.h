// Decodes MS ADPCM (tag 2) or IMA ADPCM (tag 0x11) to 16-bit PCM, one block at a time.
#pragma once

#include <memory>

#include "platform/acm/Converter.h"
#include "platform/acm/FrameDecoder.h"
#include "platform/riff/WaveFile.h"

namespace vx::acm {

class AdpcmDecoder final : public BlockConverter {
 public:
  // Destination must be 16-bit PCM with the source's channels and rate.
  static AcmResult Open(const riff::WaveFormat& source, const riff::WaveFormat& destination,
                        std::unique_ptr<Converter>& converter);

  AcmResult Finish(OutputSink& out) override;
  std::size_t DestinationSizeFor(std::size_t sourceBytes) const override;
  std::size_t SourceSizeFor(std::size_t destinationBytes) const override;

 protected:
  AcmResult ConvertBlock(std::span<const std::uint8_t> block, OutputSink& out) override;
  std::size_t UsablePartialBytes(std::size_t remainder) const override;

 private:
  AdpcmDecoder(std::size_t blockAlign, std::size_t headerBytes, std::size_t blockOutputBytes);

  std::size_t headerBytes_;       // a block shorter than its header holds no sample
  std::size_t blockOutputBytes_;  // PCM bytes of one whole block
  FrameDecoder decoder_;
};

}  // namespace vx::acm
