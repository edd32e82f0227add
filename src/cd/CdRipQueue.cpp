#include "cd/CdRipQueue.h"

#include <cassert>
#include <cstdio>

#include "library/SongStore.h"

namespace vx::cd {

CdRipQueue::CdRipQueue(cdrom::CdRipper& ripper, std::string songsFolder,
                       std::vector<Selected> tracks)
    : ripper_(ripper), songsFolder_(std::move(songsFolder)), tracks_(std::move(tracks)) {}

std::int16_t CdRipQueue::Prepare(std::int16_t drivePosition) {
  if (!ripper_.IsReady()) {
    const std::int16_t status = ripper_.Initialize();
    if (status != cdrom::kRipOk) return status;
  }
  return ripper_.SelectDrive(drivePosition);
}

int CdRipQueue::EndCopy(std::int32_t lastProgress) {
  if (!running_) return 0;
  running_ = false;
  assert(!copies_.empty());
  if (lastProgress >= 1000) return 0;
  const int track = copies_.back().track;
  std::remove(copies_.back().path.c_str());
  copies_.pop_back();
  return track;
}

CdRipQueue::Step CdRipQueue::StartNext() {
  assert(!running_);
  Step step;
  if (next_ >= tracks_.size()) {
    step.finished = true;
    return step;
  }
  const Selected selected = tracks_[next_++];
  const std::string path = MakeTempFileName(songsFolder_, kTakeTempPrefix);
  if (path.empty()) {
    step.status = cdrom::kRipCannotWrite;
    return step;
  }
  step.status = ripper_.ExtractTrack(static_cast<std::int16_t>(selected.track), path);
  if (step.status != cdrom::kRipOk) {
    std::remove(path.c_str());
    return step;
  }
  copies_.push_back({path, selected.track, selected.entry});
  running_ = true;
  started_ = true;
  step.startedTrack = selected.track;
  return step;
}

}  // namespace vx::cd
