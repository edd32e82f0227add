// The arithmetic of a WAV deck, free of any window: pitch and its slider, the current BPM,
// BPM synchronisation, the level meter's scale and cue offsets in bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vx::player {

inline constexpr double kMinPitch = -12.0;
inline constexpr double kMaxPitch = 12.0;
inline constexpr int kPitchSliderMax = 240;
inline constexpr int kPitchSliderZero = 120;

// trunc((12 + pitch) x 10), limited to the slider's range.
int PitchToSlider(double pitch);
// position x 0.1 - 12, exact to the tenth.
double SliderToPitch(int position);
// bpm x (1 + pitch / 100).
double CurrentBpm(double songBpm, double pitch);

// The pitch that brings this song (songBpm) to the other deck's BPM, or nothing when the
// change would leave -12..+12, would be below 0.1 % in size, or either BPM is not positive.
std::optional<double> SyncBpmPitch(double songBpm, double otherBpm);

// 0..100 for a peak sample value: 0 at -25 dB and below (also for silence), 100 at full
// scale.
int MeterValue(std::uint32_t peak);

// A CueOffset "MM:SS.mmm" as a byte offset into the data: (minutes x 60 + seconds) x
// avgBytesPerSec + (avgBytesPerSec / 1000) x milliseconds. Fields that are not numbers
// count as 0.
std::uint32_t CueByteOffset(const std::string& cueOffset, std::uint32_t avgBytesPerSec);

}  // namespace vx::player
