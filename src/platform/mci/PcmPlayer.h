// Plays a range of a PCM source on one wave output of the process's device list (output 0
// unless the user chose another), on a worker
// thread of its own: the worker opens the output, keeps four buffers of 50 ms queued, and
// closes the output when the range has been played or playing is stopped. Operations are
// synchronous for the caller (they return once the worker has carried them out); the
// position comes from the output's own count of played frames.
//
// A caller never waits without a bound: when the worker does not carry a command out
// within the command timeout (a source or an output that has stalled), the command answers
// kDeviceTimeout and the worker finishes it later. Destroying the player does not wait for
// a stalled worker either: the worker owns its state and ends when it is free again.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/mci/PcmSource.h"

namespace vx::mci {

class PcmPlayer {
 public:
  enum class State { kStopped, kPlaying, kPaused };

  static constexpr std::chrono::milliseconds kCommandTimeout{15000};

  explicit PcmPlayer(std::chrono::milliseconds commandTimeout = kCommandTimeout);
  ~PcmPlayer();
  PcmPlayer(const PcmPlayer&) = delete;
  PcmPlayer& operator=(const PcmPlayer&) = delete;

  // Each answers an MciError code: kMciOk, kDeviceTimeout, or what the command itself
  // answers.
  //
  // Plays frames [from, to) of the source; whatever was playing stops first
  // (kOutputFailed when the output cannot be opened).
  unsigned Play(std::shared_ptr<PcmSource> source, std::uint64_t from, std::uint64_t to);
  // Pause holds the position; Resume goes on from it. Both do nothing unless they apply.
  unsigned Pause();
  unsigned Resume();
  // Stops; the position stays where playing got to.
  unsigned Stop();
  // Stops and forgets the source (the next position is `position`).
  unsigned Reset(std::uint64_t position);
  // The wave output the next play opens; a play already running keeps its output.
  void SetOutput(std::size_t output);

  State CurrentState();
  // The frame of the source now being heard (or where playing stopped).
  unsigned Position(std::uint64_t& frame);

 private:
  class Worker;

  std::shared_ptr<Worker> worker_;
  std::thread thread_;
};

}  // namespace vx::mci
