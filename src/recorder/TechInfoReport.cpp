#include "recorder/TechInfoReport.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "recorder/RecorderText.h"

namespace vx {
namespace {

constexpr double kMegabyte = 1048576.0;

QString Eol() { return QString::fromUtf8(text::kLineEnd); }
QString Utf8(const char* text) { return QString::fromUtf8(text); }
QString Utf8(const std::string& text) { return QString::fromStdString(text); }

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsNetworkType(const std::string& type) {
  static constexpr std::array<std::string_view, 14> kTypes = {
      "nfs",  "nfs4", "cifs",      "smb3",       "smbfs",       "ncpfs",      "afs",
      "ceph", "9p",   "glusterfs", "fuse.sshfs", "fuse.rclone", "fuse.davfs2", "davfs"};
  return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

bool IsOpticalDisc(const MountedFileSystem& mount) {
  return mount.type == "iso9660" || mount.type == "udf" || StartsWith(mount.source, "/dev/sr") ||
         StartsWith(mount.source, "/dev/cdrom");
}

QString VersionSection(const BuildStamp& build) {
  return QString::asprintf(text::kTechVersionLine, qUtf8Printable(build.version),
                           qUtf8Printable(build.date), qUtf8Printable(build.time),
                           text::kLineEnd, text::kLineEnd);
}

QString SystemSection(const std::optional<SystemVersion>& system) {
  if (!system) return Utf8(text::kTechOsError) + Eol();
  return Utf8(text::kTechPlatform) + Utf8(system->platform) + Eol() +
         QString::asprintf(text::kTechOsVersion, system->release.c_str()) + Eol();
}

QString DatabaseSection(const std::optional<std::string>& path, const std::string& engine) {
  if (!path) return {};
  return Utf8(text::kTechDatabase) + Utf8(*path) + Eol() + Utf8(text::kTechDatabaseVersion) +
         Utf8(engine) + Eol();
}

QString CodecSection(const std::optional<CodecLibraryInfo>& codecs) {
  if (!codecs) return Utf8(text::kTechAcmNotAvailable) + Eol();
  QString section =
      QString::asprintf(text::kTechAcmVersion, codecs->major, codecs->minor, codecs->build) +
      Eol();
  if (codecs->codecCount) {
    section += QString::asprintf(text::kTechCodecCount, *codecs->codecCount) + Eol();
  }
  section += Utf8(text::kTechCodecList) + Eol();
  for (const CodecDriver& driver : codecs->drivers) {
    if (driver.supportsConversion) {
      section += QString::asprintf(text::kTechCodecEntry, driver.shortName.c_str()) + Eol();
    }
  }
  return section;
}

QString PrintEngineSection(const std::optional<PrintEngineInfo>& engine) {
  QString section = Utf8(text::kTechPrintEngine) + Eol();
  if (!engine) return section + Utf8(text::kTechPrintNotAvailable) + Eol();
  const auto major = [](int version) { return (version >> 8) & 0xff; };
  const auto minor = [](int version) { return version & 0xff; };
  return section +
         QString::asprintf(text::kTechPrintDll, major(engine->dllVersion),
                           minor(engine->dllVersion)) +
         Eol() +
         QString::asprintf(text::kTechPrintEngineVersion, major(engine->engineVersion),
                           minor(engine->engineVersion)) +
         Eol();
}

const char* KindText(DriveKind kind) {
  switch (kind) {
    case DriveKind::Removable: return text::kTechRemovable;
    case DriveKind::Network: return text::kTechNetwork;
    case DriveKind::Fixed:
    case DriveKind::NotListed: break;
  }
  return text::kTechFixed;
}

QString DriveSection(const std::vector<MountedFileSystem>& mounts, const DiskSpaceQuery& space) {
  QString section = Utf8(text::kTechDrives) + Eol();
  for (const auto& [mount, kind] : ReportedDrives(mounts)) {
    const DiskFigures figures = space(mount.mountPoint);
    // A file system that cannot tell its size has no figures worth reading out.
    if (!(figures.totalBytes > 0)) continue;
    const double used = 100.0 - figures.freeBytes / figures.totalBytes * 100.0;
    section += QString::asprintf(text::kTechDriveLine, mount.mountPoint.c_str(), KindText(kind),
                                 figures.totalBytes / kMegabyte, figures.freeBytes / kMegabyte,
                                 used) +
               Eol();
  }
  return section;
}

QString DeviceSection(const std::vector<char>& cdLetters,
                      const std::vector<std::string>& midiOutputs) {
  QString section = Utf8(text::kTechCdDrives) + Eol();
  for (const char letter : cdLetters) {
    section += QString::asprintf(text::kTechCdDrive, letter) + Eol();
  }
  section += Eol() + Utf8(text::kTechMidiDevices) + Eol();
  for (const std::string& name : midiOutputs) {
    section += QString::asprintf(text::kTechMidiDevice, name.c_str()) + Eol();
  }
  return section + Eol();
}

template <typename T>
T Ask(const std::function<T()>& source) {
  return source ? source() : T{};
}

}  // namespace

DriveKind ClassifyMount(const MountedFileSystem& mount) {
  if (IsNetworkType(mount.type)) return DriveKind::Network;
  if (IsOpticalDisc(mount)) return DriveKind::NotListed;
  if (StartsWith(mount.source, "/dev/") && !StartsWith(mount.source, "/dev/loop")) {
    return mount.removable ? DriveKind::Removable : DriveKind::Fixed;
  }
  if (mount.mountPoint == "/") return DriveKind::Fixed;
  return DriveKind::NotListed;
}

std::vector<std::pair<MountedFileSystem, DriveKind>> ReportedDrives(
    const std::vector<MountedFileSystem>& mounts) {
  std::vector<std::pair<MountedFileSystem, DriveKind>> drives;
  for (const MountedFileSystem& mount : mounts) {
    const DriveKind kind = ClassifyMount(mount);
    if (kind == DriveKind::NotListed) continue;
    const auto same = std::find_if(drives.begin(), drives.end(), [&](const auto& drive) {
      return drive.first.source == mount.source;
    });
    if (same == drives.end()) {
      drives.emplace_back(mount, kind);
    } else if (mount.mountPoint.size() < same->first.mountPoint.size()) {
      same->first.mountPoint = mount.mountPoint;
    }
  }
  return drives;
}

QString BuildTechInfoReport(const TechInfoFacts& facts, const TechInfoSources& sources) {
  const DiskSpaceQuery space = sources.diskSpace ? sources.diskSpace : QueryDiskSpace;
  return VersionSection(facts.build) + SystemSection(Ask(sources.systemVersion)) +
         DatabaseSection(facts.databasePath, Ask(sources.databaseEngineVersion)) +
         CodecSection(Ask(sources.codecLibrary)) + PrintEngineSection(Ask(sources.printEngine)) +
         DriveSection(Ask(sources.mounts), space) +
         DeviceSection(facts.cdLetters, facts.midiOutputs);
}

}  // namespace vx
