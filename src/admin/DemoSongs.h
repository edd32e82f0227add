// The music of the demo library: a seeded, deterministic four-to-the-floor groove made of a
// kick drum on every beat, a hi-hat tick on every off-beat, a chord pad that changes every
// bar and an octave bass line that plays between the drop and the outro.
#pragma once

#include <cstdint>
#include <vector>

namespace vx::admin {

inline constexpr int kDemoBeatsPerBar = 4;
inline constexpr int kDemoIntroBars = 4;  // the bass enters after these
inline constexpr int kDemoOutroBars = 4;  // and leaves this many whole bars before the end

// Where the sections of a demo song start, in milliseconds from the song start.
struct DemoSections {
  std::uint32_t dropMs = 0;
  std::uint32_t outroMs = 0;
};

// The section starts of a song of that tempo and length (at least intro + outro + 1 bars).
DemoSections DemoSectionStarts(double bpm, double seconds);

// seconds × rate frames of interleaved 16-bit samples, left channel first (channels 1 or 2).
// The same arguments always give the same samples; the seed picks key, chords and noise.
std::vector<std::int16_t> MakeDemoSamples(double bpm, double seconds, int rate, int channels,
                                          std::uint32_t seed);

}  // namespace vx::admin
