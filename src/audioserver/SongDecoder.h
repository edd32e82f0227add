// Decodes one compressed song for the audio server: the song's format record in, 16-bit PCM
// out, chunk by chunk through one codec-manager stream that stays open between chunks, so
// the codec's state carries over from one chunk to the next.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/acm/AcmStream.h"
#include "platform/riff/WaveFile.h"

namespace vx::audioserver {

class SongDecoder {
 public:
  // Opens the stream for the song's format record (its "fmt " chunk as stored). chunkSize is
  // the most bytes one Decode is offered; it must hold at least one block of the format, or
  // no chunk could ever be decoded whole. False when no installed codec decodes the format.
  bool Open(std::span<const std::uint8_t> formatRecord, std::uint32_t chunkSize);
  void Close();
  bool IsOpen() const { return stream_ != nullptr; }

  // The most decoded bytes one Decode produces.
  std::uint32_t DecodedMaximum() const { return decodedMaximum_; }
  // The PCM the decoder produces.
  const riff::WaveFormat& OutputFormat() const { return output_; }

  // Decodes from input into output (DecodedMaximum bytes). Only whole blocks are taken,
  // the rest is left for the next call, unless last is set: then a final partial block is
  // decoded as far as it goes. False when the codec failed.
  bool Decode(std::span<const std::uint8_t> input, bool last, std::span<std::uint8_t> output,
              std::uint32_t& consumed, std::uint32_t& produced);

 private:
  std::unique_ptr<acm::AcmStream> stream_;
  riff::WaveFormat output_;
  std::uint32_t decodedMaximum_ = 0;
};

}  // namespace vx::audioserver
