// One CD-ROM drive of the inventory: a real drive (a device such as /dev/sr0) or a virtual
// one. A virtual drive is a tray folder: the first .cue image in it (by name) is the disc;
// no image, or a file named "open" in the folder, is an open tray with no disc.
#pragma once

#include <memory>
#include <string>

#include "platform/cdrom/CdDisc.h"

namespace vx::cdrom {

enum class TrayState {
  NotReady,  // the drive cannot be reached
  Open,      // door open, or closed without a disc
  Loaded,    // door closed with a disc
};

class CdDrive {
 public:
  CdDrive(char letter, std::string path, bool isVirtual);

  char Letter() const { return letter_; }
  // The device path of a real drive, the tray folder of a virtual one.
  const std::string& Path() const { return path_; }
  bool IsVirtual() const { return virtual_; }

  TrayState State() const;
  // Open / close the door. A virtual tray gets / loses its "open" marker file; a real drive
  // ejects / pulls in its tray where the hardware can. False when that failed.
  bool OpenDoor() const;
  bool CloseDoor() const;

  // The loaded disc, or nullptr when the tray is open or empty or the disc unreadable.
  std::unique_ptr<CdDisc> OpenDisc() const;

 private:
  // The image a virtual tray holds: its first .cue file by name; empty when none.
  std::string TrayImage() const;
  std::string OpenMarker() const;

  char letter_;
  std::string path_;
  bool virtual_;
};

}  // namespace vx::cdrom
