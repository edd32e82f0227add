#include "audioserver/SongDecoder.h"

#include "platform/acm/AcmDriver.h"
#include "platform/acm/AcmFormat.h"

namespace vx::audioserver {
namespace {

// More decoded bytes per chunk than this means a nonsensical format or chunk size.
constexpr std::size_t kMaxDecodedBytes = std::size_t{256} << 20;

}  // namespace

bool SongDecoder::Open(std::span<const std::uint8_t> formatRecord, std::uint32_t chunkSize) {
  Close();
  riff::WaveFormat source;
  if (!riff::WaveFormat::FromBytes(formatRecord.data(), formatRecord.size(), source)) return false;
  if (chunkSize == 0 || chunkSize < source.blockAlign) return false;
  const auto driver = acm::FindDriverForTag(source.formatTag);
  if (!driver) return false;
  riff::WaveFormat pcm;
  if (acm::SuggestFormat(*driver, source, riff::kFormatPcm, pcm) != acm::AcmResult::kOk) {
    return false;
  }
  std::unique_ptr<acm::AcmStream> stream;
  if (acm::AcmStream::Open(*driver, source, pcm, stream) != acm::AcmResult::kOk) return false;
  const std::size_t maximum = stream->DestinationSizeFor(chunkSize);
  if (maximum == 0 || maximum > kMaxDecodedBytes) return false;
  stream_ = std::move(stream);
  output_ = pcm;
  decodedMaximum_ = static_cast<std::uint32_t>(maximum);
  return true;
}

void SongDecoder::Close() {
  stream_.reset();
  decodedMaximum_ = 0;
}

bool SongDecoder::Decode(std::span<const std::uint8_t> input, bool last,
                         std::span<std::uint8_t> output, std::uint32_t& consumed,
                         std::uint32_t& produced) {
  consumed = 0;
  produced = 0;
  if (!stream_) return false;
  acm::AcmConvertResult result;
  const auto mode = last ? acm::AcmConvertMode::kAll : acm::AcmConvertMode::kBlockAlign;
  if (stream_->Convert(input.data(), input.size(), output.data(), output.size(), mode, result) !=
      acm::AcmResult::kOk) {
    return false;
  }
  consumed = static_cast<std::uint32_t>(result.sourceUsed);
  produced = static_cast<std::uint32_t>(result.destinationUsed);
  return true;
}

}  // namespace vx::audioserver
