#include "player/engine/KeyLockPitch.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace vx::player {
namespace {

using RubberBand::RubberBandStretcher;

// Frames handed to the stretcher in one go: small enough that a call stops feeding as soon
// as the output buffer is full, and the one size the channel buffers are made for.
constexpr std::size_t kBlock = 1024;
// The most silence Flush feeds to push out what the stretcher holds: far more than it ever
// holds (a few thousand frames), so the bound only guards against a stretcher that never gives.
constexpr std::size_t kFlushLimit = 64 * kBlock;

// Real time (the tempo changes while playing), on the engine's own thread only, the finer of
// the stretcher's two engines (the faster one smears sustained notes unless its transient
// handling is turned off, which blunts drums), and the channels kept together so a stereo
// image does not widen or smear.
constexpr RubberBandStretcher::Options kOptions =
    RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionThreadingNever |
    RubberBandStretcher::OptionEngineFiner | RubberBandStretcher::OptionChannelsTogether;

float ToFloat(const std::uint8_t* sample) {
  std::int16_t value = 0;
  std::memcpy(&value, sample, sizeof value);
  return static_cast<float>(value) * (1.0F / 32768.0F);
}

void FromFloat(float value, std::uint8_t* sample) {
  const long rounded = std::lrint(static_cast<double>(value) * 32768.0);
  const auto clipped = static_cast<std::int16_t>(std::clamp(rounded, -32768L, 32767L));
  std::memcpy(sample, &clipped, sizeof clipped);
}

}  // namespace

std::unique_ptr<KeyLockPitch> KeyLockPitch::Make(int channels, int sampleRate) {
  if (channels < 1 || sampleRate < 8000 || sampleRate > 192000) return nullptr;
  return std::make_unique<KeyLockPitch>(channels, sampleRate);
}

KeyLockPitch::KeyLockPitch(int channels, int sampleRate)
    : stretcher_(std::make_unique<RubberBandStretcher>(
          static_cast<std::size_t>(sampleRate), static_cast<std::size_t>(channels), kOptions)),
      planes_(static_cast<std::size_t>(channels) * kBlock),
      planePointers_(static_cast<std::size_t>(channels)) {
  assert(channels >= 1 && sampleRate > 0);
  for (std::size_t c = 0; c < planePointers_.size(); ++c) {
    planePointers_[c] = planes_.data() + c * kBlock;
  }
  stretcher_->setMaxProcessSize(kBlock);
  Reset();
}

KeyLockPitch::~KeyLockPitch() = default;

void KeyLockPitch::Reset() {
  stretcher_->reset();
  // Primed with the silence the stretcher wants ahead of the first frame; the same number
  // of frames of its output come before that frame and are dropped, so output starts
  // exactly where the input does.
  std::fill(planes_.begin(), planes_.end(), 0.0F);
  std::size_t pad = stretcher_->getPreferredStartPad();
  toDrop_ = stretcher_->getStartDelay();
  while (pad > 0) {
    const std::size_t n = std::min(pad, kBlock);
    stretcher_->process(planePointers_.data(), n, false);
    pad -= n;
  }
  consumed_ = 0;
  represented_ = 0;
  finished_ = false;
}

void KeyLockPitch::SetPitch(double pitch) {
  assert(pitch > -100);
  const double factor = 1 + pitch / 100;
  if (factor == factor_) return;
  factor_ = factor;
  // The time ratio is the length of the output against the input: the inverse of the tempo.
  stretcher_->setTimeRatio(1 / factor);
}

void KeyLockPitch::Feed(const std::uint8_t* frames, std::size_t count) {
  assert(count <= kBlock);
  const std::size_t channels = planePointers_.size();
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t c = 0; c < channels; ++c) {
      planePointers_[c][i] = ToFloat(frames + (i * channels + c) * sizeof(std::int16_t));
    }
  }
  stretcher_->process(planePointers_.data(), count, false);
}

std::size_t KeyLockPitch::Drain(std::uint8_t* output, std::size_t capacity) {
  const std::size_t channels = planePointers_.size();
  std::size_t done = 0;
  while (done < capacity) {
    const int ready = stretcher_->available();
    if (ready <= 0) break;
    if (toDrop_ > 0) {
      toDrop_ -= stretcher_->retrieve(planePointers_.data(),
                                      std::min({static_cast<std::size_t>(ready), toDrop_, kBlock}));
      continue;
    }
    const std::size_t n =
        stretcher_->retrieve(planePointers_.data(),
                             std::min({static_cast<std::size_t>(ready), capacity - done, kBlock}));
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t c = 0; c < channels; ++c) {
        FromFloat(planePointers_[c][i],
                  output + ((done + i) * channels + c) * sizeof(std::int16_t));
      }
    }
    done += n;
  }
  represented_ += static_cast<double>(done) * factor_;
  return done;
}

std::size_t KeyLockPitch::Process(double pitch, const std::uint8_t* input, std::size_t inputLength,
                                  std::uint8_t* output, std::size_t outputCapacity,
                                  std::size_t& inputUsed) {
  if (finished_) Reset();
  SetPitch(pitch);
  const std::size_t frameBytes = planePointers_.size() * sizeof(std::int16_t);
  const std::size_t frames = inputLength / frameBytes;
  const std::size_t capacity = outputCapacity / frameBytes;
  // What the stretcher made beyond the last call's room comes first.
  std::size_t written = Drain(output, capacity);
  std::size_t taken = 0;
  while (taken < frames) {
    const std::size_t block = std::min(kBlock, frames - taken);
    // Only input whose output has room now is taken; the rest is offered again.
    if (written + static_cast<std::size_t>(std::ceil(block / factor_)) > capacity) break;
    Feed(input + taken * frameBytes, block);
    taken += block;
    consumed_ += block;
    written += Drain(output + written * frameBytes, capacity - written);
  }
  inputUsed = taken * frameBytes;
  return written * frameBytes;
}

std::size_t KeyLockPitch::Flush(std::uint8_t* output, std::size_t outputCapacity) {
  const std::size_t frameBytes = planePointers_.size() * sizeof(std::int16_t);
  // The output still owed to the input taken, at the tempo of the end.
  const double owed = std::round((static_cast<double>(consumed_) - represented_) / factor_);
  finished_ = true;
  if (owed < 1) return 0;
  const std::size_t wanted = std::min(outputCapacity / frameBytes, static_cast<std::size_t>(owed));
  // The stretcher gives up what it holds as silence is fed after it (its own end-of-stream
  // handling does not hand the held sound out in real-time use). The silence only pushes; it
  // stands for no input, and the output stops at the count owed.
  std::size_t done = Drain(output, wanted);
  for (std::size_t pushed = 0; done < wanted && pushed < kFlushLimit; pushed += kBlock) {
    std::fill(planes_.begin(), planes_.end(), 0.0F);  // Drain leaves output samples there
    stretcher_->process(planePointers_.data(), kBlock, false);
    done += Drain(output + done * frameBytes, wanted - done);
  }
  if (done < wanted) {
    // The stretcher did not give the sound back: silence makes up the difference, so the song
    // lasts exactly as long as its speed says.
    std::memset(output + done * frameBytes, 0, (wanted - done) * frameBytes);
    represented_ += static_cast<double>(wanted - done) * factor_;
    done = wanted;
  }
  return done * frameBytes;
}

}  // namespace vx::player
