#include "platform/mci/PlayerDriver.h"

#include "platform/mci/MciErrors.h"

namespace vx::mci {

const char* ModeWord(MciMode mode) {
  switch (mode) {
    case MciMode::kNotReady: return "not ready";
    case MciMode::kOpen: return "open";
    case MciMode::kPaused: return "paused";
    case MciMode::kPlaying: return "playing";
    case MciMode::kSeeking: return "seeking";
    case MciMode::kStopped: return "stopped";
  }
  return "not ready";
}

MciMode PlayerDriver::PlayerMode() {
  switch (player_.CurrentState()) {
    case PcmPlayer::State::kPlaying: return MciMode::kPlaying;
    case PcmPlayer::State::kPaused: return MciMode::kPaused;
    case PcmPlayer::State::kStopped: break;
  }
  return MciMode::kStopped;
}

void PlayerDriver::Unload() { player_.Reset(0); }

unsigned PlayerDriver::Position(long& position) {
  Timeline timeline;
  if (const unsigned rc = GetTimeline(timeline); rc != kMciOk) return rc;
  std::uint64_t frame = 0;
  if (const unsigned rc = player_.Position(frame); rc != kMciOk) return rc;
  position = static_cast<long>(frame / static_cast<std::uint64_t>(unitFrames_));
  return kMciOk;
}

unsigned PlayerDriver::Play(std::optional<long> from, std::optional<long> to) {
  Timeline timeline;
  if (const unsigned rc = GetTimeline(timeline); rc != kMciOk) return rc;
  if (!from && !to) {
    // A plain play goes on from a pause and leaves a running play alone.
    const PcmPlayer::State state = player_.CurrentState();
    if (state == PcmPlayer::State::kPaused) return player_.Resume();
    if (state != PcmPlayer::State::kStopped) return kMciOk;
  }
  long start = 0;
  if (from) {
    start = *from;
  } else if (const unsigned rc = Position(start); rc != kMciOk) {
    return rc;
  }
  if (start < 0 || start > timeline.length) return kBadPosition;
  long end = 0;
  if (to) {
    end = *to;
    if (end < start || end > timeline.length) return kBadPosition;
  } else if (const unsigned rc = NaturalEnd(start, end); rc != kMciOk) {
    return rc;
  }
  const auto frames = static_cast<std::uint64_t>(unitFrames_);
  return player_.Play(Source(), static_cast<std::uint64_t>(start) * frames,
                      static_cast<std::uint64_t>(end) * frames);
}

unsigned PlayerDriver::Seek(long position) {
  Timeline timeline;
  if (const unsigned rc = GetTimeline(timeline); rc != kMciOk) return rc;
  if (position < 0 || position > timeline.length) return kBadPosition;
  return player_.Reset(static_cast<std::uint64_t>(position) *
                       static_cast<std::uint64_t>(unitFrames_));
}

unsigned PlayerDriver::Pause() {
  Timeline timeline;
  if (const unsigned rc = GetTimeline(timeline); rc != kMciOk) return rc;
  return player_.Pause();
}

unsigned PlayerDriver::Stop() {
  Timeline timeline;
  if (const unsigned rc = GetTimeline(timeline); rc != kMciOk) return rc;
  return player_.Stop();
}

}  // namespace vx::mci

namespace vx::mci {

unsigned PlayerDriver::SetOutput(std::size_t output) {
  player_.SetOutput(output);
  return kMciOk;
}

}  // namespace vx::mci
