#include "platform/cdrom/CdTime.h"

#include <cstdio>

namespace vx::cdrom {

Msf FramesToMsf(long frames) {
  if (frames < 0) frames = 0;
  const long seconds = frames / kFramesPerSecond;
  return Msf{seconds / 60, seconds % 60, frames % kFramesPerSecond};
}

long MsfToFrames(const Msf& msf) {
  return (msf.minutes * 60 + msf.seconds) * kFramesPerSecond + msf.frames;
}

std::string FormatMsf(long frames) {
  const Msf msf = FramesToMsf(frames);
  char text[40];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", msf.minutes, msf.seconds, msf.frames);
  return text;
}

std::string FormatTmsf(int track, long frames) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:", track);
  return text + FormatMsf(frames);
}

long FramesToMilliseconds(long frames) { return frames * 1000 / kFramesPerSecond; }

long MillisecondsToFrames(long milliseconds) { return milliseconds * kFramesPerSecond / 1000; }

}  // namespace vx::cdrom
