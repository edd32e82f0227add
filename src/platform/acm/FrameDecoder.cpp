#include "platform/acm/FrameDecoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace vx::acm {
namespace {

static_assert(std::endian::native == std::endian::little,
              "16-bit PCM is written in host order and must be little-endian");

std::int16_t FromFloat(float value) {
  // Rounds to nearest like the codec library's own sample converter, so decoded output
  // matches its command-line tools sample for sample.
  const long rounded = std::lrintf(value * 32768.0f);
  return static_cast<std::int16_t>(std::clamp(rounded, -32768L, 32767L));
}
std::int16_t FromDouble(double value) { return FromFloat(static_cast<float>(value)); }
std::int16_t FromS16(std::int16_t value) { return value; }
std::int16_t FromS32(std::int32_t value) { return static_cast<std::int16_t>(value >> 16); }

// Interleaves a frame of sample type T into 16-bit samples, outChannels per sample frame.
template <typename T, typename Convert>
void Interleave(const AVFrame& frame, bool planar, int inChannels, int outChannels, Convert convert,
                std::int16_t* out) {
  for (int i = 0; i < frame.nb_samples; ++i) {
    for (int c = 0; c < outChannels; ++c) {
      const int from = std::min(c, inChannels - 1);
      const T* data = reinterpret_cast<const T*>(frame.extended_data[planar ? from : 0]);
      *out++ = convert(data[planar ? i : i * inChannels + from]);
    }
  }
}

}  // namespace

AcmResult FrameDecoder::Open(AVCodecID codecId, const riff::WaveFormat& source,
                             int bitsPerCodedSample) {
  const AVCodec* codec = avcodec_find_decoder(codecId);
  if (codec == nullptr) return AcmResult::kCodecUnavailable;
  context_.reset(avcodec_alloc_context3(codec));
  frame_.reset(av_frame_alloc());
  packet_.reset(av_packet_alloc());
  if (!context_ || !frame_ || !packet_) return AcmResult::kNoMemory;

  channels_ = source.channels;
  context_->sample_rate = static_cast<int>(source.samplesPerSec);
  av_channel_layout_default(&context_->ch_layout, channels_);
  context_->block_align = source.blockAlign;
  context_->bits_per_coded_sample = bitsPerCodedSample;
  if (!source.extra.empty()) {
    const std::size_t size = source.extra.size();
    context_->extradata =
        static_cast<std::uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
    if (context_->extradata == nullptr) return AcmResult::kNoMemory;
    std::memcpy(context_->extradata, source.extra.data(), size);
    context_->extradata_size = static_cast<int>(size);
  }
  const int opened = avcodec_open2(context_.get(), codec, nullptr);
  if (opened == AVERROR(ENOMEM)) return AcmResult::kNoMemory;
  return opened < 0 ? AcmResult::kBadFormat : AcmResult::kOk;
}

AcmResult FrameDecoder::Decode(std::span<const std::uint8_t> packet, OutputSink& out) {
  if (packet.empty()) return AcmResult::kOk;
  staging_.assign(packet.begin(), packet.end());
  staging_.resize(packet.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);
  // A packet without a buffer reference: the codec library copies what it keeps.
  packet_->data = staging_.data();
  packet_->size = static_cast<int>(packet.size());
  const AcmResult result = Send(packet_.get(), out);
  av_packet_unref(packet_.get());
  return result;
}

AcmResult FrameDecoder::Drain(OutputSink& out) { return Send(nullptr, out); }

AcmResult FrameDecoder::Send(const AVPacket* packet, OutputSink& out) {
  const int sent = avcodec_send_packet(context_.get(), packet);
  if (sent == AVERROR(ENOMEM)) return AcmResult::kNoMemory;
  // Any other refusal means the data was not decodable (or the decoder is already drained);
  // the packet is dropped and whatever the codec did produce is still collected.
  return ReceiveFrames(out);
}

AcmResult FrameDecoder::ReceiveFrames(OutputSink& out) {
  // The codec drops a packet it cannot decode and reports that once; a bound on successive
  // errors keeps a misbehaving codec from spinning here.
  constexpr int kMaxErrors = 16;
  for (int errors = 0; errors < kMaxErrors;) {
    const int received = avcodec_receive_frame(context_.get(), frame_.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return AcmResult::kOk;
    if (received == AVERROR(ENOMEM)) return AcmResult::kNoMemory;
    if (received < 0) {  // a damaged packet: skip it, keep what follows
      ++errors;
      continue;
    }
    errors = 0;
    const bool written = WriteFrame(*frame_, out);
    av_frame_unref(frame_.get());
    if (!written) return AcmResult::kConvertFailed;
  }
  return AcmResult::kOk;
}

bool FrameDecoder::WriteFrame(const AVFrame& frame, OutputSink& out) {
  const int inChannels = frame.ch_layout.nb_channels;
  if (inChannels < 1 || frame.nb_samples <= 0) return true;
  samples_.resize(static_cast<std::size_t>(frame.nb_samples) * channels_);
  const auto format = static_cast<AVSampleFormat>(frame.format);
  const bool planar = av_sample_fmt_is_planar(format) != 0;
  std::int16_t* target = samples_.data();
  switch (av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_S16:
      Interleave<std::int16_t>(frame, planar, inChannels, channels_, FromS16, target);
      break;
    case AV_SAMPLE_FMT_S32:
      Interleave<std::int32_t>(frame, planar, inChannels, channels_, FromS32, target);
      break;
    case AV_SAMPLE_FMT_FLT:
      Interleave<float>(frame, planar, inChannels, channels_, FromFloat, target);
      break;
    case AV_SAMPLE_FMT_DBL:
      Interleave<double>(frame, planar, inChannels, channels_, FromDouble, target);
      break;
    default: return false;
  }
  out.Write(reinterpret_cast<const std::uint8_t*>(samples_.data()),
            samples_.size() * sizeof(std::int16_t));
  return true;
}

}  // namespace vx::acm
