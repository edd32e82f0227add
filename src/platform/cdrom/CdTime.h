// CD time: sectors ("frames", 75 per second) and their minutes:seconds:frames forms.
// One audio sector holds 2352 bytes = 588 stereo frames of 16-bit samples at 44.1 kHz.
#pragma once

#include <cstddef>
#include <string>

namespace vx::cdrom {

inline constexpr long kFramesPerSecond = 75;
inline constexpr std::size_t kRawSectorBytes = 2352;
inline constexpr std::size_t kSampleFramesPerSector = 588;
// An LBA (address counted from the start of the lead-in gap) is the LSN plus this.
inline constexpr long kLbaOffset = 150;

struct Msf {
  long minutes = 0;
  long seconds = 0;
  long frames = 0;
};

// Frames -> minutes, seconds, frames; negative counts give 00:00:00.
Msf FramesToMsf(long frames);
long MsfToFrames(const Msf& msf);
// "mm:ss:ff" (two digits each, more minutes digits when needed).
std::string FormatMsf(long frames);
// "tt:mm:ss:ff": a track number and a position within that track.
std::string FormatTmsf(int track, long frames);
// Whole milliseconds of a frame count (rounded down), and back.
long FramesToMilliseconds(long frames);
long MillisecondsToFrames(long milliseconds);

}  // namespace vx::cdrom
