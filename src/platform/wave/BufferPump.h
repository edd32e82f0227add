// The buffer machinery every wave device shares: the open state, the queue of headers, the
// device thread that moves one period of samples per turn between the queued buffers and
// the device's WaveStream, the completion callback, the position and the gap count.
//
// Two locks: state_ guards the queue, flags and counters and is held only briefly;
// delivery_ is held by the device thread while it takes a period and reports the buffers
// it finished, and by Reset, Stop and Close, so that once those return no callback for an
// earlier buffer is still running. Finished headers wait for their callback on a chain
// through their own link field, so nothing is allocated after Open and no file I/O happens
// under either lock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveStream.h"
#include "platform/wave/WaveTypes.h"

namespace vx::wave {

class BufferPump {
 public:
  enum class Direction { kOutput, kInput };

  explicit BufferPump(Direction direction) : direction_(direction) {}
  // Resets and closes a device still open.
  ~BufferPump();
  BufferPump(const BufferPump&) = delete;
  BufferPump& operator=(const BufferPump&) = delete;

  bool IsOpen() const;
  // The number of frames in one period of a format: 5 ms, at least one frame.
  static std::uint32_t PeriodFrames(const riff::WaveFormat& format);

  // Opens the device's stream through the opener (whose code a failure answers), starts
  // the device thread and sends kOpened. kAllocated when already open.
  using StreamOpener = std::function<unsigned(std::unique_ptr<WaveStream>& stream)>;
  unsigned Open(const riff::WaveFormat& format, WaveCallback callback,
                const StreamOpener& openStream);
  unsigned Close();

  unsigned Prepare(WaveHeader& header);
  unsigned Unprepare(WaveHeader& header);
  // Queues a header. An output starts playing with it; an input's bytesRecorded is reset.
  unsigned Enqueue(WaveHeader& header);
  // Output: pause and restart.
  unsigned SetPaused(bool paused);
  // Input: start and stop; stopping returns a partly filled buffer.
  unsigned SetStarted(bool started);
  unsigned Reset();
  unsigned Position(std::uint64_t& frames);
  // Periods that found no buffer (underruns of an output, overruns of an input), counted
  // once per run of such periods.
  std::uint64_t Gaps() const;

 private:
  bool Running() const { return started_ && !paused_; }
  void ThreadBody();
  void RunPeriod();
  // Moves one period between the staging buffer and the queue; state_ held.
  std::size_t TakeOutput();
  std::size_t FillInput();
  // Unlinks the queue's head onto the finished chain; state_ and delivery_ held.
  void FinishHead();
  // Marks every finished header done and sends kDone for it; delivery_ held, state_ not.
  void DeliverFinished();

  const Direction direction_;
  std::mutex lifecycle_;  // serialises Open and Close
  mutable std::mutex state_;
  std::mutex delivery_;
  std::condition_variable wake_;

  // Guarded by state_.
  bool open_ = false;
  bool quit_ = false;
  bool started_ = false;
  bool paused_ = false;
  WaveHeader* head_ = nullptr;
  WaveHeader* tail_ = nullptr;
  std::uint32_t headOffset_ = 0;  // output: bytes of the head already played
  std::uint64_t bytesMoved_ = 0;
  std::uint64_t gaps_ = 0;
  bool inGap_ = false;

  // Guarded by delivery_ (and state_ while linked).
  WaveHeader* finishedHead_ = nullptr;
  WaveHeader* finishedTail_ = nullptr;

  // Set at Open, read by the device thread.
  WaveCallback callback_;
  std::unique_ptr<WaveStream> stream_;
  std::uint32_t blockAlign_ = 1;
  std::vector<std::uint8_t> staging_;  // one period; the device thread's
  std::thread thread_;
};

}  // namespace vx::wave
