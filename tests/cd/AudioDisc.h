// A disc image for the CD dialog tests: a cue/bin pair whose tracks are audio (the sample
// pattern of the media tests' disc, TestDiscSample) or data, in any order, so a disc whose
// data track comes first can be made as easily as a plain audio CD.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::test {

struct DiscTrack {
  bool audio = true;
  long sectors = 75 * 4;  // 75 a second
};

struct AudioDisc {
  std::vector<DiscTrack> tracks{{}, {}, {}};
};

// Writes folder/disc.cue and folder/disc.bin; answers the cue path.
std::string WriteAudioDisc(const std::string& folder, const AudioDisc& disc = {});

// The raw sectors of one track (2352 bytes each, 16-bit little-endian stereo for audio) as
// the image holds them.
std::vector<std::uint8_t> ImageTrackBytes(const std::string& folder, const AudioDisc& disc,
                                          int track);

// The samples of a WAVE file as sox reads them (raw, in the file's own encoding); nothing
// when sox cannot read it.
std::optional<std::vector<std::uint8_t>> SoxSamples(const std::string& wavePath);

}  // namespace vx::test
