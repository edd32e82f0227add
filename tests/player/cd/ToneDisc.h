// A disc image for the CD deck tests: audio tracks that each hold a sine of their own
// frequency (track n: n x 441 Hz, full-scale / 4, both channels), then one data track.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vx::player::test {

struct ToneDisc {
  std::vector<int> trackSeconds{8, 8, 6};  // the audio tracks' lengths
  int dataSeconds = 2;                      // 0: no data track
};

inline double ToneOfTrack(int track) { return 441.0 * track; }

// Writes folder/disc.cue and folder/disc.bin; answers the cue path.
std::string WriteToneDisc(const std::string& folder, const ToneDisc& disc = {});

// The frequency of a stretch of a 16-bit stereo tape's left channel, from its rising zero
// crossings; 0 when the stretch is silent.
double ToneFrequency(const std::vector<std::uint8_t>& samples, std::size_t firstFrame,
                     std::size_t frames);

}  // namespace vx::player::test
