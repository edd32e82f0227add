#include "platform/cdrom/CdDrive.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/cdrom/CdDriveInventory.h"
#include "platform/cdrom/TestDisc.h"
#include "support/TestFolder.h"

namespace vx::cdrom {

TEST(CdromDrive, VirtualTrayDoorAndDisc) {
  const std::string tray = test::TestFolder() + "/tray";
  std::filesystem::create_directories(tray);
  const CdDrive drive('D', tray, true);
  EXPECT_EQ(drive.State(), TrayState::Open);  // empty tray
  EXPECT_EQ(drive.OpenDisc(), nullptr);

  test::WriteTestDisc(tray);
  EXPECT_EQ(drive.State(), TrayState::Loaded);
  ASSERT_NE(drive.OpenDisc(), nullptr);
  EXPECT_EQ(drive.OpenDisc()->Toc().tracks.size(), 4u);

  EXPECT_TRUE(drive.OpenDoor());
  EXPECT_TRUE(std::filesystem::exists(tray + "/open"));
  EXPECT_EQ(drive.State(), TrayState::Open);
  EXPECT_EQ(drive.OpenDisc(), nullptr);
  EXPECT_TRUE(drive.OpenDoor());  // opening an open door is harmless

  EXPECT_TRUE(drive.CloseDoor());
  EXPECT_FALSE(std::filesystem::exists(tray + "/open"));
  EXPECT_EQ(drive.State(), TrayState::Loaded);
  EXPECT_NE(drive.OpenDisc(), nullptr);
  EXPECT_TRUE(drive.CloseDoor());

  const CdDrive missing('E', test::TestFolder() + "/nowhere", true);
  EXPECT_EQ(missing.State(), TrayState::NotReady);
  EXPECT_FALSE(missing.OpenDoor());
  EXPECT_FALSE(missing.CloseDoor());
  EXPECT_EQ(missing.OpenDisc(), nullptr);
}

TEST(CdromDrive, TheFirstImageByNameIsTheDisc) {
  const std::string tray = test::TestFolder() + "/tray";
  test::WriteTestDisc(tray);
  std::filesystem::copy_file(tray + "/disc.cue", tray + "/zz-other.cue");
  std::filesystem::create_directories(tray + "/aa.cue");  // a folder is no image
  const auto disc = CdDrive('D', tray, true).OpenDisc();
  ASSERT_NE(disc, nullptr);
  EXPECT_EQ(disc->Source(), tray + "/disc.cue");
}

TEST(CdromInventory, DrivesAreLetteredInOrder) {
  const DeviceConfig virtualOnly = DeviceConfig::Parse("cd=/t/one, /t/two", nullptr);
  const auto trays = ListCdDrives(virtualOnly, {"/dev/sr0"});
  ASSERT_EQ(trays.size(), 2u);  // no real drive when VELUMIX_DEVICES is set
  EXPECT_EQ(DriveLetters(trays), "DE");
  EXPECT_EQ(trays[0].Path(), "/t/one");
  EXPECT_EQ(trays[1].Path(), "/t/two");
  EXPECT_TRUE(trays[0].IsVirtual());

  DeviceConfig mixed;
  mixed.cdTrays = {"/t/tray"};
  const auto drives = ListCdDrives(mixed, {"/dev/sr0", "/dev/sr1"});
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(DriveLetters(drives), "DEF");
  EXPECT_FALSE(drives[0].IsVirtual());
  EXPECT_EQ(drives[1].Path(), "/dev/sr1");
  EXPECT_TRUE(drives[2].IsVirtual());

  EXPECT_EQ(DriveLetters(ListCdDrives(DeviceConfig::Parse("", nullptr))), "");

  DeviceConfig many;
  many.cdTrays.assign(30, "/t/tray");
  const auto lettered = ListCdDrives(many, {});
  ASSERT_EQ(lettered.size(), 23u);  // D to Z
  EXPECT_EQ(lettered.back().Letter(), 'Z');
}

}  // namespace vx::cdrom
