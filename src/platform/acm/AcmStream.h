// A conversion stream: opened from a source format to a destination format on one driver,
// it converts chunks of source bytes into destination bytes and keeps the codec's state
// from one chunk to the next. One stream is used by one thread at a time; different
// streams may run on different threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/acm/AcmDriver.h"
#include "platform/acm/AcmResult.h"
#include "platform/riff/WaveFile.h"

namespace vx::acm {

class Converter;

enum class AcmConvertMode {
  // Only whole source blocks are converted; the rest is left for the next call.
  kBlockAlign,
  // Also the final partial block: a partial PCM block is padded with silence, a partial
  // compressed block is decoded as far as it goes. Bytes that cannot be converted at all
  // (half a sample frame, less than a block header) are still left unconsumed.
  kAll,
};

struct AcmConvertResult {
  std::size_t sourceUsed = 0;       // source bytes consumed
  std::size_t destinationUsed = 0;  // destination bytes produced
};

class AcmStream {
 public:
  // Opens a stream on the driver. The formats must be a pair the driver suggests: 16-bit
  // PCM -> its tag (encoding) or its tag -> 16-bit PCM with the same channels (decoding).
  static AcmResult Open(AcmDriverId driver, const riff::WaveFormat& source,
                        const riff::WaveFormat& destination, std::unique_ptr<AcmStream>& stream);

  ~AcmStream();
  AcmStream(const AcmStream&) = delete;
  AcmStream& operator=(const AcmStream&) = delete;

  const riff::WaveFormat& Source() const { return source_; }
  const riff::WaveFormat& Destination() const { return destination_; }

  // The most destination bytes that converting this many source bytes can produce.
  std::size_t DestinationSizeFor(std::size_t sourceBytes) const;
  // The source bytes whose conversion fits in this many destination bytes.
  std::size_t SourceSizeFor(std::size_t destinationBytes) const;

  // Converts from source into destination. Conversion stops early when the destination is
  // full; what a codec produced beyond it is kept and delivered first by the next call.
  // Garbage in a compressed source is skipped, never an error.
  AcmResult Convert(const void* source, std::size_t sourceBytes, void* destination,
                    std::size_t destinationBytes, AcmConvertMode mode, AcmConvertResult& result);

  // Ends the stream: flushes what the codec still holds. Call it again while it produces
  // bytes. Convert is refused afterwards.
  AcmResult Finish(void* destination, std::size_t destinationBytes, std::size_t& produced);

 private:
  AcmStream(const riff::WaveFormat& source, const riff::WaveFormat& destination,
            std::unique_ptr<Converter> converter);
  std::size_t DeliverPending(std::uint8_t* destination, std::size_t capacity);

  riff::WaveFormat source_;
  riff::WaveFormat destination_;
  std::unique_ptr<Converter> converter_;
  std::vector<std::uint8_t> pending_;  // produced beyond the caller's destination
  std::size_t pendingOffset_ = 0;
  bool finished_ = false;
};

}  // namespace vx::acm
