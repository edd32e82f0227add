// Time formats of the media control layer and the one place where device positions become
// replies and command arguments become positions. A device counts in its own units (CD
// audio: sectors from the start of the disc's program area; wave audio: sample frames);
// its Timeline says how those units map to time and tracks.
//
//   ms    decimal milliseconds (CD positions include the 2-second lead-in, as msf does)
//   msf   "mm:ss:ff" minutes, seconds and frames (75 per second) of the absolute disc time
//   tmsf  "tt:mm:ss:ff" a track and the time within it; lengths read "mm:ss:ff"
//
// Packed values (the typed front end): ms as the number, msf as m | s << 8 | f << 16, tmsf
// as t | m << 8 | s << 16 | f << 24.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/cdrom/CdToc.h"

namespace vx::mci {

enum class TimeFormat { kMilliseconds, kMsf, kTmsf };

// "ms"/"milliseconds", "msf", "tmsf" (case-insensitive).
bool ParseTimeFormat(std::string_view word, TimeFormat& format);

struct Timeline {
  long unitsPerSecond = 1000;
  long origin = 0;  // added to a position before it is shown as a time (CD: 150 sectors)
  long length = 0;  // units of the whole medium, counted from position 0
  std::shared_ptr<const cdrom::CdToc> toc;  // tracks; null for media without tracks

  int TrackCount() const;
  // Start and length (units) of a track by its number; false when there is none.
  bool TrackSpan(int track, long& start, long& length) const;
  bool TrackIsAudio(int track) const;
  // The number of the last track whose start is not after the position; 0 without tracks.
  int TrackAt(long position) const;
};

// A position (from the medium's start) or a length as reply text or packed value.
std::string FormatPosition(TimeFormat format, long position, const Timeline& timeline);
std::string FormatLength(TimeFormat format, long length, const Timeline& timeline);
std::uint32_t PackPosition(TimeFormat format, long position, const Timeline& timeline);
std::uint32_t PackLength(TimeFormat format, long length, const Timeline& timeline);

// A position argument: text of the format ("2" is the start of track 2 in tmsf, "03:10"
// is 3 minutes 10 seconds in msf) or a packed value. False when it cannot be read; the
// result is not checked against the medium's length.
bool ParsePosition(TimeFormat format, std::string_view text, const Timeline& timeline,
                   long& position);
bool UnpackPosition(TimeFormat format, std::uint32_t value, const Timeline& timeline,
                    long& position);

}  // namespace vx::mci
