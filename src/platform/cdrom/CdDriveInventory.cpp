#include "platform/cdrom/CdDriveInventory.h"

#include <cdio/cdio.h>

namespace vx::cdrom {

std::vector<std::string> RealCdDevices() {
  std::vector<std::string> devices;
  char** list = cdio_get_devices(DRIVER_DEVICE);
  if (list == nullptr) return devices;
  for (char** device = list; *device != nullptr; ++device) devices.emplace_back(*device);
  cdio_free_device_list(list);
  return devices;
}

std::vector<CdDrive> ListCdDrives(const DeviceConfig& config,
                                  const std::vector<std::string>& realDevices) {
  std::vector<CdDrive> drives;
  char letter = kFirstDriveLetter;
  auto add = [&](const std::string& path, bool isVirtual) {
    if (letter > kLastDriveLetter) return;
    drives.emplace_back(letter++, path, isVirtual);
  };
  if (!config.virtualOnly) {
    for (const auto& device : realDevices) add(device, false);
  }
  for (const auto& tray : config.cdTrays) add(tray, true);
  return drives;
}

std::vector<CdDrive> ListCdDrives(const DeviceConfig& config) {
  return ListCdDrives(config, config.virtualOnly ? std::vector<std::string>{} : RealCdDevices());
}

std::string DriveLetters(const std::vector<CdDrive>& drives) {
  std::string letters;
  for (const auto& drive : drives) letters += drive.Letter();
  return letters;
}

}  // namespace vx::cdrom
