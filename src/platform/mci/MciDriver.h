// One open device of the media control layer. A driver counts positions in its own units
// (see Timeline); the session turns them into replies in the time format in force. Every
// operation answers an MciError code.
#pragma once

#include <optional>
#include <string>

#include "platform/mci/MciErrors.h"
#include "platform/mci/MciTime.h"
#include "platform/riff/WaveFile.h"

namespace vx::mci {

enum class MciMode { kNotReady, kOpen, kPaused, kPlaying, kSeeking, kStopped };

// The reply word of a mode: "not ready", "open", "paused", "playing", "seeking", "stopped".
const char* ModeWord(MciMode mode);

class MciDriver {
 public:
  virtual ~MciDriver() = default;

  virtual MciMode Mode() = 0;
  // The medium's timeline; kDeviceNotReady when there is no medium.
  virtual unsigned GetTimeline(Timeline& timeline) = 0;
  virtual bool UsesTimeFormat(TimeFormat format) const = 0;

  virtual unsigned Position(long& position) = 0;
  // Plays from `from` (else the current position) to `to` (else the driver's natural end).
  virtual unsigned Play(std::optional<long> from, std::optional<long> to) = 0;
  // Stops playing and moves to the position.
  virtual unsigned Seek(long position) = 0;
  virtual unsigned Pause() = 0;
  virtual unsigned Stop() = 0;

  // Items some devices do not have.
  virtual unsigned SetDoor(bool /*closed*/) { return kUnsupportedItem; }
  virtual unsigned Identity(std::string& /*identity*/) { return kUnsupportedItem; }
  virtual unsigned StoredFormat(riff::WaveFormat& /*format*/) { return kUnsupportedItem; }
  // The wave output a device that makes sound plays to from its next play on.
  virtual unsigned SetOutput(std::size_t /*output*/) { return kUnsupportedItem; }
};

}  // namespace vx::mci
