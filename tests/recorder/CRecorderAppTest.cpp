#include "recorder/CRecorderApp.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "library/LibraryText.h"
#include "platform/instance/InstanceLock.h"
#include "platform/mci/MciSession.h"
#include "platform/settings/ProfileSettings.h"
#include "recorder/RecorderState.h"
#include "recorder/RecorderText.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

std::time_t LocalTime(int year, int month, int day) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = 12;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

// Runs the recorder with a scripted person and records what it did.
class RecorderRun : public testing::Test {
 protected:
  struct Launch {
    std::string program;
    std::vector<std::string> args;
    bool lockFreeAtLaunch = false;
  };

  int Run() {
    CRecorderApp::Environment env;
    env.takeInventory = [this] { return inventory; };
    env.now = [this] { return now; };
    env.runMainWindow = [this](CRecorderApp& app) {
      mainWindowRuns++;
      cdLetter = app.CdDriveLetter();
      midiDevice = app.MidiDevice();
      midiInstrument = app.MidiInstrument();
      databaseOpen = app.Database().IsOpen();
    };
    env.startAdministrator = [this](const std::string& program,
                                    const std::vector<std::string>& args) {
      InstanceLock probe(text::kGlobalMutexName);
      launches.push_back({program, args, probe.TryAcquire()});
    };
    CRecorderApp app(std::move(env));
    return app.Run();
  }

  test::ScriptedUi ui;
  RecorderInventory inventory;
  std::time_t now = LocalTime(2000, 2, 1);
  int mainWindowRuns = 0;
  char cdLetter = '?';
  int midiDevice = -2;
  int midiInstrument = -1;
  bool databaseOpen = false;
  std::vector<Launch> launches;
};

TEST_F(RecorderRun, SecondProgramIsTurnedAwayWithoutTouchingAnything) {
  test::MakeTestLibrary();
  InstanceLock running(text::kGlobalMutexName);
  ASSERT_TRUE(running.TryAcquire());
  Run();
  EXPECT_EQ(ui.Texts(), std::vector<QString>{QString::fromUtf8(text::kAnotherProgramRunning)});
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Stop);
  EXPECT_EQ(mainWindowRuns, 0);
  EXPECT_EQ(ProfileSettings::Get(settings::kLastMaint), "");
  EXPECT_TRUE(running.IsHeld());
}

TEST_F(RecorderRun, MissingLibraryEntryDeclinedOrCancelledEnds) {
  Run();  // the question defaults to No
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, QString::fromUtf8(text::kDbEntryNotFound));
  EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(ui.messages[0].defaultButton, 1);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Question);
  EXPECT_EQ(ui.messages[1].text, QString::fromUtf8(text::kCannotRunWithoutDb));
  EXPECT_EQ(ui.messages[1].icon, MsgIcon::Exclamation);

  ui.messages.clear();
  ui.answers = {MsgAnswer::Yes};  // then the file chooser is cancelled
  Run();
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].filter, QString::fromUtf8(text::kDbFileFilter));
  EXPECT_TRUE(ui.fileRequests[0].mustExist);
  EXPECT_EQ(ui.Texts().back(), QString::fromUtf8(text::kCannotRunWithoutDb));
  EXPECT_EQ(mainWindowRuns, 0);
}

TEST_F(RecorderRun, LocatingAnyFileStoresItsFolderAndOpensVelumixVxl) {
  const std::string music = test::MakeTestLibrary("Music");
  ProfileSettings::Set(settings::kSongDbPath, "");
  ui.answers = {MsgAnswer::Yes};
  ui.files = {QString::fromStdString(music + "/Old.vxl")};
  Run();
  EXPECT_EQ(ProfileSettings::Get(settings::kSongDbPath).toStdString(), music);
  EXPECT_EQ(mainWindowRuns, 1);
  EXPECT_TRUE(databaseOpen);
  EXPECT_EQ(ui.messages.size(), 1u);  // only the question
}

TEST_F(RecorderRun, LibraryProblemsEndStartUpWithTheirTexts) {
  const std::string dir = test::MakeTestLibrary();
  const std::string file = dir + "/Velumix.vxl";
  {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "UPDATE VeluParms SET ParmValue = '1.5'", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  Run();
  EXPECT_EQ(ui.Texts().back(), QString::fromUtf8(text::kDbVersionWrong));

  {  // another program holds the library exclusively
    sqlite3* holder = nullptr;
    sqlite3_open(file.c_str(), &holder);
    sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr,
                 nullptr);
    Run();
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
  }
  EXPECT_EQ(ui.Texts().back(), QString::fromUtf8(text::kDaoInUse));

  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(file + suffix);
  std::ofstream(file) << std::string(8192, 'j');
  Run();
  EXPECT_EQ(ui.Texts().back(), QString::fromUtf8(text::kDaoCorrupt));
  EXPECT_EQ(mainWindowRuns, 0);
}

TEST_F(RecorderRun, MaintenanceIsHandedOverAfterThirtyDays) {
  test::MakeTestLibrary();
  Run();  // never maintained: today is recorded, nothing is started
  EXPECT_EQ(ProfileSettings::Get(settings::kLastMaint), "2000 02 01");
  EXPECT_TRUE(launches.empty());

  ProfileSettings::Set(settings::kLastMaint, "2000 01 02");
  Run();
  EXPECT_TRUE(launches.empty());

  ProfileSettings::Set(settings::kLastMaint, "2000 1 1");
  Run();
  EXPECT_TRUE(launches.empty());
  EXPECT_EQ(ProfileSettings::Get(settings::kLastMaint), "2000 1 1");

  ProfileSettings::Set(settings::kLastMaint, "2000 01 01");
  Run();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].args, std::vector<std::string>{"/Fullmaint=31"});
  EXPECT_NE(launches[0].program.find("vxadmin"), std::string::npos);
  EXPECT_TRUE(launches[0].lockFreeAtLaunch);
  EXPECT_EQ(ProfileSettings::Get(settings::kLastMaint), "2000 01 01");
}

TEST_F(RecorderRun, DevicesAreChosenFromTheInventory) {
  test::MakeTestLibrary();
  inventory.cdLetters = {'D', 'F'};
  inventory.midiTechnologies = {1, -1, 3, 2};
  ProfileSettings::Set(settings::kMidiInstrument, 300);
  Run();
  EXPECT_EQ(cdLetter, ' ');     // two drives, none chosen yet
  EXPECT_EQ(midiDevice, 2);     // first FM/square/generic synthesizer
  EXPECT_EQ(midiInstrument, 300 & 0xff);

  ProfileSettings::Set(settings::kCdRomDrive, "F:");
  ProfileSettings::Set(settings::kMidiDevice, 1);
  Run();
  EXPECT_EQ(cdLetter, 'F');
  EXPECT_EQ(midiDevice, 1);

  inventory.cdLetters = {'E'};
  inventory.midiTechnologies = {};
  ProfileSettings::Set(settings::kMidiInstrument, 50);
  Run();
  EXPECT_EQ(cdLetter, 'E');
  EXPECT_EQ(midiDevice, -1);
  EXPECT_EQ(midiInstrument, 37);  // not read without a MIDI device

  EXPECT_EQ(CRecorderApp::DefaultMidiDevice({1, 5, 6}), 0);
}

TEST(RecorderDevices, OneMediaControlWrapperTakesTheInventoryAndServesTheWholeRun) {
  test::ScriptedUi ui;
  test::MakeTestLibrary();
  mci::MciSession session;
  int made = 0;
  CRecorderApp::Environment env;
  env.makeMciDevice = [&] {
    ++made;
    CMciDevice::Platform platform;
    platform.session = &session;
    platform.cdDriveLetters = [] { return std::string("DE"); };
    platform.midiOutCount = [] { return 1u; };
    platform.midiOutCaps = [](unsigned, midi::MidiOutCaps& caps) {
      caps = {"Synth", midi::kFmSynth};
      return true;
    };
    return std::make_unique<CMciDevice>(std::move(platform));
  };
  std::optional<RecorderState> state;
  env.runMainWindow = [&](CRecorderApp& app) { state = RecorderState::FromApp(app); };
  env.startAdministrator = [](const std::string&, const std::vector<std::string>&) {};
  CRecorderApp app(std::move(env));
  EXPECT_EQ(app.MciDevice(), nullptr);
  app.Run();

  EXPECT_EQ(made, 1);
  ASSERT_TRUE(state);
  EXPECT_NE(state->mci, nullptr);
  EXPECT_EQ(state->mci, app.MciDevice());  // still the same one after the window closed
  EXPECT_EQ(state->inventory.cdLetters, (std::vector<char>{'D', 'E'}));
  EXPECT_EQ(state->inventory.midiOutputs, std::vector<std::string>{"0, FM Synth, Synth"});
  EXPECT_EQ(state->midiDevice, 0);
}

}  // namespace
}  // namespace vx
