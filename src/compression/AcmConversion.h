// One conversion of a WAVE file through a codec driver, in the steps the conversion thread
// runs: Open (source, codec, destination), Step (one block of about two seconds of source
// audio), Finish (the INFO tags and the final sizes), Close. Failures are thrown as integer
// codes: the reader's 2-7 and the writer's 13, 14, 17-21, and the codec steps' own below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/acm/AcmDriver.h"
#include "platform/acm/AcmStream.h"
#include "recording/CCompressedWaveWriter.h"
#include "recording/CWaveSourceReader.h"

namespace vx {

// The first installed codec driver that converts between format tags and offers a format of
// this tag; none when no driver does.
std::optional<acm::AcmDriverId> FindCodecForTag(std::uint16_t formatTag);

struct ConversionRequest {
  std::string source;
  std::string destination;
  std::uint16_t sourceTag = 0;
  std::uint16_t destinationTag = 0;
  std::string name;      // INAM
  std::string artist;    // IART
  std::string software;  // ISFT
};

class AcmConversion {
 public:
  static constexpr int kNoCodec = 1;            // no codec converts to or from the tag
  static constexpr int kDriverFailed = 8;       // the codec driver cannot be opened
  static constexpr int kNoFormatSize = 9;       // the driver's largest format size is unknown
  static constexpr int kNoSuggestion = 10;      // the driver suggests no destination format
  static constexpr int kStreamFailed = 11;      // the conversion stream cannot be opened
  static constexpr int kBuffersUnfit = 12;      // the blocks do not fit the stream
  static constexpr int kBlockFailed = 15;       // converting a full block failed
  static constexpr int kFinalBlockFailed = 16;  // converting the final, partial block failed

  AcmConversion() = default;
  ~AcmConversion() { Close(); }
  AcmConversion(const AcmConversion&) = delete;
  AcmConversion& operator=(const AcmConversion&) = delete;

  // Opens the source, the codec and the destination. Throws a code; Close undoes the rest.
  void Open(const ConversionRequest& request);
  // Converts the next block. Answers true while a whole block was read, so more may follow.
  bool Step();
  // Flushes the codec, writes the INFO tags and fixes every size; the destination is closed.
  void Finish(const ConversionRequest& request);
  // Releases whatever Open and Step hold; the destination file stays as it is.
  void Close();

  bool IsOpen() const { return reader_.IsOpen() || writer_.IsOpen() || stream_ != nullptr; }
  // Percent of the source's sample data converted so far.
  int ProgressPercent() const { return reader_.ProgressPercent(); }
  // The sizes of the two blocks, as Open chose them.
  std::size_t SourceBlockSize() const { return sourceBlock_.size(); }
  std::size_t DestinationBlockSize() const { return destinationBlock_.size(); }

 private:
  void Convert(std::size_t sourceBytes, acm::AcmConvertMode mode, int failureCode);

  CWaveSourceReader reader_;
  CCompressedWaveWriter writer_;
  std::unique_ptr<acm::AcmStream> stream_;
  std::vector<std::uint8_t> sourceBlock_;
  std::vector<std::uint8_t> destinationBlock_;
  std::uint64_t readingPosition_ = 0;
};

}  // namespace vx
