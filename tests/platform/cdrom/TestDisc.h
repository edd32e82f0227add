// A synthetic disc image for the CD tests: disc.cue + disc.bin with three audio tracks of
// known sample patterns (track 2 with a one-second pregap stored in the image) and a
// MODE1/2352 data track:
//
//   track 1  audio  LSN   0  150 sectors        (length to track 2: 225, holds its pregap)
//   track 2  audio  LSN 225  225 sectors, pregap LSN 150..224
//   track 3  audio  LSN 450  thirdTrackSectors (167 by default)
//   track 4  data   LSN 450 + thirdTrackSectors, 75 sectors
#pragma once

#include <cstdint>
#include <string>

namespace vx::test {

struct TestDiscLayout {
  long thirdTrackSectors = 167;
};

// The 16-bit sample of a track at a stereo frame (counted from the track's index 1; the
// pregap of track 2 is "track 0" counted from its own start), channel 0 left, 1 right.
std::int16_t TestDiscSample(int track, long frame, int channel);

// Writes folder/disc.cue and folder/disc.bin; answers the cue path.
std::string WriteTestDisc(const std::string& folder, const TestDiscLayout& layout = {});

}  // namespace vx::test
