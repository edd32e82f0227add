#include "platform/acm/AcmStream.h"

#include <algorithm>
#include <cstring>

#include "platform/acm/AdpcmDecoder.h"
#include "platform/acm/Converter.h"
#include "platform/acm/Mp3Decoder.h"
#include "platform/acm/MsAdpcmEncoder.h"

namespace vx::acm {
namespace {

// Picks the converter for the driver and the direction the two formats ask for.
AcmResult OpenConverter(const AcmDriverInfo& driver, const riff::WaveFormat& source,
                        const riff::WaveFormat& destination,
                        std::unique_ptr<Converter>& converter) {
  const bool encoding =
      source.formatTag == riff::kFormatPcm && destination.formatTag == driver.formatTag;
  const bool decoding =
      source.formatTag == driver.formatTag && destination.formatTag == riff::kFormatPcm;
  if (encoding && driver.encodes && driver.id == AcmDriverId::kMsAdpcm) {
    return MsAdpcmEncoder::Open(source, destination, converter);
  }
  if (decoding && driver.decodes) {
    return driver.id == AcmDriverId::kMpegLayer3
               ? Mp3Decoder::Open(source, destination, converter)
               : AdpcmDecoder::Open(source, destination, converter);
  }
  return AcmResult::kNotPossible;
}

}  // namespace

AcmStream::AcmStream(const riff::WaveFormat& source, const riff::WaveFormat& destination,
                     std::unique_ptr<Converter> converter)
    : source_(source), destination_(destination), converter_(std::move(converter)) {}

AcmStream::~AcmStream() = default;

AcmResult AcmStream::Open(AcmDriverId driver, const riff::WaveFormat& source,
                          const riff::WaveFormat& destination, std::unique_ptr<AcmStream>& stream) {
  const AcmDriverInfo* info = FindDriver(driver);
  if (info == nullptr) return AcmResult::kNoDriver;
  std::unique_ptr<Converter> converter;
  const AcmResult result = OpenConverter(*info, source, destination, converter);
  if (result != AcmResult::kOk) return result;
  stream.reset(new AcmStream(source, destination, std::move(converter)));
  return AcmResult::kOk;
}

std::size_t AcmStream::DestinationSizeFor(std::size_t sourceBytes) const {
  return converter_->DestinationSizeFor(sourceBytes);
}

std::size_t AcmStream::SourceSizeFor(std::size_t destinationBytes) const {
  return converter_->SourceSizeFor(destinationBytes);
}

std::size_t AcmStream::DeliverPending(std::uint8_t* destination, std::size_t capacity) {
  const std::size_t count = std::min(capacity, pending_.size() - pendingOffset_);
  if (count > 0) std::memcpy(destination, pending_.data() + pendingOffset_, count);
  pendingOffset_ += count;
  if (pendingOffset_ == pending_.size()) {
    pending_.clear();
    pendingOffset_ = 0;
  }
  return count;
}

AcmResult AcmStream::Convert(const void* source, std::size_t sourceBytes, void* destination,
                             std::size_t destinationBytes, AcmConvertMode mode,
                             AcmConvertResult& result) {
  result = {};
  if ((source == nullptr && sourceBytes > 0) || (destination == nullptr && destinationBytes > 0)) {
    return AcmResult::kInvalidArgument;
  }
  if (finished_) return AcmResult::kStreamFinished;
  auto* target = static_cast<std::uint8_t*>(destination);
  const std::size_t delivered = DeliverPending(target, destinationBytes);
  if (!pending_.empty()) {
    result.destinationUsed = delivered;
    return AcmResult::kOk;
  }
  // The sink adds to pending_ only what does not fit after the delivered bytes.
  OutputSink out(target + delivered, destinationBytes - delivered, pending_);
  const std::span<const std::uint8_t> input(static_cast<const std::uint8_t*>(source), sourceBytes);
  const AcmResult converted = converter_->Convert(input, mode, out, result.sourceUsed);
  result.destinationUsed = delivered + out.Produced();
  return converted;
}

AcmResult AcmStream::Finish(void* destination, std::size_t destinationBytes,
                            std::size_t& produced) {
  produced = 0;
  if (destination == nullptr && destinationBytes > 0) return AcmResult::kInvalidArgument;
  auto* target = static_cast<std::uint8_t*>(destination);
  produced = DeliverPending(target, destinationBytes);
  if (finished_ || !pending_.empty()) return AcmResult::kOk;
  finished_ = true;
  OutputSink out(target + produced, destinationBytes - produced, pending_);
  const AcmResult result = converter_->Finish(out);
  produced += out.Produced();
  return result;
}

}  // namespace vx::acm
