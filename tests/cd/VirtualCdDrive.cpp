#include "cd/VirtualCdDrive.h"

#include <filesystem>
#include <fstream>

#include "platform/wave/WaveDeviceList.h"
#include "support/TestFolder.h"

namespace vx::test {

VirtualCdDrive::VirtualCdDrive()
    : tray_(TestFolder() + "/tray"),
      devices_("VELUMIX_DEVICES", ("out=" + TestFolder() + "/tape.wav;cd=" + tray_).c_str()),
      speed_("VELUMIX_SPEED", "1"),
      mci_([this] {
        CMciDevice::Platform platform = CMciDevice::Platform::System();
        platform.session = &session_;
        return platform;
      }()) {
  std::filesystem::create_directories(tray_);
  wave::WaveDeviceList::InstallSystem(nullptr);
}

VirtualCdDrive::~VirtualCdDrive() { wave::WaveDeviceList::InstallSystem(nullptr); }

void VirtualCdDrive::SetTrayOpen(bool open) {
  if (open) {
    std::ofstream(tray_ + "/open");
  } else {
    std::filesystem::remove(tray_ + "/open");
  }
}

}  // namespace vx::test
