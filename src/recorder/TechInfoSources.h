// The real machine's facts for the technical information report: uname, SQLite's version,
// the codec library's version and drivers, the mount table with each block device's
// removable flag, the disk figures, and the report print engine's versions.
#pragma once

#include "recorder/TechInfoReport.h"

namespace vx {

TechInfoSources SystemTechInfoSources();

// The mount table at mountsFile (getmntent format, e.g. /proc/self/mounts), each block
// device's removable flag read from /sys/class/block.
std::vector<MountedFileSystem> ReadMountTable(const std::string& mountsFile);

}  // namespace vx
