// The codec step: the copy by size with its backup, the codec folder, the registration in the
// system-wide settings, and the resource lookup of an installed tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "installer/CodecInstall.h"
#include "installer/InstallerText.h"
#include "platform/process/Process.h"
#include "platform/settings/SystemSettings.h"
#include "support/TestFolder.h"

namespace vx::installer {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& file, const std::string& content) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Medium {
  fs::path codec = fs::path(test::TestFolder()) / "medium" / text::kCodecSource;
  fs::path folder = fs::path(test::TestFolder()) / "codecs";
  fs::path target = folder / text::kCodecTarget;
  fs::path backup = folder / text::kCodecBackup;
};

TEST(CodecInstall, SecondRunCopiesNothingAndKeepsTheFirstBackup) {
  Medium m;
  WriteFile(m.codec, "NEW CODEC");
  WriteFile(m.target, "OLD");

  EXPECT_EQ(InstallCodecFile(m.codec.string(), m.folder.string()), CodecCopy::Copied);
  EXPECT_EQ(ReadFile(m.target), "NEW CODEC");
  EXPECT_EQ(ReadFile(m.backup), "OLD");

  EXPECT_EQ(InstallCodecFile(m.codec.string(), m.folder.string()), CodecCopy::Equal);
  EXPECT_EQ(ReadFile(m.target), "NEW CODEC");
  EXPECT_EQ(ReadFile(m.backup), "OLD");
  // Nothing but the two files: no temporary is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(m.folder), fs::directory_iterator()), 2);
}

TEST(CodecInstall, FirstCopyIntoAnEmptyFolderMakesNoBackupAndAReadableFile) {
  Medium m;
  WriteFile(m.codec, "CODEC");
  EXPECT_EQ(InstallCodecFile(m.codec.string(), (m.folder / "new").string()), CodecCopy::Copied);
  const fs::path target = m.folder / "new" / text::kCodecTarget;
  EXPECT_EQ(ReadFile(target), "CODEC");
  EXPECT_FALSE(fs::exists(m.folder / "new" / text::kCodecBackup));
  // Other users' programs may read a codec installed for the whole system.
  EXPECT_NE(fs::status(target).permissions() & fs::perms::others_read, fs::perms::none);
}

TEST(CodecInstall, NothingToCopyWhenBothAreMissing) {
  Medium m;
  EXPECT_EQ(InstallCodecFile(m.codec.string(), m.folder.string()), CodecCopy::Equal);
  EXPECT_FALSE(fs::exists(m.target));
  EXPECT_FALSE(fs::exists(m.backup));
}

TEST(CodecInstall, AMissingOrUnreadableSourceNeverEmptiesTheCodecFile) {
  Medium m;
  WriteFile(m.target, "WORKING CODEC");
  WriteFile(m.backup, "OLDER BACKUP");

  EXPECT_EQ(InstallCodecFile(m.codec.string(), m.folder.string()), CodecCopy::Failed);
  EXPECT_EQ(ReadFile(m.target), "WORKING CODEC");
  EXPECT_EQ(ReadFile(m.backup), "WORKING CODEC");

  // A source that cannot be read as a file (here a folder) fails the same way.
  fs::create_directories(m.codec);
  EXPECT_EQ(InstallCodecFile(m.codec.string(), m.folder.string()), CodecCopy::Failed);
  EXPECT_EQ(ReadFile(m.target), "WORKING CODEC");
  EXPECT_EQ(std::distance(fs::directory_iterator(m.folder), fs::directory_iterator()), 2);
}

TEST(CodecInstall, CodecFolderIsSystemWideForRootAndPerUserOtherwise) {
  const std::string system = std::getenv("VELUMIX_SYSTEM_DIR");
  EXPECT_EQ(CodecFolder(true), system + "/usr/local/lib/velumix/codecs");

  const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  const std::string home = test::TestFolder() + "/home";
  setenv("HOME", home.c_str(), 1);
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(CodecFolder(false), home + "/.local/share/velumix/codecs");
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  EXPECT_EQ(CodecFolder(false), home + "/data/velumix/codecs");
  // A relative XDG_DATA_HOME is invalid and ignored, as the XDG rules say.
  setenv("XDG_DATA_HOME", "relative", 1);
  EXPECT_EQ(CodecFolder(false), home + "/.local/share/velumix/codecs");
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", savedHome.c_str(), 1);
}

TEST(CodecRegistration, WritesTheDriverAndItsDescriptionSystemWide) {
  RegisterCodec(&SystemSettings::SetString);
  EXPECT_EQ(SystemSettingsFile().toStdString(),
            std::string(std::getenv("VELUMIX_SYSTEM_DIR")) + "/etc/xdg/QFL/Velumix.conf");
  EXPECT_EQ(SystemSettings::GetString("Drivers32", "msacm.l3acm"), "l3codecx.acm");
  EXPECT_EQ(SystemSettings::GetString("drivers.desc", "l3codecx.acm"),
            "Fraunhofer IIS MPEG Layer-3 Codec (decode only)");
}

TEST(CodecRegistration, AMissingDescriptionKeyStillWritesTheDriver) {
  std::map<QString, QString> written;
  RegisterCodec([&](const QString& key, const QString& name, const QString& value) {
    if (key == "drivers.desc") return false;
    written[key + "/" + name] = value;
    return true;
  });
  EXPECT_EQ(written.size(), 1u);
  EXPECT_EQ(written["Drivers32/msacm.l3acm"], "l3codecx.acm");
}

TEST(CodecRegistration, SettingsThatCannotBeWrittenAreRefused) {
  // A plain file where a folder should be: not even root can make the settings there.
  const std::string blocked = test::TestFolder() + "/blocked";
  WriteFile(blocked, "");
  setenv("VELUMIX_SYSTEM_DIR", blocked.c_str(), 1);
  EXPECT_FALSE(SystemSettings::SetString("Drivers32", "msacm.l3acm", "l3codecx.acm"));
  EXPECT_EQ(ReadFile(blocked), "");
}

TEST(ResourceLookup, BesideTheProgramFirstThenTheInstalledShareFolder) {
  const fs::path root = test::TestFolder();
  const std::string bin = (root / "bin").string();
  WriteFile(root / "share/velumix/Reports/summary1.rpt", "installed");
  EXPECT_EQ(FindResourceFrom(bin, "Reports"), (root / "share/velumix/Reports").string());

  WriteFile(root / "bin/Reports/summary1.rpt", "build tree");
  EXPECT_EQ(FindResourceFrom(bin, "Reports"), (root / "bin/Reports").string());

  // Missing everywhere: the path beside the program, so a message names a sensible place.
  EXPECT_EQ(FindResourceFrom(bin, "skins/150.png"), (root / "bin/skins/150.png").string());
}

}  // namespace
}  // namespace vx::installer
