// The playing length of a song as the library keeps it in SongLength: minutes, seconds and
// milliseconds, "%02u:%02u.%03u". A file song's cue offsets are written the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// "%02u:%02u.%03u" of a count of milliseconds: 210250 -> "03:30.250".
std::string SongLengthText(std::uint32_t milliseconds);

// The length in whole milliseconds of `bytes` of audio at `bytesPerSecond`, exact for every
// rate (3.5 s at 44100 bytes per second is 3500 ms); 0 when the rate is 0.
std::uint32_t AudioMilliseconds(std::uint64_t bytes, std::uint32_t bytesPerSecond);

// The milliseconds a SongLength text names, read by its separators rather than by character
// positions, so "03:30.500", the MP3 form "03:30:500", "3:05.2" and "120:00.000" all read
// right: minutes, then seconds after the first ':', then milliseconds after the next ':' or
// '.' (taken as written). 0 when the text is empty or not of that form.
std::uint32_t SongLengthMilliseconds(std::string_view text);

}  // namespace vx
