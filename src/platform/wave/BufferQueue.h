// The buffers of one opener of a wave device: the queue of headers, their flags, the
// finished headers waiting for their callback, and the opener's counters (position, gaps,
// started, paused). A device keeps one per opener and moves samples through it on its own
// thread, one period at a time.
//
// Two locks. The device's state lock (shared by all its openers, given at construction)
// guards the queue, flags and counters and is held only briefly. The queue's own delivery
// lock is held by the device thread while it moves a period through this queue and reports
// the buffers it finished, and by Reset and Stop, so that once those return no callback for
// an earlier buffer of this opener is still running. Openers of one device never wait for
// each other's callbacks. Finished headers wait for their callback on a chain through their
// own link field, so nothing is allocated while the device runs and no I/O happens under
// either lock.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "platform/wave/WaveTypes.h"

namespace vx::wave {

class BufferQueue {
 public:
  enum class Direction { kOutput, kInput };

  // `state` and `wake` are the device's: every change that may set the device running
  // notifies `wake`.
  BufferQueue(Direction direction, std::mutex& state, std::condition_variable& wake)
      : direction_(direction), state_(state), wake_(wake) {}
  BufferQueue(const BufferQueue&) = delete;
  BufferQueue& operator=(const BufferQueue&) = delete;

  // ---- The opener's operations; each takes the state lock itself. kInvalidHandle while
  // the queue is not bound to an opener.
  unsigned Prepare(WaveHeader& header);
  unsigned Unprepare(WaveHeader& header);
  // Queues a header. An output starts playing with it; an input's bytesRecorded is reset.
  unsigned Enqueue(WaveHeader& header);
  // Output: pause and restart.
  unsigned SetPaused(bool paused);
  // Input: start and stop; stopping returns a partly filled buffer.
  unsigned SetStarted(bool started);
  // Returns every queued buffer (on the calling thread) and sets the position to 0; the
  // queue is then idle and not paused.
  unsigned Reset();
  unsigned Position(std::uint64_t& frames) const;
  // Periods that found no buffer (underruns of an output, overruns of an input), counted
  // once per run of such periods.
  std::uint64_t Gaps() const;

  // ---- The device's side.
  // Binds the queue to a new opener with its callback and frame size; delivery and state
  // locks held.
  void Bind(WaveCallback callback, std::uint32_t blockAlign);
  // Unbinds it; delivery and state locks held, nothing queued. Answers the callback, for
  // the kClosed message.
  WaveCallback Unbind();
  bool IsBound() const { return bound_; }          // state lock held
  bool HasQueued() const { return head_ != nullptr; }  // state lock held
  bool Running() const { return bound_ && started_ && !paused_; }  // state lock held
  std::uint32_t BlockAlign() const { return blockAlign_; }
  // Counts the opener's resets and bindings: a change means its sound starts afresh.
  std::uint64_t Restarts() const { return restarts_; }  // state lock held

  // One period's worth of samples, delivery and state locks held: moves up to `bytes`
  // bytes between `data` and the queued buffers and counts a gap when fewer were there.
  // Answers the bytes moved.
  std::size_t Take(std::uint8_t* data, std::size_t bytes);
  std::size_t Fill(const std::uint8_t* data, std::size_t bytes);
  // Marks every finished header done and sends kDone for it; delivery lock held, state
  // lock not.
  void DeliverFinished();
  std::mutex& Delivery() { return delivery_; }

 private:
  void CountPeriod(std::size_t moved, std::size_t bytes);
  // Unlinks the queue's head onto the finished chain; state and delivery locks held.
  void FinishHead();

  const Direction direction_;
  std::mutex& state_;
  std::condition_variable& wake_;
  std::mutex delivery_;

  // Guarded by state_.
  bool bound_ = false;
  bool started_ = false;
  bool paused_ = false;
  WaveHeader* head_ = nullptr;
  WaveHeader* tail_ = nullptr;
  std::uint32_t headOffset_ = 0;  // output: bytes of the head already played
  std::uint64_t bytesMoved_ = 0;
  std::uint64_t gaps_ = 0;
  bool inGap_ = false;
  std::uint32_t blockAlign_ = 1;
  std::uint64_t restarts_ = 0;

  // Guarded by delivery_ (and state_ while linked).
  WaveCallback callback_;
  WaveHeader* finishedHead_ = nullptr;
  WaveHeader* finishedTail_ = nullptr;
};

}  // namespace vx::wave
