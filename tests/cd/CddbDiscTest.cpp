// The disc scan: the CDDB disc identifier and query path from a table of contents, checked
// against an independent implementation of the identifier, and the scan through the media
// control layer of a virtual tray, with a data track last or first.
#include <discid/discid.h>

#include <gtest/gtest.h>

#include <QString>

#include <filesystem>
#include <fstream>
#include <random>

#include "cd/CMciDevice.h"
#include "cd/CddbDisc.h"
#include "platform/mci/MciTestSupport.h"
#include "platform/wave/WaveDeviceList.h"
#include "support/TestFolder.h"

namespace vx::cd {
namespace {

// The identifier the independent implementation gives for the same table of contents.
std::string PeerId(const CddbToc& toc) {
  int offsets[100] = {};
  const int n = static_cast<int>(toc.startFrames.size());
  offsets[0] = static_cast<int>(toc.startFrames.back() + toc.lastLengthFrames);
  for (int t = 1; t <= n; ++t) offsets[t] = static_cast<int>(toc.startFrames[t - 1]);
  DiscId* disc = discid_new();
  std::string id;
  if (discid_put(disc, 1, n, offsets)) id = discid_get_freedb_id(disc);
  discid_free(disc);
  return id;
}

std::string Hex(std::uint32_t id) { return QString::asprintf("%08x", id).toStdString(); }

CddbToc Toc(std::vector<long> starts, long lastLength, std::vector<bool> audio = {}) {
  CddbToc toc;
  toc.startFrames = std::move(starts);
  toc.audio = audio.empty() ? std::vector<bool>(toc.startFrames.size(), true) : std::move(audio);
  toc.lastLengthFrames = lastLength;
  return toc;
}

TEST(CddbDisc, IdentifierAndQueryPathOfATwoTrackDisc) {
  // Tracks at 00:02:00 and 03:10:30, the last 04:00:10 long.
  const CddbToc toc = Toc({150, 14280}, (4 * 60 * 75) + 10);
  const CddbDiscScan scan = BuildDiscScan(toc, "dj@example.org");
  EXPECT_EQ(Hex(scan.discId), "0c01ac02");
  EXPECT_EQ(Hex(scan.discId), PeerId(toc));
  EXPECT_EQ(scan.trackCount, 2);
  EXPECT_EQ(scan.audioTracks, (std::vector<int>{1, 2}));
  EXPECT_EQ(scan.queryPath,
            "/~cddb/cddb.cgi?cmd=cddb+query+0c01ac02+2+150+14280+428"
            "&hello=dj+example.org+Velumix+2.0&proto=4");
}

TEST(CddbDisc, IdentifierEqualsTheIndependentOneForAnyTable) {
  // Lead-outs on the last frame of a second are where an extra frame would move the total
  // length, and with it the identifier.
  const CddbToc edges[] = {
      Toc({150, 20000}, 75 * 100 - (20000 % 75) + 74),
      Toc({150}, 75 * 60 - 1),
      Toc({182, 40000, 300000}, 1),
  };
  for (const CddbToc& toc : edges) EXPECT_EQ(Hex(BuildDiscScan(toc, "a@b").discId), PeerId(toc));

  std::mt19937 random(15);
  for (int round = 0; round < 500; ++round) {
    std::vector<long> starts;
    long start = 150 + static_cast<long>(random() % 200);
    const int tracks = 1 + static_cast<int>(random() % 99);
    for (int t = 0; t < tracks && start < 75 * 60 * 78; ++t) {
      starts.push_back(start);
      start += 75 * 4 + static_cast<long>(random() % (75 * 600));
    }
    const CddbToc toc = Toc(starts, 75 * 4 + static_cast<long>(random() % (75 * 600)));
    ASSERT_EQ(Hex(BuildDiscScan(toc, "a@b").discId), PeerId(toc)) << round;
  }
}

TEST(CddbDisc, TheHelloNamesTheUserAndHost) {
  EXPECT_EQ(CddbHelloUser("dj@example.org"), "dj+example.org");
  EXPECT_EQ(CddbHelloUser("dj@club@example.org"), "dj+club%40example.org");
  EXPECT_EQ(CddbHelloUser("@example.org"), "%40example.org");
  EXPECT_EQ(CddbHelloUser("dj"), "dj");
  // Nothing a user types can add a parameter to the request or break it.
  EXPECT_EQ(CddbHelloUser("d j&x=1@host"), "d%20j%26x%3D1+host");
}

// A machine whose one CD tray is `tray`; CD device opened as "cdplay" on drive D.
struct TrayMachine {
  explicit TrayMachine(const std::string& tray)
      : devices_("VELUMIX_DEVICES", ("cd=" + tray).c_str()) {
    wave::WaveDeviceList::InstallSystem(nullptr);
  }
  ~TrayMachine() { wave::WaveDeviceList::InstallSystem(nullptr); }
  wave::test::ScopedEnv devices_;
};

// A disc whose first track holds data: data 75 sectors, audio 150, audio 100.
std::string WriteDataFirstDisc(const std::string& folder) {
  std::filesystem::create_directories(folder);
  {
    std::ofstream bin(folder + "/disc.bin", std::ios::binary | std::ios::trunc);
    const std::vector<char> sector(2352, 0);
    for (int s = 0; s < 325; ++s) bin.write(sector.data(), static_cast<std::streamsize>(sector.size()));
  }
  std::ofstream cue(folder + "/disc.cue", std::ios::trunc);
  cue << "FILE \"disc.bin\" BINARY\n"
      << "  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"
      << "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"
      << "  TRACK 03 AUDIO\n    INDEX 01 00:03:00\n";
  return folder;
}

struct ScanResult {
  CddbDiscScan scan;
  std::vector<QString> status;
  std::string timeFormatAfter;
};

ScanResult ScanDrive(bool open = true) {
  CMciDevice mci;
  if (open) {
    EXPECT_TRUE(mci.OpenCd('D')) << mci.GetLastErrorText();
  }
  ScanResult result;
  result.scan = ScanDisc(
      mci, [&](const QString& line) { result.status.push_back(line); }, "dj@example.org");
  mci.QueryStatus("time format", result.timeFormatAfter, CMciDevice::kCd);
  if (open) mci.CloseDevice(CMciDevice::kCd);
  return result;
}

TEST(CddbDisc, ScanOfADiscImageInAVirtualTray) {
  // The test disc: audio at LSN 0, 225 (after a pregap) and 450; data at 617; 75 sectors.
  mci::test::VirtualMachine machine;
  const ScanResult result = ScanDrive();
  EXPECT_TRUE(result.status.empty());
  EXPECT_EQ(result.scan.trackCount, 4);
  EXPECT_EQ(result.scan.audioTracks, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Hex(result.scan.discId), PeerId(Toc({150, 375, 600, 767}, 75)));
  EXPECT_EQ(result.scan.queryPath.rfind("/~cddb/cddb.cgi?cmd=cddb+query+" +
                                            Hex(result.scan.discId) + "+4+150+375+600+767+9&",
                                        0),
            0u)
      << result.scan.queryPath;
  EXPECT_EQ(result.timeFormatAfter, "tmsf");
}

TEST(CddbDisc, ADataTrackFirstIsLeftOutOfTheAudioTable) {
  const std::string tray = WriteDataFirstDisc(test::TestFolder() + "/tray");
  TrayMachine machine(tray);
  const ScanResult result = ScanDrive();
  EXPECT_EQ(result.scan.trackCount, 3);
  EXPECT_EQ(result.scan.audioTracks, (std::vector<int>{2, 3}));
  EXPECT_EQ(Hex(result.scan.discId), PeerId(Toc({150, 225, 375}, 100)));
}

TEST(CddbDisc, AScanThatCannotReadTheDiscReportsEachFailureAndAsksNothing) {
  mci::test::VirtualMachine machine;
  const ScanResult result = ScanDrive(/*open=*/false);
  ASSERT_GE(result.status.size(), 2u);
  for (const QString& line : result.status) EXPECT_TRUE(line.startsWith("MCI ERROR: ")) << line.toStdString();
  EXPECT_TRUE(result.scan.audioTracks.empty());
  EXPECT_TRUE(result.scan.queryPath.empty());
}

TEST(CddbDisc, AnEmptyTrayGivesNoAudioTrack) {
  const std::string tray = test::TestFolder() + "/empty";
  std::filesystem::create_directories(tray);
  TrayMachine machine(tray);
  CMciDevice mci;
  if (!mci.OpenCd('D')) GTEST_SKIP() << "an empty tray cannot be opened here";
  std::vector<QString> status;
  const CddbDiscScan scan =
      ScanDisc(mci, [&](const QString& line) { status.push_back(line); }, "dj@example.org");
  mci.CloseDevice(CMciDevice::kCd);
  EXPECT_TRUE(scan.audioTracks.empty());
  EXPECT_TRUE(scan.queryPath.empty());
}

}  // namespace
}  // namespace vx::cd
