#include "compression/AcmConversion.h"

#include <algorithm>

#include "platform/acm/AcmFormat.h"
#include "platform/riff/WaveFile.h"

namespace vx {
namespace {

constexpr std::size_t kSourceSeconds = 2;
constexpr std::size_t kDestinationSeconds = 3;

// Bytes of one second of the format. For PCM this is derived from the rate and the frame
// size rather than taken from the header's average, which a damaged header may give as 0
// (then nothing would be converted) or as something huge.
std::size_t BytesPerSecond(const riff::WaveFormat& format) {
  if (format.formatTag == riff::kFormatPcm) {
    return static_cast<std::size_t>(format.samplesPerSec) * format.blockAlign;
  }
  return format.avgBytesPerSec;
}

}  // namespace

std::optional<acm::AcmDriverId> FindCodecForTag(std::uint16_t formatTag) {
  if (acm::MaxFormatSize() == 0) return std::nullopt;
  for (const acm::AcmFormatDetails& details : acm::EnumerateFormats(formatTag)) {
    const acm::AcmDriverInfo* driver = acm::FindDriver(details.driver);
    if (driver != nullptr && driver->ConvertsCodecs()) return details.driver;
  }
  return std::nullopt;
}

void AcmConversion::Open(const ConversionRequest& request) {
  Close();
  // Decoding to PCM needs the codec of the source's tag, encoding that of the destination's.
  const std::uint16_t codecTag =
      request.destinationTag == riff::kFormatPcm ? request.sourceTag : request.destinationTag;
  const std::optional<acm::AcmDriverId> driver = FindCodecForTag(codecTag);
  if (!driver) throw kNoCodec;

  reader_.Open(request.source, request.sourceTag);
  if (acm::FindDriver(*driver) == nullptr) throw kDriverFailed;
  const std::size_t fullFormatSize = acm::MaxFormatSize(*driver);
  if (fullFormatSize == 0) throw kNoFormatSize;

  riff::WaveFormat suggested;
  if (acm::SuggestFormat(*driver, reader_.Format(), request.destinationTag, suggested) !=
      acm::AcmResult::kOk) {
    throw kNoSuggestion;
  }
  readingPosition_ = reader_.DataOffset();
  if (!reader_.Seek(readingPosition_)) throw CWaveSourceReader::kCannotOpen;

  if (acm::AcmStream::Open(*driver, reader_.Format(), suggested, stream_) != acm::AcmResult::kOk) {
    throw kStreamFailed;
  }
  // Two seconds of source, but never less than one codec block: a block the codec cannot
  // consume would be read again and again.
  const std::size_t sourceSize =
      std::max(kSourceSeconds * BytesPerSecond(reader_.Format()),
               stream_->SourceSizeFor(suggested.blockAlign));
  const std::size_t destinationSize = kDestinationSeconds * BytesPerSecond(suggested);
  if (sourceSize == 0 || destinationSize < stream_->DestinationSizeFor(sourceSize)) {
    throw kBuffersUnfit;
  }
  sourceBlock_.resize(sourceSize);
  destinationBlock_.resize(destinationSize);

  writer_.Create(request.destination, suggested.Bytes(), fullFormatSize);
}

void AcmConversion::Convert(std::size_t sourceBytes, acm::AcmConvertMode mode, int failureCode) {
  acm::AcmConvertResult result;
  if (stream_->Convert(sourceBlock_.data(), sourceBytes, destinationBlock_.data(),
                       destinationBlock_.size(), mode, result) != acm::AcmResult::kOk) {
    throw failureCode;
  }
  writer_.Write(destinationBlock_.data(), result.destinationUsed);
  readingPosition_ += result.sourceUsed;
  if (mode == acm::AcmConvertMode::kBlockAlign) {
    // Only whole codec blocks were consumed: the rest is read again with the next block.
    if (result.sourceUsed == 0 || !reader_.Seek(readingPosition_)) throw failureCode;
  }
}

bool AcmConversion::Step() {
  const std::size_t read = reader_.Read(sourceBlock_.data(), sourceBlock_.size());
  if (read == sourceBlock_.size()) {
    Convert(read, acm::AcmConvertMode::kBlockAlign, kBlockFailed);
    return true;
  }
  if (read > 0) Convert(read, acm::AcmConvertMode::kAll, kFinalBlockFailed);
  return false;
}

void AcmConversion::Finish(const ConversionRequest& request) {
  // The codec may still hold output (none of the block codecs do, but the stream says so).
  for (;;) {
    std::size_t produced = 0;
    if (stream_->Finish(destinationBlock_.data(), destinationBlock_.size(), produced) !=
        acm::AcmResult::kOk) {
      throw kFinalBlockFailed;
    }
    if (produced == 0) break;
    writer_.Write(destinationBlock_.data(), produced);
  }
  writer_.Finish(request.name, request.artist, request.software);
}

void AcmConversion::Close() {
  writer_.Close();
  reader_.Close();
  stream_.reset();
  sourceBlock_ = {};
  destinationBlock_ = {};
  readingPosition_ = 0;
}

}  // namespace vx
