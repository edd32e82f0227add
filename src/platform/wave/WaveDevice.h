// The two device interfaces: a wave output plays buffers of samples, a wave input fills
// them. A device object exists for as long as the device list that holds it.
//
// An output device may be opened by several users at once (two decks on one card, a click
// over a playing song, the CD deck beside a WAV deck): each Open gives its opener a WaveOut
// handle of its own, with its own buffers, callback, position, pause and reset, and the
// device plays the sum of its openers, clipped to the range of its samples. The first
// opener decides the format the device plays (unless a mix format is set); later openers
// may use any plain PCM format and are converted into it. An opener may be routed to the
// left or the right channel only, folded to mono: two openers so routed share a stereo
// output as two mono ones. An input device has one opener at a time: its Open binds the
// device object itself (a second Open answers kAllocated) until Close.
//
// Buffer life: Prepare, then Write/AddBuffer queues it; the device returns it through the
// completion callback (kDone, flag kHeaderDone set, kHeaderInQueue cleared); the program may
// then queue it again or Unprepare it. Every operation answers a WaveResult code. Operations
// other than Open answer kInvalidHandle while the handle or device is closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveTypes.h"

namespace vx::wave {

// One opener's handle on an output device, from the device's Open until its Close. The
// device owns it; after Close the handle may be given to a later opener.
class WaveOut {
 public:
  virtual ~WaveOut() = default;

  // Ends this opener's use of the device; kStillPlaying while its buffers are queued
  // (Reset first). The device stops when its last opener closes.
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
  // before Reset returns) and sets the position to 0. The opener is then idle and not
  // paused: it plays again from the next Write.
  virtual unsigned Reset() = 0;

  // Sample frames (of the opener's format) played since Open or the last Reset.
  virtual unsigned Position(std::uint64_t& frames) = 0;
  // Underruns since Open: each time the opener, playing (written to and not paused), had
  // no buffer for the device, counted once until a buffer plays again.
  virtual std::uint64_t Underruns() const = 0;
};

class WaveOutDevice {
 public:
  virtual ~WaveOutDevice() = default;

  virtual WaveCaps Caps() const = 0;

  // Adds an opener with its format, callback and route; on success `handle` is its handle,
  // not paused: it starts playing with its first Write. kBadFormat when the device cannot
  // play the format; kAllocated when the device has as many openers as it takes.
  virtual unsigned Open(const riff::WaveFormat& format, WaveCallback callback,
                        ChannelRoute route, WaveOut*& handle) = 0;
  // The number of openers.
  virtual std::size_t OpenCount() const = 0;
  // The handle in an opener's place (0 for the first opener of an idle device), open or
  // not, for watching a device a program uses (benchmarks, diagnostics); null beyond the
  // places the device has.
  virtual WaveOut* OpenerHandle(std::size_t place) const = 0;
  // The format the device plays while it has openers: the mix format when one is set (and
  // the device plays it), else the first opener's. Nothing while it has none.
  virtual std::optional<riff::WaveFormat> PlayingFormat() const = 0;
  // Fixes the format the device plays from its next first opener on (nothing: the first
  // opener's). Users that share the device set it, so that the first one to open does
  // not decide the sound of the others.
  virtual void SetMixFormat(std::optional<riff::WaveFormat> format) = 0;
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
