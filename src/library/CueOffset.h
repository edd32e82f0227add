// The text form of a cue point's place in its song, as CueList stores it and the decks read it
// (by character position, so the width is fixed):
//   songs stored as files  "MM:SS.mmm"  minutes, seconds, milliseconds from the song start
//   tracks of an audio CD  "MM:SS:FF"   minutes, seconds, frames (75 a second) from the
//                                       start of the track
#pragma once

#include <climits>
#include <string>
#include <string_view>

namespace vx {

enum class CueMedium {
  kWave,  // positions in milliseconds
  kCd,    // positions in CD frames
};

// Units of the medium in one second: 1000 ms or 75 frames.
constexpr long CueUnitsPerSecond(CueMedium medium) {
  return medium == CueMedium::kWave ? 1000 : 75;
}

// The text of `position` held to [start, end] and counted from start. An offset of 100
// minutes or more prints its minutes with more digits, and such a text does not parse back:
// callers that store an offset check it with ParseCueOffset first.
std::string FormatCueOffset(CueMedium medium, long position, long start = 0, long end = LONG_MAX);

// The offset a text names, counted from the song (track) start; -1 unless the text has
// exactly the form's width, its separators in their places and decimal digits elsewhere.
long ParseCueOffset(CueMedium medium, std::string_view text);

// The text that stands for an offset that cannot be read: the song (track) start.
const char* ZeroCueOffset(CueMedium medium);

}  // namespace vx
