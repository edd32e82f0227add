#include "platform/wave/SampleMix.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace vx::wave {
namespace {

constexpr std::uint64_t kOne = std::uint64_t{1} << 32;

}  // namespace

std::int32_t ReadScaledSample(const std::uint8_t* bytes, std::uint16_t bitsPerSample) {
  switch (bitsPerSample) {
    case 8:
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0] ^ 0x80u) << 24);
    case 16:
      return static_cast<std::int32_t>((std::uint32_t{bytes[0]} << 16) |
                                       (std::uint32_t{bytes[1]} << 24));
    case 24:
      return static_cast<std::int32_t>((std::uint32_t{bytes[0]} << 8) |
                                       (std::uint32_t{bytes[1]} << 16) |
                                       (std::uint32_t{bytes[2]} << 24));
    default:
      return static_cast<std::int32_t>(std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
                                       (std::uint32_t{bytes[2]} << 16) |
                                       (std::uint32_t{bytes[3]} << 24));
  }
}

void WriteScaledSample(std::int64_t value, std::uint16_t bitsPerSample, std::uint8_t* bytes) {
  const auto clipped = static_cast<std::uint32_t>(static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max())));
  switch (bitsPerSample) {
    case 8:
      bytes[0] = static_cast<std::uint8_t>((clipped >> 24) ^ 0x80u);
      break;
    case 16:
      bytes[0] = static_cast<std::uint8_t>(clipped >> 16);
      bytes[1] = static_cast<std::uint8_t>(clipped >> 24);
      break;
    case 24:
      bytes[0] = static_cast<std::uint8_t>(clipped >> 8);
      bytes[1] = static_cast<std::uint8_t>(clipped >> 16);
      bytes[2] = static_cast<std::uint8_t>(clipped >> 24);
      break;
    default:
      for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(clipped >> (8 * i));
  }
}

// ------------------------------------------------------------------ VoiceConverter

void VoiceConverter::Setup(const riff::WaveFormat& voice, const riff::WaveFormat& bus,
                           ChannelRoute route) {
  assert(IsPlainPcm(voice) && IsPlainPcm(bus));
  voice_ = voice;
  bus_ = bus;
  route_ = route;
  passThrough_ = route == ChannelRoute::kAll && SameSampleFormat(voice, bus);
  resampled_ = voice.samplesPerSec != bus.samplesPerSec;
  step_ = (std::uint64_t{voice.samplesPerSec} << 32) / bus.samplesPerSec;
  previous_.assign(voice.channels, 0);
  next_.assign(voice.channels, 0);
  blend_.assign(voice.channels, 0);
  Restart();
}

// Two frames are due before the first bus frame: the first opener frame becomes the
// previous one and the second the next, so the first bus frame is the first opener frame.
void VoiceConverter::Restart() {
  std::fill(previous_.begin(), previous_.end(), 0);
  std::fill(next_.begin(), next_.end(), 0);
  phase_ = 2 * kOne;
}

// Before each bus frame the whole opener frames of phase_ are passed, then phase_ grows by
// a step: `n` bus frames pass (phase_ + (n - 1) * step_) / 1 frames.
std::size_t VoiceConverter::FramesNeeded(std::size_t busFrames) const {
  if (!resampled_) return busFrames;
  if (busFrames == 0) return 0;
  return static_cast<std::size_t>((phase_ + (busFrames - 1) * step_) >> 32);
}

// phase_ is below two frames or one frame and a step at the start of a period.
std::size_t VoiceConverter::MostFramesNeeded(std::size_t busFrames) const {
  if (!resampled_) return busFrames;
  return static_cast<std::size_t>((2 * kOne + step_ + busFrames * step_) >> 32);
}

void VoiceConverter::Decode(const std::uint8_t* data, std::int32_t* frame) const {
  const std::size_t bytesPerSample = voice_.bitsPerSample / 8;
  for (std::size_t c = 0; c < voice_.channels; ++c) {
    frame[c] = ReadScaledSample(data + c * bytesPerSample, voice_.bitsPerSample);
  }
}

void VoiceConverter::AddFrame(const std::int32_t* voiceFrame, std::int64_t* out) const {
  const std::size_t voiceChannels = voice_.channels;
  const std::size_t busChannels = bus_.channels;
  auto average = [&] {
    std::int64_t sum = 0;
    for (std::size_t c = 0; c < voiceChannels; ++c) sum += voiceFrame[c];
    return sum / static_cast<std::int64_t>(voiceChannels);
  };
  if (route_ != ChannelRoute::kAll) {
    const std::size_t channel = busChannels >= 2 && route_ == ChannelRoute::kRight ? 1 : 0;
    out[channel] += average();
  } else if (voiceChannels == busChannels) {
    for (std::size_t c = 0; c < busChannels; ++c) out[c] += voiceFrame[c];
  } else if (voiceChannels == 1) {
    for (std::size_t c = 0; c < busChannels; ++c) out[c] += voiceFrame[0];
  } else if (busChannels == 1) {
    out[0] += average();
  } else {
    for (std::size_t c = 0; c < std::min(voiceChannels, busChannels); ++c) {
      out[c] += voiceFrame[c];
    }
  }
}

std::size_t VoiceConverter::AddTo(const std::uint8_t* data, std::size_t frames,
                                  std::int64_t* mix, std::size_t busFrames) {
  const std::size_t busChannels = bus_.channels;
  const std::size_t voiceAlign = voice_.blockAlign;
  if (!resampled_) {
    const std::size_t count = std::min(frames, busFrames);
    for (std::size_t i = 0; i < count; ++i) {
      Decode(data + i * voiceAlign, blend_.data());
      AddFrame(blend_.data(), mix + i * busChannels);
    }
    return count;
  }
  // A bus frame lies `phase_` of the way from previous_ to next_ once the whole opener
  // frames of phase_ are passed. It is made only when those frames are there, so a short
  // period leaves the history consistent (the opener frames after it are dropped).
  std::size_t made = 0;
  std::size_t used = 0;
  while (made < busFrames && used + (phase_ >> 32) <= frames) {
    while (phase_ >= kOne) {
      previous_.swap(next_);
      Decode(data + used * voiceAlign, next_.data());
      ++used;
      phase_ -= kOne;
    }
    const auto weight = static_cast<std::int64_t>(phase_ >> 16);
    for (std::size_t c = 0; c < voice_.channels; ++c) {
      const std::int64_t from = previous_[c];
      blend_[c] = static_cast<std::int32_t>(from + (((next_[c] - from) * weight) >> 16));
    }
    AddFrame(blend_.data(), mix + made * busChannels);
    ++made;
    phase_ += step_;
  }
  return made;
}

// ------------------------------------------------------------------ MixBus

void MixBus::Begin(const riff::WaveFormat& format, std::size_t frames) {
  format_ = format;
  samples_.assign(frames * format.channels, 0);
}

void MixBus::Write(std::size_t frames, std::uint8_t* out) const {
  const std::size_t bytesPerSample = format_.bitsPerSample / 8;
  const std::size_t count = std::min(frames * format_.channels, samples_.size());
  for (std::size_t i = 0; i < count; ++i) {
    WriteScaledSample(samples_[i], format_.bitsPerSample, out + i * bytesPerSample);
  }
}

}  // namespace vx::wave
