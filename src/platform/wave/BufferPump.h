// The engine of a wave device: its openers' buffer queues, the stream to the sound card or
// clock, and the device thread that moves one period of samples per turn between them.
//
// An output may have several openers at once (up to the count given at construction). The
// first opener opens the stream, in the device's mix format when one is set, otherwise in
// the opener's own format (made stereo when the opener is routed to one channel). Each
// later opener is converted into that format and added in (SampleMix); each keeps its own
// buffers, callback, position, gap count, pause and reset. An opener alone on the stream in
// the stream's format plays its bytes unchanged. The last opener to close closes the
// stream. An input has one opener.
//
// Locks: lifecycle_ serialises Open and Close; state_ (shared with the queues) guards the
// queues and the open state; each queue's delivery lock is held by the device thread while
// it moves that opener's period and runs its callbacks, and guards the opener's converter.
// Order: lifecycle_, then a delivery lock, then state_.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/riff/WaveFile.h"
#include "platform/wave/BufferQueue.h"
#include "platform/wave/SampleMix.h"
#include "platform/wave/WaveStream.h"
#include "platform/wave/WaveTypes.h"

namespace vx::wave {

class BufferPump {
 public:
  using Direction = BufferQueue::Direction;

  BufferPump(Direction direction, std::size_t maxOpeners);
  // Resets and closes every opener still open.
  ~BufferPump();
  BufferPump(const BufferPump&) = delete;
  BufferPump& operator=(const BufferPump&) = delete;

  // The number of frames in one period of a format: 5 ms, at least one frame.
  static std::uint32_t PeriodFrames(const riff::WaveFormat& format);

  // Opens the device's stream in a format, answering kOk or the failure's code.
  using StreamOpener =
      std::function<unsigned(const riff::WaveFormat& format, std::unique_ptr<WaveStream>& stream)>;
  // Adds an opener: opens the stream through `openStream` when it is the first, sends
  // kOpened and answers the opener's number. kAllocated when every place is taken;
  // kBadFormat when a later opener's format is not plain PCM.
  unsigned Open(const riff::WaveFormat& format, ChannelRoute route, WaveCallback callback,
                const StreamOpener& openStream, std::size_t& opener);
  // Removes an opener (kStillPlaying while it has buffers queued) and sends kClosed; the
  // last one closes the stream.
  unsigned Close(std::size_t opener);
  // The opener's buffers; its operations answer kInvalidHandle while it is closed.
  BufferQueue& Queue(std::size_t opener);
  const BufferQueue& Queue(std::size_t opener) const;

  std::size_t OpenCount() const;
  // The format later openers' streams are opened in; none: the first opener's.
  void SetMixFormat(std::optional<riff::WaveFormat> format);
  // The format the stream plays while any opener is open.
  std::optional<riff::WaveFormat> StreamFormat() const;

 private:
  struct Opener {
    Opener(Direction direction, std::mutex& state, std::condition_variable& wake)
        : queue(direction, state, wake) {}
    BufferQueue queue;
    // Guarded by the queue's delivery lock.
    VoiceConverter converter;
    std::vector<std::uint8_t> staging;  // the opener's bytes of one period
    std::uint64_t restartsSeen = 0;     // the queue's Restarts() the converter has seen
  };
  // What one opener gave to an output period.
  struct Share {
    bool played = false;  // it was playing (not stopped or closed meanwhile)
    bool direct = false;  // its bytes went straight into period_
    std::size_t frames = 0;
  };

  bool AnyRunning() const;  // state_ held
  void ThreadBody();
  void RunOutputPeriod();
  void RunInputPeriod();
  // One opener's share of an output period: straight into period_ when it plays `alone`
  // in the stream's format, otherwise through its converter into the bus.
  Share MoveOutput(Opener& opener, bool alone);
  unsigned OpenStream(const riff::WaveFormat& format, ChannelRoute route,
                      const StreamOpener& openStream);

  const Direction direction_;
  std::vector<std::unique_ptr<Opener>> openers_;
  std::mutex lifecycle_;
  mutable std::mutex state_;
  std::condition_variable wake_;

  // Guarded by lifecycle_.
  std::optional<riff::WaveFormat> mixFormat_;

  // Guarded by state_.
  bool quit_ = false;
  std::optional<riff::WaveFormat> streamFormat_;

  // Set while the stream is open, used by the device thread.
  std::unique_ptr<WaveStream> stream_;
  riff::WaveFormat format_;
  std::uint32_t periodFrames_ = 1;
  std::vector<std::uint8_t> period_;  // one period in the stream's format
  MixBus bus_;
  std::thread thread_;
};

}  // namespace vx::wave
