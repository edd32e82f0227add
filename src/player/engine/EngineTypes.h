// The records and states the playback engine keeps: its command codes, its own state, the
// ring's buffer slots and the cue table's entries.
#pragma once

#include <cstdint>

namespace vx::wave {
struct WaveHeader;
}

namespace vx::player {

// The one command slot's codes, numbered as the deck gives them.
enum class EngineCommand : std::uint32_t {
  kLoad = 0,
  kPause = 1,
  kPlay = 2,
  kJumpToCue = 3,
  kJumpToCueAndPlay = 4,
  kSeekTo = 5,
  kSeekToAndPlay = 6,
  kClose = 7,
};

// What the engine is doing; refills write nothing while it loads or closes.
enum class EngineState : int {
  kIdle = 0,      // nothing loaded yet
  kLoading = 1,   // loading or closing a song
  kRunning = 2,   // after a load, a cue jump or the end of the data
  kSeeking = 3,   // during a time seek
  kSeekDone = 4,  // after a time seek
};

enum class SlotState : int {
  kTornDown = -1,  // only while the buffers are torn down
  kFree = 0,
  kFilling = 1,
  kWritten = 2,    // queued on the device
};

// One buffer of the ring.
struct BufferSlot {
  int index = 0;
  std::uint32_t endPosition = 0;  // the read position after this buffer's source bytes
  SlotState state = SlotState::kFree;
  wave::WaveHeader* header = nullptr;
};

// A cue point prepared at load: where its block starts in the data, where reading goes on
// after the block's chunk, and (compressed songs) where the decoder's pre-roll starts and
// how many bytes it took for that chunk; skipBytes are the decoded bytes before the cue.
struct CueEntry {
  std::int32_t index = 0;
  std::int32_t blockStart = 0;
  std::int32_t nextRead = 0;
  std::int32_t preRollStart = 0;
  std::int32_t chunkBytes = 0;
  std::int32_t skipBytes = 0;
};

}  // namespace vx::player
