// A wave input the test drives by hand: it fills its queued buffers only when told, and
// returns them through the callback on the test's own thread, so a test decides exactly
// which samples arrive and when. Results of Open, Stop and Reset can be set to fail.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/wave/WaveDevice.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::test {

class ScriptedWaveIn : public wave::WaveIn {
 public:
  wave::WaveCaps Caps() const override { return {name, wave::kAllStandardFormats, 2}; }
  unsigned Open(const riff::WaveFormat& format, wave::WaveCallback callback) override;
  unsigned Close() override;
  unsigned Prepare(wave::WaveHeader& header) override;
  unsigned Unprepare(wave::WaveHeader& header) override;
  unsigned AddBuffer(wave::WaveHeader& header) override;
  unsigned Start() override;
  unsigned Stop() override;
  unsigned Reset() override;
  unsigned Position(std::uint64_t& frames) override;
  std::uint64_t Overruns() const override { return 0; }

  // Fills the first queued buffer with `value` on every sample (or with the samples given,
  // repeated) and returns it; false when no buffer is queued or capture is stopped.
  bool Deliver(std::int16_t value);
  bool Deliver(const std::vector<std::int16_t>& samples);
  // Puts samples into the first queued buffer without returning it (a buffer in progress).
  bool Fill(const std::vector<std::int16_t>& samples);

  bool IsOpen() const { return open_; }
  bool IsStarted() const { return started_; }
  std::size_t Queued() const { return queue_.size(); }
  const riff::WaveFormat& OpenFormat() const { return format_; }
  int opens = 0;

  std::string name = "Scripted Input";
  unsigned openResult = wave::kOk;
  unsigned stopResult = wave::kOk;
  unsigned resetResult = wave::kOk;

 private:
  void Return(wave::WaveHeader& header);

  bool open_ = false;
  bool started_ = false;
  riff::WaveFormat format_;
  wave::WaveCallback callback_;
  std::deque<wave::WaveHeader*> queue_;
  std::uint64_t frames_ = 0;
};

// A device list whose only device is one scripted input; the input stays owned by the list.
std::unique_ptr<wave::WaveDeviceList> ScriptedInputList(ScriptedWaveIn*& input);

}  // namespace vx::test
