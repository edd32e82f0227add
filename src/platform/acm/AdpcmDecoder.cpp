#include "platform/acm/AdpcmDecoder.h"

#include "platform/acm/AcmFormat.h"
#include "platform/acm/CodecTags.h"
#include "platform/acm/FormatRules.h"

namespace vx::acm {
namespace {

constexpr int kBitsPerSample = 4;  // the only ADPCM sample width these drivers take

}  // namespace

AdpcmDecoder::AdpcmDecoder(std::size_t blockAlign, std::size_t headerBytes,
                           std::size_t blockOutputBytes)
    : BlockConverter(blockAlign), headerBytes_(headerBytes), blockOutputBytes_(blockOutputBytes) {}

AcmResult AdpcmDecoder::Open(const riff::WaveFormat& source, const riff::WaveFormat& destination,
                             std::unique_ptr<Converter>& converter) {
  const bool ms = source.formatTag == riff::kFormatMsAdpcm;
  const int channels = source.channels;
  const int headerBytes = (ms ? 7 : 4) * channels;
  const bool bitsOk = source.bitsPerSample == kBitsPerSample || source.bitsPerSample == 0;
  if (!HasUsableLayout(source) || !bitsOk || source.blockAlign <= headerBytes ||
      !IsUsablePcm16(destination) || destination.channels != source.channels ||
      destination.samplesPerSec != source.samplesPerSec) {
    return AcmResult::kBadFormat;
  }
  const int samplesPerBlock = ms ? MsAdpcmSamplesPerBlock(source.blockAlign, channels)
                                 : ImaAdpcmSamplesPerBlock(source.blockAlign, channels);
  std::unique_ptr<AdpcmDecoder> decoder(
      new AdpcmDecoder(source.blockAlign, static_cast<std::size_t>(headerBytes),
                       static_cast<std::size_t>(samplesPerBlock) * channels * 2));
  const AcmResult result =
      decoder->decoder_.Open(CodecIdForTag(source.formatTag), source, kBitsPerSample);
  if (result == AcmResult::kOk) converter = std::move(decoder);
  return result;
}

AcmResult AdpcmDecoder::ConvertBlock(std::span<const std::uint8_t> block, OutputSink& out) {
  return decoder_.Decode(block, out);
}

AcmResult AdpcmDecoder::Finish(OutputSink& out) { return decoder_.Drain(out); }

std::size_t AdpcmDecoder::UsablePartialBytes(std::size_t remainder) const {
  return remainder >= headerBytes_ ? remainder : 0;
}

std::size_t AdpcmDecoder::DestinationSizeFor(std::size_t sourceBytes) const {
  return (sourceBytes + SourceBlock() - 1) / SourceBlock() * blockOutputBytes_;
}

std::size_t AdpcmDecoder::SourceSizeFor(std::size_t destinationBytes) const {
  return destinationBytes / blockOutputBytes_ * SourceBlock();
}

}  // namespace vx::acm
