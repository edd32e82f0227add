// The machine's CD-ROM drives, lettered D, E, ... in inventory order: the real drives that
// libcdio finds, then the virtual tray folders of the configuration. When the configuration
// is virtual-only (VELUMIX_DEVICES set), no real drive is looked for.
#pragma once

#include <string>
#include <vector>

#include "platform/cdrom/CdDrive.h"
#include "platform/devices/DeviceConfig.h"

namespace vx::cdrom {

inline constexpr char kFirstDriveLetter = 'D';
inline constexpr char kLastDriveLetter = 'Z';

// Device paths of the real drives libcdio finds (for example /dev/sr0), in its order.
std::vector<std::string> RealCdDevices();

// The inventory from a given list of real devices (ignored when config.virtualOnly) and
// the config's trays. Drives beyond Z are left out.
std::vector<CdDrive> ListCdDrives(const DeviceConfig& config,
                                  const std::vector<std::string>& realDevices);
// The inventory of this machine under config.
std::vector<CdDrive> ListCdDrives(const DeviceConfig& config);

// The drive letters of an inventory, in order ("DE" for two drives).
std::string DriveLetters(const std::vector<CdDrive>& drives);

}  // namespace vx::cdrom
