// Plays a range of a PCM source on one wave output of the process's device list (output 0
// unless the user chose another), on a worker
// thread of its own: the worker opens the output, keeps four buffers of 50 ms queued, and
// closes the output when the range has been played or playing is stopped. Operations are
// synchronous for the caller (they return once the worker has carried them out); the
// position comes from the output's own count of played frames.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/mci/PcmSource.h"
#include "platform/wave/WaveDevice.h"

namespace vx::mci {

class PcmPlayer {
 public:
  enum class State { kStopped, kPlaying, kPaused };

  PcmPlayer();
  ~PcmPlayer();
  PcmPlayer(const PcmPlayer&) = delete;
  PcmPlayer& operator=(const PcmPlayer&) = delete;

  // Plays frames [from, to) of the source; whatever was playing stops first. Answers an
  // MciError code (kOutputFailed when the output cannot be opened).
  unsigned Play(std::shared_ptr<PcmSource> source, std::uint64_t from, std::uint64_t to);
  // Pause holds the position; Resume goes on from it. Both do nothing unless they apply.
  void Pause();
  void Resume();
  // Stops; the position stays where playing got to.
  void Stop();
  // Stops and forgets the source (the next position is `position`).
  void Reset(std::uint64_t position);
  // The wave output the next play opens; a play already running keeps its output.
  void SetOutput(std::size_t output);

  State CurrentState();
  // The frame of the source now being heard (or where playing stopped).
  std::uint64_t Position();

 private:
  enum class Kind { kNone, kPlay, kPause, kResume, kStop, kReset, kQuit };
  struct Request {
    Kind kind = Kind::kNone;
    std::shared_ptr<PcmSource> source;
    std::uint64_t from = 0, to = 0;
  };
  struct Buffer {
    std::vector<std::uint8_t> bytes;
    wave::WaveHeader header;
  };

  unsigned Submit(Request request);
  void Run();
  unsigned Execute(const Request& request);
  unsigned StartPlaying(const Request& request);
  void Refill();
  // Closes the output, keeping `stoppedAt` as the position. Worker thread only.
  void CloseOutput(std::uint64_t stoppedAt);
  std::uint64_t PlayedLocked();

  // Guards the request slot, the returned-buffer count and the state below.
  std::mutex mutex_;
  std::condition_variable wake_;  // a request or a returned buffer
  std::condition_variable done_;  // a request carried out
  Request request_;
  std::uint64_t requestSeq_ = 0, doneSeq_ = 0;
  unsigned result_ = 0;
  unsigned returned_ = 0;
  State state_ = State::kStopped;
  std::uint64_t stoppedAt_ = 0;
  std::size_t outputId_ = 0;

  // Guards the output and the playing range; taken by the worker around device calls and
  // by Position. Never taken while mutex_ is held.
  std::mutex deviceMutex_;
  wave::WaveOut* output_ = nullptr;
  std::uint64_t start_ = 0;     // frame at which the output was opened
  std::uint64_t next_ = 0;      // next frame to queue
  std::uint64_t end_ = 0;
  std::shared_ptr<PcmSource> source_;
  std::array<Buffer, 4> buffers_;
  bool sourceDone_ = false;

  std::thread worker_;
};

}  // namespace vx::mci
