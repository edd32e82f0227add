// The two device interfaces: a wave output plays buffers of samples, a wave input fills
// them. A device object exists for as long as the device list that holds it; Open binds it
// to one user at a time (a second Open answers kAllocated) until Close.
//
// Buffer life: Prepare, then Write/AddBuffer queues it; the device returns it through the
// completion callback (kDone, flag kHeaderDone set, kHeaderInQueue cleared); the program may
// then queue it again or Unprepare it. Every operation answers a WaveResult code. Operations
// other than Open answer kInvalidHandle while the device is closed.
#pragma once

#include <cstdint>

#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveTypes.h"

namespace vx::wave {

class WaveOut {
 public:
  virtual ~WaveOut() = default;

  virtual WaveCaps Caps() const = 0;

  // Opens the device with a format (kBadFormat when it cannot play it). The device is not
  // paused: it starts playing with the first Write.
  virtual unsigned Open(const riff::WaveFormat& format, WaveCallback callback) = 0;
  // Closes the device; kStillPlaying while buffers are queued (Reset first).
  virtual unsigned Close() = 0;

  virtual unsigned Prepare(WaveHeader& header) = 0;
  // kStillPlaying while the header is queued.
  virtual unsigned Unprepare(WaveHeader& header) = 0;
  // Queues a prepared buffer for playing (kUnprepared otherwise).
  virtual unsigned Write(WaveHeader& header) = 0;

  // Pause holds the position and keeps the buffers; Restart continues from there.
  virtual unsigned Pause() = 0;
  virtual unsigned Restart() = 0;
  // Stops playing, returns every queued buffer through the callback (on the calling thread,
  // before Reset returns) and sets the position to 0. The device is then idle and not
  // paused: it plays again from the next Write.
  virtual unsigned Reset() = 0;

  // Sample frames played since Open or the last Reset.
  virtual unsigned Position(std::uint64_t& frames) = 0;
  // Underruns since Open: each time the device, playing (written to and not paused), found
  // no buffer to play, counted once until a buffer plays again.
  virtual std::uint64_t Underruns() const = 0;
};

class WaveIn {
 public:
  virtual ~WaveIn() = default;

  virtual WaveCaps Caps() const = 0;

  // Opens the device with a format (kBadFormat when it cannot record it), stopped.
  virtual unsigned Open(const riff::WaveFormat& format, WaveCallback callback) = 0;
  // Closes the device; kStillPlaying while buffers are queued (Reset first).
  virtual unsigned Close() = 0;

  virtual unsigned Prepare(WaveHeader& header) = 0;
  virtual unsigned Unprepare(WaveHeader& header) = 0;
  // Queues a prepared buffer to be filled; bytesRecorded starts at 0.
  virtual unsigned AddBuffer(WaveHeader& header) = 0;

  // Start capturing. Buffers are filled in order and returned when full. Sound that
  // arrives while no buffer is queued is lost (an overrun).
  virtual unsigned Start() = 0;
  // Stops capturing; a partly filled buffer is returned (with its bytesRecorded), empty
  // ones stay queued.
  virtual unsigned Stop() = 0;
  // Stops capturing, returns every queued buffer through the callback (on the calling
  // thread, before Reset returns) and sets the position to 0.
  virtual unsigned Reset() = 0;

  // Sample frames delivered into buffers since Open or the last Reset.
  virtual unsigned Position(std::uint64_t& frames) = 0;
  // Overruns since Open: each time the device, capturing, had no buffer to fill.
  virtual std::uint64_t Overruns() const = 0;
};

}  // namespace vx::wave
