#include "admin/AdminCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "library/LibraryText.h"
#include "library/MaintenanceDate.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/instance/InstanceLock.h"
#include "platform/settings/ProfileSettings.h"
#include "support/TestFolder.h"
#include "AdminRun.h"

namespace vx::admin {
namespace {

TEST(AdminCommands, CreateRecordsTheLibraryAndCheckFindsItSound) {
  const std::string dir = test::TestFolder() + "/lib";
  const Result created = Admin({"create", dir});
  ASSERT_EQ(created.code, 0) << created.err;
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/Songs"));
  EXPECT_EQ(ProfileSettings::Get(settings::kSongDbPath).toStdString(), dir);
  EXPECT_EQ(Admin({"where"}).out, dir + "\n");
  EXPECT_EQ(Admin({"check"}).code, 0);
  EXPECT_EQ(Admin({"create", dir}).code, 1);  // never overwrites a library

  dao::DaoDatabase db;
  db.Open(dir + "/Velumix.vxl", dao::OpenMode::ReadOnly);
  dao::DaoRecordset mode(db);
  mode.Open(dao::OpenType::Snapshot, "PRAGMA journal_mode");
  EXPECT_EQ(std::get<std::string>(mode.GetFieldValue(0)), "wal");
}

TEST(AdminCommands, CheckReportsDamageAndWrongVersion) {
  const std::string dir = test::TestFolder() + "/lib";
  ASSERT_EQ(Admin({"create", dir}).code, 0);
  {
    dao::DaoDatabase db;
    db.Open(dir + "/Velumix.vxl");
    db.Execute("UPDATE VeluParms SET ParmValue = '1.0'");
  }
  Result checked = Admin({"check", dir});
  EXPECT_EQ(checked.code, 1);
  EXPECT_NE(checked.err.find("version"), std::string::npos);

  std::filesystem::remove(dir + "/Velumix.vxl-wal");
  std::filesystem::remove(dir + "/Velumix.vxl-shm");
  std::ofstream(dir + "/Velumix.vxl", std::ios::trunc) << std::string(8192, '\x5a');
  checked = Admin({"check", dir});
  EXPECT_EQ(checked.code, 1);
  EXPECT_NE(checked.err.find("cannot read"), std::string::npos);
}

TEST(AdminCommands, FullMaintenanceCompactsAndRecordsToday) {
  ASSERT_EQ(Admin({"create", test::TestFolder() + "/lib"}).code, 0);
  {
    InstanceLock recorder(text::kGlobalMutexName);
    ASSERT_TRUE(recorder.TryAcquire());
    const Result refused = Admin({"/Fullmaint=31"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find(text::kAnotherProgramRunning), std::string::npos);
    EXPECT_EQ(ProfileSettings::Get(settings::kLastMaint), "");
  }
  const Result done = Admin({"/Fullmaint=31"});
  EXPECT_EQ(done.code, 0) << done.err;
  EXPECT_EQ(ProfileSettings::Get(settings::kLastMaint).toStdString(),
            MaintDateText(std::time(nullptr)));
}

TEST(AdminCommands, ALockFileThatCannotBeMadeIsNotTakenForAnotherProgram) {
  ASSERT_EQ(Admin({"create", test::TestFolder() + "/lib"}).code, 0);
  // A folder stands where the lock file belongs, so the file cannot be opened.
  const std::string lockPath = InstanceLock::PathFor(text::kGlobalMutexName);
  std::filesystem::create_directories(lockPath);
  const Result refused = Admin({"/Fullmaint=31"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err.find(text::kAnotherProgramRunning), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find(lockPath), std::string::npos) << refused.err;
}

TEST(AdminCommands, WrongCommandLinesExplainThemselves) {
  EXPECT_EQ(Admin({}).code, 2);
  EXPECT_EQ(Admin({"frobnicate"}).code, 2);
  const Result help = Admin({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("/Fullmaint=N"), std::string::npos);
  EXPECT_EQ(Admin({"check"}).code, 2);  // nothing recorded, nothing named
}

}  // namespace
}  // namespace vx::admin
