#include "recorder/TechInfoReport.h"

#include <gtest/gtest.h>

#include <fstream>

#include "recorder/TechInfoSources.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

constexpr double kMB = 1048576.0;

// A machine with fixed answers.
TechInfoSources FixedMachine() {
  TechInfoSources sources;
  sources.systemVersion = [] { return SystemVersion{"Linux", "6.1.0-18-amd64"}; };
  sources.databaseEngineVersion = [] { return std::string("SQLite 3.40.1"); };
  sources.codecLibrary = [] {
    // A pure filter does not convert between codecs and is left out of the list.
    return CodecLibraryInfo{
        59, 37, 100, 3, {{"ADPCM", true}, {"Volume filter", false}, {"MPEG Layer-3", true}}};
  };
  sources.printEngine = [] { return PrintEngineInfo{0x0602, 0x0701}; };
  sources.mounts = [] {
    return std::vector<MountedFileSystem>{{"/dev/sda1", "/", "ext4"}};
  };
  sources.diskSpace = [](const std::string&) { return DiskFigures{500 * kMB, 2000 * kMB}; };
  return sources;
}

TechInfoFacts Facts() {
  TechInfoFacts facts;
  facts.build = {"2.0.0.0", "Sep  2 1999", "02:34:48"};
  facts.databasePath = "/music/Velumix.vxl";
  facts.cdLetters = {'D'};
  facts.midiOutputs = {"0, Virtual MIDI 1, FM synthesizer"};
  return facts;
}

TEST(TechInfoReport, SectionsFollowEachOtherWithCrLfLines) {
  EXPECT_EQ(BuildTechInfoReport(Facts(), FixedMachine()).toStdString(),
            "Velumix Version 2.0.0.0  [Sep  2 1999 - 02:34:48]\r\n"
            "\r\n"
            "Platform:\t\tLinux\r\n"
            "Version:\t\t6.1.0-18-amd64\r\n"
            "Song Database:\t/music/Velumix.vxl\r\n"
            "DAO Version:\tSQLite 3.40.1\r\n"
            "ACM Version:\t59.37 build 100\r\n"
            "CODECs installed:\t3\r\n"
            "List of installed CODECS:\r\n"
            "\tADPCM\r\n"
            "\tMPEG Layer-3\r\n"
            "Print Engine:\r\n"
            "  DLL Version:\t6.02\r\n"
            "  Engine version:\t7.01\r\n"
            "Drive Information:\r\n"
            "  Drive /\tFIXED DRIVE\tTotal/Free: 2000M / 500M\t(75%)\r\n"
            "CDROM Drives:\r\n"
            "  D:\r\n"
            "\r\n"
            "MIDI Devices:\r\n"
            "  0, Virtual MIDI 1, FM synthesizer\r\n"
            "\r\n");
}

TEST(TechInfoReport, MissingFactsLeaveTheirLinesOrSayNotAvailable) {
  TechInfoSources sources;  // nothing can be asked
  sources.diskSpace = [](const std::string&) { return DiskFigures{}; };
  TechInfoFacts facts = Facts();
  facts.databasePath.reset();
  facts.cdLetters.clear();
  facts.midiOutputs.clear();
  EXPECT_EQ(BuildTechInfoReport(facts, sources).toStdString(),
            "Velumix Version 2.0.0.0  [Sep  2 1999 - 02:34:48]\r\n"
            "\r\n"
            "**Error getting Windows version\r\n"
            "ACM Version:\tnot available\r\n"
            "Print Engine:\r\n"
            "  not available\r\n"
            "Drive Information:\r\n"
            "CDROM Drives:\r\n"
            "\r\n"
            "MIDI Devices:\r\n"
            "\r\n");
}

TEST(TechInfoReport, OnlyRealDrivesAreListedOnceEach) {
  TechInfoSources sources = FixedMachine();
  sources.mounts = [] {
    return std::vector<MountedFileSystem>{
        {"/dev/sda1", "/etc/hosts", "ext4"},  // a bind mount before the real one
        {"proc", "/proc", "proc"},
        {"sysfs", "/sys", "sysfs"},
        {"tmpfs", "/run", "tmpfs"},
        {"/dev/sda1", "/", "ext4"},
        {"/dev/sda2", "/home", "ext4"},
        {"/dev/sr0", "/media/cdrom", "iso9660"},
        {"/dev/sdb1", "/media/stick", "vfat", true},
        {"/dev/loop3", "/snap/core/1", "squashfs"},
        {"server:/export", "/net/music", "nfs4"},
        {"//nas/share", "/mnt/nas", "cifs"},
        {"/dev/sdc1", "/mnt/broken", "ext4"},
    };
  };
  sources.diskSpace = [](const std::string& path) {
    if (path == "/") return DiskFigures{500 * kMB, 2000 * kMB};
    if (path == "/mnt/broken") return DiskFigures{};  // cannot tell its size
    return DiskFigures{1024 * kMB, 4096 * kMB};
  };
  const QString report = BuildTechInfoReport(Facts(), sources);
  const qsizetype begin = report.indexOf("Drive Information:\r\n");
  const qsizetype end = report.indexOf("CDROM Drives:");
  ASSERT_GE(begin, 0);
  EXPECT_EQ(report.mid(begin, end - begin).toStdString(),
            "Drive Information:\r\n"
            "  Drive /\tFIXED DRIVE\tTotal/Free: 2000M / 500M\t(75%)\r\n"
            "  Drive /home\tFIXED DRIVE\tTotal/Free: 4096M / 1024M\t(75%)\r\n"
            "  Drive /media/stick\tREMOVABLE\tTotal/Free: 4096M / 1024M\t(75%)\r\n"
            "  Drive /net/music\tNETWORK DRIVE\tTotal/Free: 4096M / 1024M\t(75%)\r\n"
            "  Drive /mnt/nas\tNETWORK DRIVE\tTotal/Free: 4096M / 1024M\t(75%)\r\n");

  // A container's root sits on an overlay and is still the machine's disk.
  EXPECT_EQ(ClassifyMount({"overlay", "/", "overlay"}), DriveKind::Fixed);
  EXPECT_EQ(ClassifyMount({"overlay", "/var/lib/docker/x/merged", "overlay"}),
            DriveKind::NotListed);
}

TEST(TechInfoReport, MountTableIsReadWithEscapedNames) {
  const std::string file = test::TestFolder() + "/mounts";
  std::ofstream(file) << "/dev/nonexistent1 / ext4 rw,relatime 0 0\n"
                         "proc /proc proc rw 0 0\n"
                         "/dev/nonexistent2 /media/My\\040Stick vfat rw 0 0\n";
  const std::vector<MountedFileSystem> mounts = ReadMountTable(file);
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(mounts[0].source, "/dev/nonexistent1");
  EXPECT_EQ(mounts[0].mountPoint, "/");
  EXPECT_EQ(mounts[0].type, "ext4");
  EXPECT_FALSE(mounts[0].removable);
  EXPECT_EQ(mounts[2].mountPoint, "/media/My Stick");
  EXPECT_TRUE(mounts[2].removable);  // where desktops mount removable media
  EXPECT_TRUE(ReadMountTable(test::TestFolder() + "/missing").empty());

  // The real machine answers every section.
  const QString report = BuildTechInfoReport(Facts(), SystemTechInfoSources());
  EXPECT_TRUE(report.contains("Platform:\t\t")) << report.toStdString();
  EXPECT_TRUE(report.contains("DAO Version:\tSQLite 3.")) << report.toStdString();
  EXPECT_TRUE(report.contains("Drive Information:\r\n  Drive ")) << report.toStdString();
}

}  // namespace
}  // namespace vx
