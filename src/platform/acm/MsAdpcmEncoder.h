// Encodes 16-bit PCM to MS ADPCM, one block of samplesPerBlock sample frames at a time.
#pragma once

#include <memory>

#include "platform/acm/Converter.h"
#include "platform/acm/FfmpegHandles.h"
#include "platform/riff/WaveFile.h"

namespace vx::acm {

class MsAdpcmEncoder final : public BlockConverter {
 public:
  // Destination must be an MS ADPCM format as suggested for the source (same channels and
  // rate, a power-of-two block align, the standard extra block).
  static AcmResult Open(const riff::WaveFormat& source, const riff::WaveFormat& destination,
                        std::unique_ptr<Converter>& converter);

  AcmResult Finish(OutputSink& out) override;
  std::size_t DestinationSizeFor(std::size_t sourceBytes) const override;
  std::size_t SourceSizeFor(std::size_t destinationBytes) const override;

 protected:
  AcmResult ConvertBlock(std::span<const std::uint8_t> block, OutputSink& out) override;
  std::size_t UsablePartialBytes(std::size_t remainder) const override;

 private:
  MsAdpcmEncoder(int channels, int samplesPerBlock, int blockAlign);
  AcmResult OpenCodec(const riff::WaveFormat& source);
  AcmResult Send(const AVFrame* frame, OutputSink& out);

  int frameBytes_;  // one sample frame of PCM
  int samplesPerBlock_;
  int blockAlign_;
  CodecContextPtr context_;
  FramePtr frame_;
  PacketPtr packet_;
};

}  // namespace vx::acm
