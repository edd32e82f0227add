// Shared by the media control tests: a run whose only devices are virtual wave outputs
// (tapes in the test folder; one unless asked) and one virtual CD tray holding the test
// disc, with the
// process's wave device list rebuilt for it and restored afterwards.
#pragma once

#include <string>

#include "platform/wave/WaveDeviceList.h"
#include "platform/wave/WaveTestSupport.h"

namespace vx::mci::test {

class VirtualMachine {
 public:
  // speed: VELUMIX_SPEED for the run.
  explicit VirtualMachine(const char* speed = "20", int outputs = 1);
  ~VirtualMachine();

  // The tape of wave output 0; SecondTape() that of output 1 (when there are two).
  const std::string& Tape() const { return tape_; }
  std::string SecondTape() const;
  const std::string& Tray() const { return tray_; }
  const std::string& Cue() const { return cue_; }

 private:
  std::string tape_, tray_, cue_;
  wave::test::ScopedEnv devices_;
  wave::test::ScopedEnv speed_;
};

}  // namespace vx::mci::test
