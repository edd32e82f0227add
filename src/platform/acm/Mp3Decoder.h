// Decodes MPEG Layer-3 (tag 0x55) to 16-bit PCM. The source is the raw byte stream of an
// MP3 file as it sits in a WAVE data chunk; the codec library's frame parser finds the
// frames, so chunks may end anywhere (a partial frame waits inside the parser).
#pragma once

#include <memory>
#include <vector>

#include "platform/acm/Converter.h"
#include "platform/acm/FfmpegHandles.h"
#include "platform/acm/FrameDecoder.h"
#include "platform/acm/Id3v2Skipper.h"
#include "platform/riff/WaveFile.h"

namespace vx::acm {

class Mp3Decoder final : public Converter {
 public:
  // Destination must be 16-bit PCM with the source's channels and rate.
  static AcmResult Open(const riff::WaveFormat& source, const riff::WaveFormat& destination,
                        std::unique_ptr<Converter>& converter);

  // Every byte offered is taken (the parser keeps partial frames) unless the destination
  // fills up first; the block-align mode makes no difference.
  AcmResult Convert(std::span<const std::uint8_t> source, AcmConvertMode mode, OutputSink& out,
                    std::size_t& used) override;
  AcmResult Finish(OutputSink& out) override;
  std::size_t DestinationSizeFor(std::size_t sourceBytes) const override;
  std::size_t SourceSizeFor(std::size_t destinationBytes) const override;

 private:
  Mp3Decoder(int channels, int samplesPerSec);
  // Runs bytes through the parser and decodes the frames it completes; with stopWhenFull
  // it stops once the destination is full. Answers the bytes taken.
  std::size_t Parse(std::span<const std::uint8_t> bytes, OutputSink& out, bool stopWhenFull,
                    AcmResult& result);
  AcmResult ParseAll(std::span<const std::uint8_t> bytes, OutputSink& out);

  std::size_t frameOutputBytes_;  // PCM bytes of one frame
  std::size_t smallestFrame_;     // bytes of the smallest frame at this rate
  FrameDecoder decoder_;
  ParserPtr parser_;
  Id3v2Skipper id3Skipper_;
  std::vector<std::uint8_t> staging_;  // input with the padding the parser reads past
};

}  // namespace vx::acm
