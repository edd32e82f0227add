#include "platform/acm/Mp3Decoder.h"

#include <algorithm>

#include "platform/acm/CodecTags.h"
#include "platform/acm/FormatRules.h"

namespace vx::acm {
namespace {

// Input is handed to the parser in pieces of at most this size.
constexpr std::size_t kPiece = 4096;
// The most bytes the parser can hold back: one free-format frame at 640 kbit/s and 32 kHz.
constexpr std::size_t kLargestFrame = 2881;

}  // namespace

// MPEG-1 (32 kHz and up) frames carry 1152 samples and run at 32 kbit/s or more; MPEG-2 and
// 2.5 frames carry 576 samples and run at 8 kbit/s or more.
Mp3Decoder::Mp3Decoder(int channels, int samplesPerSec) {
  const bool mpeg1 = samplesPerSec >= 32000;
  const std::size_t samplesPerFrame = mpeg1 ? 1152 : 576;
  const std::size_t lowestBitRate = mpeg1 ? 32000 : 8000;
  frameOutputBytes_ = samplesPerFrame * static_cast<std::size_t>(channels) * 2;
  smallestFrame_ = std::max<std::size_t>(
      1, samplesPerFrame / 8 * lowestBitRate / static_cast<std::size_t>(samplesPerSec));
}

AcmResult Mp3Decoder::Open(const riff::WaveFormat& source, const riff::WaveFormat& destination,
                           std::unique_ptr<Converter>& converter) {
  if (!HasUsableLayout(source) || !IsUsablePcm16(destination) ||
      destination.channels != source.channels ||
      destination.samplesPerSec != source.samplesPerSec) {
    return AcmResult::kBadFormat;
  }
  std::unique_ptr<Mp3Decoder> decoder(
      new Mp3Decoder(source.channels, static_cast<int>(source.samplesPerSec)));
  const AVCodecID codecId = CodecIdForTag(source.formatTag);
  // The record's block align (1) means nothing to the MPEG decoder; it is left unset.
  riff::WaveFormat decoderFormat = source;
  decoderFormat.blockAlign = 0;
  decoderFormat.extra.clear();
  AcmResult result = decoder->decoder_.Open(codecId, decoderFormat, 0);
  if (result != AcmResult::kOk) return result;
  decoder->parser_.reset(av_parser_init(codecId));
  if (!decoder->parser_) return AcmResult::kCodecUnavailable;
  converter = std::move(decoder);
  return AcmResult::kOk;
}

std::size_t Mp3Decoder::Parse(std::span<const std::uint8_t> bytes, OutputSink& out,
                              bool stopWhenFull, AcmResult& result) {
  result = AcmResult::kOk;
  staging_.assign(bytes.begin(), bytes.end());
  staging_.resize(bytes.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  std::size_t taken = 0;
  while (taken < bytes.size() && !(stopWhenFull && out.Full())) {
    std::uint8_t* frame = nullptr;
    int frameSize = 0;
    const int used = av_parser_parse2(
        parser_.get(), decoder_.Context(), &frame, &frameSize, staging_.data() + taken,
        static_cast<int>(bytes.size() - taken), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (used < 0) break;
    taken += static_cast<std::size_t>(used);
    if (frameSize > 0) {
      result = decoder_.Decode({frame, static_cast<std::size_t>(frameSize)}, out);
      if (result != AcmResult::kOk) break;
    } else if (used == 0) {
      break;  // the parser neither took nor gave anything: nothing more will come of it
    }
  }
  return taken;
}

AcmResult Mp3Decoder::ParseAll(std::span<const std::uint8_t> bytes, OutputSink& out) {
  AcmResult result = AcmResult::kOk;
  Parse(bytes, out, false, result);
  return result;
}

AcmResult Mp3Decoder::Convert(std::span<const std::uint8_t> source, AcmConvertMode, OutputSink& out,
                              std::size_t& used) {
  used = 0;
  std::vector<std::uint8_t> notATag;
  while (used < source.size() && !out.Full()) {
    const std::span<const std::uint8_t> rest = source.subspan(used);
    if (!id3Skipper_.Done()) {
      used += id3Skipper_.Take(rest, notATag);
      // Header bytes that were no tag are few and were taken already: decode them all.
      if (!notATag.empty()) {
        const AcmResult result = ParseAll(notATag, out);
        if (result != AcmResult::kOk) return result;
        notATag.clear();
      }
      continue;
    }
    AcmResult result = AcmResult::kOk;
    const std::size_t taken = Parse(rest.first(std::min(rest.size(), kPiece)), out, true, result);
    used += taken;
    if (result != AcmResult::kOk) return result;
    if (taken == 0) break;
  }
  return AcmResult::kOk;
}

AcmResult Mp3Decoder::Finish(OutputSink& out) {
  std::vector<std::uint8_t> notATag;
  id3Skipper_.Finish(notATag);
  AcmResult result = ParseAll(notATag, out);
  if (result != AcmResult::kOk) return result;
  // An empty input tells the parser to hand over the frame it still holds.
  std::uint8_t* frame = nullptr;
  int frameSize = 0;
  av_parser_parse2(parser_.get(), decoder_.Context(), &frame, &frameSize, nullptr, 0,
                   AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
  if (frameSize > 0) {
    result = decoder_.Decode({frame, static_cast<std::size_t>(frameSize)}, out);
    if (result != AcmResult::kOk) return result;
  }
  return decoder_.Drain(out);
}

std::size_t Mp3Decoder::DestinationSizeFor(std::size_t sourceBytes) const {
  // Frames finished by these bytes may have started in earlier ones the parser holds.
  return ((sourceBytes + kLargestFrame) / smallestFrame_ + 1) * frameOutputBytes_;
}

std::size_t Mp3Decoder::SourceSizeFor(std::size_t destinationBytes) const {
  return destinationBytes / frameOutputBytes_ * smallestFrame_;
}

}  // namespace vx::acm
