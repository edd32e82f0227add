#include "platform/acm/MsAdpcmEncoder.h"

#include <cstring>

#include "platform/acm/AcmFormat.h"
#include "platform/acm/CodecTags.h"
#include "platform/acm/FormatRules.h"

namespace vx::acm {
namespace {

constexpr int kSmallestBlock = 32;  // the encoder's limits
constexpr int kLargestBlock = 8192;

bool IsPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }

bool IsEncodableDestination(const riff::WaveFormat& source, const riff::WaveFormat& destination) {
  const int channels = destination.channels;
  const int blockAlign = destination.blockAlign;
  return destination.formatTag == riff::kFormatMsAdpcm && channels == source.channels &&
         destination.samplesPerSec == source.samplesPerSec && IsPowerOfTwo(blockAlign) &&
         blockAlign >= kSmallestBlock && blockAlign <= kLargestBlock && blockAlign > 7 * channels &&
         destination.extra == MsAdpcmExtraBytes(MsAdpcmSamplesPerBlock(blockAlign, channels));
}

}  // namespace

MsAdpcmEncoder::MsAdpcmEncoder(int channels, int samplesPerBlock, int blockAlign)
    : BlockConverter(static_cast<std::size_t>(samplesPerBlock) * channels * 2),
      frameBytes_(channels * 2),
      samplesPerBlock_(samplesPerBlock),
      blockAlign_(blockAlign) {}

AcmResult MsAdpcmEncoder::Open(const riff::WaveFormat& source, const riff::WaveFormat& destination,
                               std::unique_ptr<Converter>& converter) {
  if (!IsUsablePcm16(source) || !IsEncodableDestination(source, destination)) {
    return AcmResult::kBadFormat;
  }
  const int samplesPerBlock = MsAdpcmSamplesPerBlock(destination.blockAlign, destination.channels);
  std::unique_ptr<MsAdpcmEncoder> encoder(
      new MsAdpcmEncoder(source.channels, samplesPerBlock, destination.blockAlign));
  const AcmResult result = encoder->OpenCodec(source);
  if (result == AcmResult::kOk) converter = std::move(encoder);
  return result;
}

AcmResult MsAdpcmEncoder::OpenCodec(const riff::WaveFormat& source) {
  const AVCodec* codec = avcodec_find_encoder(CodecIdForTag(riff::kFormatMsAdpcm));
  if (codec == nullptr) return AcmResult::kCodecUnavailable;
  context_.reset(avcodec_alloc_context3(codec));
  frame_.reset(av_frame_alloc());
  packet_.reset(av_packet_alloc());
  if (!context_ || !frame_ || !packet_) return AcmResult::kNoMemory;

  context_->sample_fmt = AV_SAMPLE_FMT_S16;
  context_->sample_rate = static_cast<int>(source.samplesPerSec);
  av_channel_layout_default(&context_->ch_layout, source.channels);
  AVDictionary* options = nullptr;
  av_dict_set_int(&options, "block_size", blockAlign_, 0);
  // On return the dictionary holds the options the codec did not take; it is freed here.
  const int opened = avcodec_open2(context_.get(), codec, &options);
  av_dict_free(&options);
  if (opened == AVERROR(ENOMEM)) return AcmResult::kNoMemory;
  if (opened < 0) return AcmResult::kCodecUnavailable;
  // The blocks must be exactly the ones the destination format describes.
  if (context_->frame_size != samplesPerBlock_ || context_->block_align != blockAlign_) {
    return AcmResult::kNotPossible;
  }

  frame_->format = AV_SAMPLE_FMT_S16;
  frame_->nb_samples = samplesPerBlock_;
  if (av_channel_layout_copy(&frame_->ch_layout, &context_->ch_layout) < 0 ||
      av_frame_get_buffer(frame_.get(), 0) < 0) {
    return AcmResult::kNoMemory;
  }
  return AcmResult::kOk;
}

AcmResult MsAdpcmEncoder::ConvertBlock(std::span<const std::uint8_t> block, OutputSink& out) {
  if (av_frame_make_writable(frame_.get()) < 0) return AcmResult::kNoMemory;
  // A short final block is padded with silence: the encoder takes whole blocks only.
  std::uint8_t* samples = frame_->data[0];
  std::memcpy(samples, block.data(), block.size());
  std::memset(samples + block.size(), 0, SourceBlock() - block.size());
  return Send(frame_.get(), out);
}

AcmResult MsAdpcmEncoder::Finish(OutputSink& out) { return Send(nullptr, out); }

AcmResult MsAdpcmEncoder::Send(const AVFrame* frame, OutputSink& out) {
  const int sent = avcodec_send_frame(context_.get(), frame);
  if (sent == AVERROR(ENOMEM)) return AcmResult::kNoMemory;
  if (sent < 0 && sent != AVERROR_EOF) return AcmResult::kConvertFailed;
  for (;;) {
    const int received = avcodec_receive_packet(context_.get(), packet_.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return AcmResult::kOk;
    if (received < 0) return AcmResult::kConvertFailed;
    out.Write(packet_->data, static_cast<std::size_t>(packet_->size));
    av_packet_unref(packet_.get());
  }
}

std::size_t MsAdpcmEncoder::UsablePartialBytes(std::size_t remainder) const {
  return remainder - remainder % static_cast<std::size_t>(frameBytes_);
}

std::size_t MsAdpcmEncoder::DestinationSizeFor(std::size_t sourceBytes) const {
  const std::size_t frames = sourceBytes / static_cast<std::size_t>(frameBytes_);
  const std::size_t blocks = (frames + samplesPerBlock_ - 1) / samplesPerBlock_;
  return blocks * static_cast<std::size_t>(blockAlign_);
}

std::size_t MsAdpcmEncoder::SourceSizeFor(std::size_t destinationBytes) const {
  return destinationBytes / static_cast<std::size_t>(blockAlign_) * SourceBlock();
}

}  // namespace vx::acm
