// The technical information report: a plain text of the program version, the operating
// system, the library database, the audio codecs, the report print engine, the drives, the
// CD drives and the MIDI devices, meant to be read out to a support person. Every line ends
// in CR LF and tabs separate labels from values. Each section is built by its own routine
// from facts that TechInfoSources supplies, so tests can give fixed machines.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "recorder/BuildStamp.h"
#include "recorder/DiskFigures.h"

namespace vx {

struct SystemVersion {
  std::string platform;  // uname's system name, "Linux"
  std::string release;   // uname's release, "6.1.0-18-amd64"
};

struct CodecDriver {
  std::string shortName;
  bool supportsConversion = false;  // pure filters and the like are not listed
};

struct CodecLibraryInfo {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
  std::optional<unsigned long> codecCount;
  std::vector<CodecDriver> drivers;
};

struct PrintEngineInfo {
  int dllVersion = 0;     // major in bits 8-15, minor in bits 0-7
  int engineVersion = 0;  // the same
};

// One line of the mount table, with what the system knows of its device.
struct MountedFileSystem {
  std::string source;      // "/dev/sda1", "server:/export", "proc", ...
  std::string mountPoint;
  std::string type;        // "ext4", "nfs4", "tmpfs", ...
  bool removable = false;  // the block device says it is removable
};

enum class DriveKind { NotListed, Removable, Fixed, Network };

// Where the report's facts come from; each can be replaced by a test.
struct TechInfoSources {
  std::function<std::optional<SystemVersion>()> systemVersion;
  std::function<std::string()> databaseEngineVersion;
  std::function<std::optional<CodecLibraryInfo>()> codecLibrary;
  std::function<std::optional<PrintEngineInfo>()> printEngine;
  std::function<std::vector<MountedFileSystem>()> mounts;
  DiskSpaceQuery diskSpace;
};

// What the recorder itself contributes.
struct TechInfoFacts {
  BuildStamp build;
  std::optional<std::string> databasePath;  // empty when no database is open
  std::vector<char> cdLetters;
  std::vector<std::string> midiOutputs;
};

// How a mounted file system is reported: block devices are fixed or removable drives,
// network file systems are network drives, and the root file system always counts (in a
// container it sits on an overlay). CD/DVD file systems are listed with the CD drives, and
// memory, kernel, loop-image and other pseudo file systems are not drives at all.
DriveKind ClassifyMount(const MountedFileSystem& mount);

// The drives to report, in mount-table order: the listed kinds only, each device once
// (at its shortest mount point, so bind mounts do not repeat it).
std::vector<std::pair<MountedFileSystem, DriveKind>> ReportedDrives(
    const std::vector<MountedFileSystem>& mounts);

QString BuildTechInfoReport(const TechInfoFacts& facts, const TechInfoSources& sources);

}  // namespace vx
