// The inside of a conversion stream: one converter per direction and codec, fed chunk by
// chunk, writing what it produces into an OutputSink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/acm/AcmResult.h"
#include "platform/acm/AcmStream.h"

namespace vx::acm {

// Writes into the caller's destination; what does not fit goes to an overflow buffer that
// the stream delivers first next time. Converters stop taking new input once it is full,
// so the overflow never holds more than one unit's output.
class OutputSink {
 public:
  OutputSink(std::uint8_t* destination, std::size_t capacity, std::vector<std::uint8_t>& overflow)
      : destination_(destination), capacity_(capacity), overflow_(overflow) {}

  void Write(const std::uint8_t* bytes, std::size_t count);
  bool Full() const { return produced_ >= capacity_; }
  std::size_t Produced() const { return produced_; }

 private:
  std::uint8_t* destination_;
  std::size_t capacity_;
  std::size_t produced_ = 0;
  std::vector<std::uint8_t>& overflow_;
};

class Converter {
 public:
  virtual ~Converter() = default;

  // Converts from source; `used` answers the source bytes consumed.
  virtual AcmResult Convert(std::span<const std::uint8_t> source, AcmConvertMode mode,
                            OutputSink& out, std::size_t& used) = 0;
  // Flushes what the codec still holds.
  virtual AcmResult Finish(OutputSink& out) = 0;
  virtual std::size_t DestinationSizeFor(std::size_t sourceBytes) const = 0;
  virtual std::size_t SourceSizeFor(std::size_t destinationBytes) const = 0;
};

// A converter whose source comes in fixed-size blocks, each converted on its own.
class BlockConverter : public Converter {
 public:
  AcmResult Convert(std::span<const std::uint8_t> source, AcmConvertMode mode, OutputSink& out,
                    std::size_t& used) override;

 protected:
  explicit BlockConverter(std::size_t sourceBlock) : sourceBlock_(sourceBlock) {}

  // Converts one whole block, or (last) a partial one of at most sourceBlock_ bytes.
  virtual AcmResult ConvertBlock(std::span<const std::uint8_t> block, OutputSink& out) = 0;
  // How many bytes of a partial final block can be converted (0: none).
  virtual std::size_t UsablePartialBytes(std::size_t remainder) const = 0;

  std::size_t SourceBlock() const { return sourceBlock_; }

 private:
  std::size_t sourceBlock_;
};

}  // namespace vx::acm
