// A run whose only devices are one virtual wave output (a tape in the test folder) and one
// virtual CD drive D (a tray folder, empty until a test writes a disc into it), with a media
// control wrapper over a session of its own. The process's wave device list is rebuilt for
// the run and again afterwards.
#pragma once

#include <string>

#include "cd/CMciDevice.h"
#include "platform/mci/MciSession.h"
#include "platform/wave/WaveTestSupport.h"

namespace vx::test {

class VirtualCdDrive {
 public:
  VirtualCdDrive();
  ~VirtualCdDrive();
  VirtualCdDrive(const VirtualCdDrive&) = delete;
  VirtualCdDrive& operator=(const VirtualCdDrive&) = delete;

  const std::string& Tray() const { return tray_; }
  CMciDevice& Mci() { return mci_; }
  // Opens or closes the tray (the disc in it stays).
  void SetTrayOpen(bool open);

 private:
  std::string tray_;
  wave::test::ScopedEnv devices_;
  wave::test::ScopedEnv speed_;
  mci::MciSession session_;
  CMciDevice mci_;
};

}  // namespace vx::test
