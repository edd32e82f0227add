// The data end of an open device: where an output's samples go and where an input's come
// from, one period (a few milliseconds of device time) at a time. A sound card stream and the
// virtual devices' clocks implement it. Made by the device at Open, destroyed at Close;
// every call below comes from the device's own thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vx::wave {

class WaveStream {
 public:
  virtual ~WaveStream() = default;

  // The device starts running (after Open, Pause, Stop or Reset) or stops running.
  virtual void Resume() = 0;
  virtual void Suspend() = 0;

  // Output: returns when the next period is due to play.
  virtual void AwaitPeriod() {}
  // Output: plays the period just taken: `bytes` bytes, fewer than a period when the device
  // ran short of buffers (the rest of the period is silence).
  virtual void Play(const std::uint8_t* /*data*/, std::size_t /*bytes*/) {}
  // Input: waits for the next period of sound and fills `bytes` bytes (one period) with it.
  virtual void Capture(std::uint8_t* /*data*/, std::size_t /*bytes*/) {}
};

}  // namespace vx::wave
