// A codec library decoder that takes compressed packets and writes what it decodes as
// interleaved little-endian 16-bit PCM with a fixed channel count.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/acm/AcmResult.h"
#include "platform/acm/Converter.h"
#include "platform/acm/FfmpegHandles.h"
#include "platform/riff/WaveFile.h"

namespace vx::acm {

class FrameDecoder {
 public:
  // Opens the decoder for the source format (rate, channels, block align, extra bytes).
  AcmResult Open(AVCodecID codecId, const riff::WaveFormat& source, int bitsPerCodedSample);

  // Decodes one packet. Data the codec rejects is skipped: only running out of memory
  // fails. Output channels are the source's: a frame with other channels is mapped (the
  // last input channel repeats, extra ones are dropped).
  AcmResult Decode(std::span<const std::uint8_t> packet, OutputSink& out);
  // Drains what the codec holds back at the end of the stream.
  AcmResult Drain(OutputSink& out);

  AVCodecContext* Context() { return context_.get(); }

 private:
  AcmResult Send(const AVPacket* packet, OutputSink& out);
  AcmResult ReceiveFrames(OutputSink& out);
  bool WriteFrame(const AVFrame& frame, OutputSink& out);

  CodecContextPtr context_;
  FramePtr frame_;
  PacketPtr packet_;
  int channels_ = 0;
  std::vector<std::uint8_t> staging_;  // the packet with the padding the codec reads past
  std::vector<std::int16_t> samples_;  // one frame, interleaved
};

}  // namespace vx::acm
