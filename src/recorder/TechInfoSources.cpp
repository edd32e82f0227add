#include "recorder/TechInfoSources.h"

#include <mntent.h>
#include <sqlite3.h>
#include <sys/utsname.h>

#include <filesystem>
#include <fstream>

#include "platform/acm/AcmDriver.h"
#include "platform/report/CReportEngine.h"

namespace vx {
namespace {

std::optional<SystemVersion> UnameVersion() {
  struct utsname names {};
  if (uname(&names) != 0) return std::nullopt;
  return SystemVersion{names.sysname, names.release};
}

std::string SqliteVersion() { return std::string("SQLite ") + sqlite3_libversion(); }

std::optional<CodecLibraryInfo> CodecLibrary() {
  const acm::CodecLibraryVersion version = acm::GetCodecLibraryVersion();
  CodecLibraryInfo info{version.major, version.minor, version.micro, {}, {}};
  const std::vector<acm::AcmDriverInfo>& drivers = acm::InstalledDrivers();
  info.codecCount = drivers.size();
  for (const acm::AcmDriverInfo& driver : drivers) {
    info.drivers.push_back({driver.shortName, driver.ConvertsCodecs()});
  }
  return info;
}

std::optional<PrintEngineInfo> PrintEngine() {
  return PrintEngineInfo{report::CReportEngine::kDllVersion, report::CReportEngine::kEngineVersion};
}

bool ReadFlag(const std::filesystem::path& file) {
  std::ifstream in(file);
  int value = 0;
  return (in >> value) && value != 0;
}

// A partition has no removable flag of its own; its disk (the parent folder in sysfs) has.
bool IsRemovableDevice(const std::string& devicePath, const std::string& mountPoint) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path device = fs::canonical(devicePath, error);  // resolves /dev/disk/by-*
  if (!error) {
    const fs::path node = fs::canonical(fs::path("/sys/class/block") / device.filename(), error);
    if (!error) {
      if (fs::exists(node / "removable", error)) return ReadFlag(node / "removable");
      if (fs::exists(node.parent_path() / "removable", error)) {
        return ReadFlag(node.parent_path() / "removable");
      }
    }
  }
  // Desktop auto-mounters put removable media here.
  return mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/run/media/", 0) == 0;
}

}  // namespace

std::vector<MountedFileSystem> ReadMountTable(const std::string& mountsFile) {
  std::vector<MountedFileSystem> mounts;
  FILE* table = setmntent(mountsFile.c_str(), "r");
  if (table == nullptr) return mounts;
  struct mntent entry {};
  char buffer[4096];
  while (getmntent_r(table, &entry, buffer, sizeof buffer) != nullptr) {
    MountedFileSystem mount{entry.mnt_fsname, entry.mnt_dir, entry.mnt_type, false};
    if (mount.source.rfind("/dev/", 0) == 0) {
      mount.removable = IsRemovableDevice(mount.source, mount.mountPoint);
    }
    mounts.push_back(std::move(mount));
  }
  endmntent(table);
  return mounts;
}

TechInfoSources SystemTechInfoSources() {
  TechInfoSources sources;
  sources.systemVersion = UnameVersion;
  sources.databaseEngineVersion = SqliteVersion;
  sources.codecLibrary = CodecLibrary;
  sources.printEngine = PrintEngine;
  sources.mounts = [] { return ReadMountTable("/proc/self/mounts"); };
  sources.diskSpace = QueryDiskSpace;
  return sources;
}

}  // namespace vx
