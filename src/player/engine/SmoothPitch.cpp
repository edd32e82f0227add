#include "player/engine/SmoothPitch.h"

#include <samplerate.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

namespace vx::player {
namespace {

// Band-limited sinc interpolation, the cheapest of the kind: a 1 kHz tone comes out more
// than 90 dB clean and a deck costs well under one per cent of a core.
constexpr int kConverter = SRC_SINC_FASTEST;
// The speed factors the resampler is given (far beyond any deck's pitch range).
constexpr double kSlowest = 1.0 / 16;
constexpr double kFastest = 16;

std::int16_t ToSample(float value) {
  const long scaled = std::lrint(value * 32768.0f);
  return static_cast<std::int16_t>(std::clamp(scaled, -32768L, 32767L));
}

}  // namespace

std::unique_ptr<SmoothPitch> SmoothPitch::Make(int channels) {
  if (channels < 1 || channels > 2) return nullptr;
  int error = 0;
  SRC_STATE* state = src_new(kConverter, channels, &error);
  if (state == nullptr) return nullptr;
  return std::unique_ptr<SmoothPitch>(new SmoothPitch(state, channels));
}

SmoothPitch::SmoothPitch(SRC_STATE* state, int channels)
    : state_(state), channels_(channels), frameBytes_(2 * static_cast<std::size_t>(channels)) {}

SmoothPitch::~SmoothPitch() { src_delete(state_); }

void SmoothPitch::Reset() {
  src_reset(state_);
  ratio_ = 0;
  flushed_ = false;
}

std::size_t SmoothPitch::Process(double pitch, const std::uint8_t* input,
                                 std::size_t inputLength, std::uint8_t* output,
                                 std::size_t outputCapacity, std::size_t& inputUsed) {
  inputUsed = 0;
  const std::size_t frames = inputLength / frameBytes_;
  if (flushed_ || frames == 0 || outputCapacity < frameBytes_) return 0;
  const double ratio = 1.0 / std::clamp(1.0 + pitch / 100.0, kSlowest, kFastest);
  if (ratio != ratio_) {
    // A new pitch takes over at once: the resampler would otherwise glide to it over the
    // whole call, and the frames played would no longer follow the pitch exactly.
    src_set_ratio(state_, ratio);
    ratio_ = ratio;
  }
  const std::size_t samples = frames * static_cast<std::size_t>(channels_);
  if (in_.size() < samples) in_.resize(samples);
  for (std::size_t i = 0; i < samples; ++i) {
    std::int16_t sample;
    std::memcpy(&sample, input + 2 * i, 2);
    in_[i] = static_cast<float>(sample) / 32768.0f;
  }
  std::size_t used = 0;
  const std::size_t written = Run(frames, output, outputCapacity / frameBytes_, false, used);
  inputUsed = used * frameBytes_;
  return written * frameBytes_;
}

std::size_t SmoothPitch::Flush(std::uint8_t* output, std::size_t outputCapacity) {
  const std::size_t room = outputCapacity / frameBytes_;
  if (flushed_ || ratio_ == 0 || room == 0) return 0;  // ratio 0: nothing taken since a reset
  std::size_t used = 0;
  const std::size_t written = Run(0, output, room, true, used);
  // Short of the room: the resampler has given everything; else the next call goes on.
  flushed_ = written < room;
  return written * frameBytes_;
}

std::size_t SmoothPitch::Run(std::size_t frames, std::uint8_t* output, std::size_t capacity,
                             bool last, std::size_t& framesUsed) {
  const std::size_t samples = capacity * static_cast<std::size_t>(channels_);
  if (out_.size() < samples) out_.resize(samples);
  SRC_DATA data{};
  data.data_in = in_.data();
  data.data_out = out_.data();
  data.input_frames = static_cast<long>(frames);
  data.output_frames = static_cast<long>(capacity);
  data.end_of_input = last ? 1 : 0;
  data.src_ratio = ratio_;
  if (src_process(state_, &data) != 0) {
    framesUsed = 0;
    return 0;
  }
  assert(data.input_frames_used <= data.input_frames);
  assert(data.output_frames_gen <= data.output_frames);
  framesUsed = static_cast<std::size_t>(data.input_frames_used);
  const auto written = static_cast<std::size_t>(data.output_frames_gen);
  for (std::size_t i = 0; i < written * static_cast<std::size_t>(channels_); ++i) {
    const std::int16_t sample = ToSample(out_[i]);
    std::memcpy(output + 2 * i, &sample, 2);
  }
  return written;
}

}  // namespace vx::player
