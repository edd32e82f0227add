#include "platform/mci/MciTime.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>
#include <vector>

#include "platform/cdrom/CdTime.h"

namespace vx::mci {
namespace {

// A time broken into the fields of every format.
struct TimeFields {
  std::uint32_t ms = 0;
  int track = 0;
  long minutes = 0, seconds = 0, frames = 0;
};

long ToFrames(long units, const Timeline& timeline) {
  return static_cast<long>(static_cast<long long>(units) * cdrom::kFramesPerSecond /
                           timeline.unitsPerSecond);
}

void SetMsf(TimeFields& fields, long frames) {
  const cdrom::Msf msf = cdrom::FramesToMsf(frames);
  fields.minutes = msf.minutes;
  fields.seconds = msf.seconds;
  fields.frames = msf.frames;
}

// isPosition: an absolute position (origin added, track form in tmsf); else a duration.
TimeFields Fields(TimeFormat format, long value, bool isPosition, const Timeline& timeline) {
  TimeFields fields;
  const long shown = isPosition ? value + timeline.origin : value;
  fields.ms = static_cast<std::uint32_t>(std::max(0LL, static_cast<long long>(shown) * 1000 /
                                                           timeline.unitsPerSecond));
  if (format == TimeFormat::kTmsf && isPosition) {
    fields.track = timeline.TrackAt(value);
    long start = 0, length = 0;
    if (!timeline.TrackSpan(fields.track, start, length)) start = 0;
    SetMsf(fields, ToFrames(value - start, timeline));
  } else {
    SetMsf(fields, ToFrames(shown, timeline));
  }
  return fields;
}

std::string Text(TimeFormat format, const TimeFields& f, bool isPosition) {
  char text[48];
  if (format == TimeFormat::kMilliseconds) {
    std::snprintf(text, sizeof text, "%u", f.ms);
  } else if (format == TimeFormat::kTmsf && isPosition) {
    std::snprintf(text, sizeof text, "%02d:%02ld:%02ld:%02ld", f.track, f.minutes, f.seconds,
                  f.frames);
  } else {
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", f.minutes, f.seconds, f.frames);
  }
  return text;
}

std::uint32_t Pack(TimeFormat format, const TimeFields& f, bool isPosition) {
  const auto byte = [](long v) { return static_cast<std::uint32_t>(std::clamp(v, 0L, 255L)); };
  if (format == TimeFormat::kMilliseconds) return f.ms;
  if (format == TimeFormat::kTmsf && isPosition) {
    return byte(f.track) | byte(f.minutes) << 8 | byte(f.seconds) << 16 | byte(f.frames) << 24;
  }
  return byte(f.minutes) | byte(f.seconds) << 8 | byte(f.frames) << 16;
}

// a * b / c + d for numbers from command text: false when a step leaves the range of long
// (such a number is far outside any medium). c is positive.
bool ScaleAndAdd(long a, long b, long c, long d, long& result) {
  assert(c > 0);
  long product = 0;
  if (__builtin_mul_overflow(a, b, &product)) return false;
  return !__builtin_add_overflow(product / c, d, &result);
}

// Fields given as numbers: ms = {ms}; msf = {m, s, f}; tmsf = {t, m, s, f}; missing trailing
// fields are 0. False when they do not make a position.
bool FromNumbers(TimeFormat format, std::vector<long> n, const Timeline& timeline,
                 long& position) {
  if (format == TimeFormat::kMilliseconds) {
    if (n.size() != 1) return false;
    return ScaleAndAdd(n[0], timeline.unitsPerSecond, 1000, -timeline.origin, position);
  }
  const std::size_t fieldCount = format == TimeFormat::kTmsf ? 4 : 3;
  if (n.empty() || n.size() > fieldCount) return false;
  n.resize(fieldCount, 0);
  const std::size_t m = fieldCount - 3;
  if (n[m + 1] > 59 || n[m + 2] >= cdrom::kFramesPerSecond) return false;
  long seconds = 0;
  long frames = 0;
  if (!ScaleAndAdd(n[m], 60, 1, n[m + 1], seconds) ||
      !ScaleAndAdd(seconds, cdrom::kFramesPerSecond, 1, n[m + 2], frames)) {
    return false;
  }
  if (format == TimeFormat::kMsf) {
    return ScaleAndAdd(frames, timeline.unitsPerSecond, cdrom::kFramesPerSecond,
                       -timeline.origin, position);
  }
  long start = 0, length = 0;
  if (n[0] > std::numeric_limits<int>::max() ||
      !timeline.TrackSpan(static_cast<int>(n[0]), start, length)) {
    return false;
  }
  return ScaleAndAdd(frames, timeline.unitsPerSecond, cdrom::kFramesPerSecond, start, position);
}

}  // namespace

bool ParseTimeFormat(std::string_view word, TimeFormat& format) {
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "ms" || lower == "milliseconds") {
    format = TimeFormat::kMilliseconds;
  } else if (lower == "msf") {
    format = TimeFormat::kMsf;
  } else if (lower == "tmsf") {
    format = TimeFormat::kTmsf;
  } else {
    return false;
  }
  return true;
}

int Timeline::TrackCount() const { return toc ? static_cast<int>(toc->tracks.size()) : 0; }

bool Timeline::TrackSpan(int track, long& start, long& trackLength) const {
  const cdrom::CdTrack* found = toc ? toc->Find(track) : nullptr;
  if (found == nullptr) return false;
  start = found->startLsn;
  trackLength = found->lengthFrames;
  return true;
}

bool Timeline::TrackIsAudio(int track) const {
  const cdrom::CdTrack* found = toc ? toc->Find(track) : nullptr;
  return found != nullptr && found->audio;
}

int Timeline::TrackAt(long position) const {
  if (!toc || toc->tracks.empty()) return 0;
  int track = toc->tracks.front().number;
  for (const cdrom::CdTrack& t : toc->tracks) {
    if (t.startLsn <= position) track = t.number;
  }
  return track;
}

std::string FormatPosition(TimeFormat format, long position, const Timeline& timeline) {
  return Text(format, Fields(format, position, true, timeline), true);
}

std::string FormatLength(TimeFormat format, long length, const Timeline& timeline) {
  return Text(format, Fields(format, length, false, timeline), false);
}

std::uint32_t PackPosition(TimeFormat format, long position, const Timeline& timeline) {
  return Pack(format, Fields(format, position, true, timeline), true);
}

std::uint32_t PackLength(TimeFormat format, long length, const Timeline& timeline) {
  return Pack(format, Fields(format, length, false, timeline), false);
}

bool ParsePosition(TimeFormat format, std::string_view text, const Timeline& timeline,
                   long& position) {
  std::vector<long> numbers;
  std::size_t at = 0;
  while (true) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (error != std::errc() || value < 0) return false;
    numbers.push_back(value);
    at = static_cast<std::size_t>(end - text.data());
    if (at == text.size()) break;
    if (text[at] != ':' || format == TimeFormat::kMilliseconds) return false;
    ++at;
  }
  return FromNumbers(format, std::move(numbers), timeline, position);
}

bool UnpackPosition(TimeFormat format, std::uint32_t value, const Timeline& timeline,
                    long& position) {
  const auto byte = [value](int n) { return static_cast<long>((value >> (8 * n)) & 0xff); };
  switch (format) {
    case TimeFormat::kMilliseconds:
      return FromNumbers(format, {static_cast<long>(value)}, timeline, position);
    case TimeFormat::kMsf:
      return FromNumbers(format, {byte(0), byte(1), byte(2)}, timeline, position);
    case TimeFormat::kTmsf:
      return FromNumbers(format, {byte(0), byte(1), byte(2), byte(3)}, timeline, position);
  }
  return false;
}

}  // namespace vx::mci
