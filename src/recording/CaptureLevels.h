// The sound level of one capture buffer of 16-bit samples, as the recording dialog meters it
// and as auto start and auto stop judge it.
//
// Per channel: the sum of the absolute sample values gives the average, the largest absolute
// value the peak. Mono buffers give both channels the same values. A stereo average divides
// the channel's sum by the samples of both channels and halves it again, so it reads a
// quarter of the channel's mean magnitude (12 dB below the same signal in mono): the trigger
// levels that users have stored were set against this scale, so it stays.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx {

struct ChannelLevel {
  int average = 0;
  int peak = 0;
};

struct BufferLevels {
  ChannelLevel left;
  ChannelLevel right;
};

// Levels of `count` interleaved samples (left first) of 1 or 2 channels. An empty buffer
// reads silent.
BufferLevels MeasureLevels(const std::int16_t* samples, std::size_t count, int channels);

// 20 x log10(value / 32767) + 3; minus infinity for 0 (silence).
double LevelDb(double value);

// The meter bar position (0..23) of a peak: trunc(dB - 3) + 23, so the bar spans -23 dB to
// 0 dB of full scale; silence sits at 0.
int MeterPosition(int peak);

// True when the left or the right average is above the trigger level (strictly).
bool AboveTrigger(const BufferLevels& levels, int triggerDb);

}  // namespace vx
