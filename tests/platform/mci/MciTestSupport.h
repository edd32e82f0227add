// Shared by the media control tests: a run whose only devices are one virtual wave output
// (a tape in the test folder) and one virtual CD tray holding the test disc, with the
// process's wave device list rebuilt for it and restored afterwards.
#pragma once

#include <string>

#include "platform/wave/WaveDeviceList.h"
#include "platform/wave/WaveTestSupport.h"

namespace vx::mci::test {

class VirtualMachine {
 public:
  // speed: VELUMIX_SPEED for the run.
  explicit VirtualMachine(const char* speed = "20");
  ~VirtualMachine();

  const std::string& Tape() const { return tape_; }
  const std::string& Tray() const { return tray_; }
  const std::string& Cue() const { return cue_; }

 private:
  std::string tape_, tray_, cue_;
  wave::test::ScopedEnv devices_;
  wave::test::ScopedEnv speed_;
};

}  // namespace vx::mci::test
