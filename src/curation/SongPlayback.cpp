#include "curation/SongPlayback.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

#include "cd/CMciDevice.h"
#include "library/CueOffset.h"

namespace vx {

void SongPlayback::SetSpan(long start, long end) {
  assert(start <= end);
  start_ = start;
  end_ = end;
}

void SongPlayback::Check(bool ok) {
  if (!ok && onError) onError();
}

bool SongPlayback::Position(long& position) {
  std::string reply;
  if (!device_.GetPosition(reply, selector_)) {
    Check(false);
    return false;
  }
  if (units_ == Units::kCdFrames) {
    position = ParseCueOffset(CueMedium::kCd, reply);
    return position >= 0;
  }
  char* end = nullptr;
  position = std::strtol(reply.c_str(), &end, 10);
  return end != reply.c_str();
}

std::string SongPlayback::PositionText(long position) const {
  return units_ == Units::kCdFrames ? FormatCueOffset(CueMedium::kCd, position)
                                    : std::to_string(position);
}

std::string SongPlayback::Mode() {
  std::string reply;
  Check(device_.QueryStatus("mode", reply, selector_));
  return reply;
}

void SongPlayback::Play() { Check(device_.PlayDevice(selector_)); }

void SongPlayback::Stop() { Check(device_.StopDevice(selector_)); }

void SongPlayback::SeekTo(long position) {
  Check(device_.SeekDevice(PositionText(position), selector_));
}

void SongPlayback::PlayFrom(long position) {
  Stop();
  SeekTo(position);
  Play();
}

long SongPlayback::PositionOrStart() {
  long position = start_;
  return Position(position) ? position : start_;
}

void SongPlayback::Back() { PlayFrom(std::max(PositionOrStart() - 2 * UnitsPerSecond(), start_)); }

void SongPlayback::Forward() { PlayFrom(std::min(PositionOrStart() + 2 * UnitsPerSecond(), end_)); }

void SongPlayback::ToEnd() {
  Stop();
  SeekTo(end_);
}

void SongPlayback::Door() {
  if (Mode() == "open") {
    Check(device_.SetDoor(true));
  } else {
    Stop();
    Check(device_.SetDoor(false));
  }
}

}  // namespace vx
