#include "recorder/COptionsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/settings/ProfileSettings.h"
#include "recorder/CRecorderMainWindow.h"
#include "recorder/RecorderText.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

// The Options flow of a main window, driven through the scripted modal run.
class Options : public testing::Test {
 protected:
  Options() : folder_(test::MakeTestLibrary()) { database_.Open(folder_ + "/Velumix.vxl"); }

  std::unique_ptr<CRecorderMainWindow> Open(const RecorderInventory& inventory, char cdLetter,
                                            int midiDevice) {
    RecorderState state;
    state.libraryFolder = QString::fromStdString(folder_);
    state.database = &database_;
    state.inventory = inventory;
    state.cdDriveLetter = cdLetter;
    state.midiDevice = midiDevice;
    CRecorderMainWindow::Environment env;
    env.diskSpace = [](const std::string&) { return DiskFigures{1, 2}; };
    return std::make_unique<CRecorderMainWindow>(std::move(state), std::move(env));
  }

  // What the dialog showed when it opened.
  struct Shown {
    QStringList drives;
    QString drive;
    bool drivesEnabled = false;
    QStringList midi;
    int midiIndex = -2;
    bool midiEnabled = false;
    bool tips = false;
  };

  // Runs Options; choose() sets the controls, then OK or Cancel is pressed.
  Shown Run(CRecorderMainWindow& window, bool ok,
            const std::function<void(QComboBox&, QComboBox&, QCheckBox&)>& choose = {}) {
    Shown shown;
    ui.modalDriver = [&](QDialog& dialog) {
      auto* drives = dialog.findChild<QComboBox*>("cdRomList");
      auto* midi = dialog.findChild<QComboBox*>("midiList");
      auto* tips = dialog.findChild<QCheckBox*>("showTips");
      for (int i = 0; i < drives->count(); ++i) shown.drives << drives->itemText(i);
      for (int i = 0; i < midi->count(); ++i) shown.midi << midi->itemText(i);
      shown.drive = drives->currentText();
      shown.drivesEnabled = drives->isEnabled();
      shown.midiIndex = midi->currentIndex();
      shown.midiEnabled = midi->isEnabled();
      shown.tips = tips->isChecked();
      if (choose) choose(*drives, *midi, *tips);
      auto* buttons = dialog.findChild<QDialogButtonBox*>();
      buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
      return dialog.result();
    };
    window.RunFlow(RecorderFlow::Options);
    return shown;
  }

  test::ScriptedUi ui;
  std::string folder_;
  dao::DaoDatabase database_;
};

TEST_F(Options, OkWritesTheChoiceAndCancelChangesNothing) {
  RecorderInventory inventory;
  inventory.cdLetters = {'D', 'E'};
  inventory.midiOutputs = {"0, Synth A, FM synthesizer", "1, Port B, MIDI port"};
  auto window = Open(inventory, 'D', 0);

  const Shown shown = Run(*window, true, [](QComboBox& drives, QComboBox& midi, QCheckBox& tips) {
    drives.setCurrentIndex(1);
    midi.setCurrentIndex(1);
    tips.setChecked(true);
  });
  EXPECT_EQ(ui.dialogsRun, std::vector<QString>{QString::fromUtf8(text::kOptionsTitle)});
  EXPECT_EQ(shown.drives, QStringList({"D", "E"}));
  EXPECT_EQ(shown.drive, "D");
  EXPECT_TRUE(shown.drivesEnabled);
  EXPECT_EQ(shown.midi, QStringList({"0, Synth A, FM synthesizer", "1, Port B, MIDI port"}));
  EXPECT_EQ(shown.midiIndex, 0);
  EXPECT_TRUE(shown.midiEnabled);
  EXPECT_FALSE(shown.tips);
  EXPECT_EQ(ProfileSettings::Get(settings::kCdRomDrive), "E");
  EXPECT_EQ(ProfileSettings::Get(settings::kMidiDevice), 1);
  EXPECT_EQ(ProfileSettings::Get(settings::kTipStartUp), 1);
  EXPECT_EQ(window->State().cdDriveLetter, 'E');
  EXPECT_EQ(window->State().midiDevice, 1);

  const Shown again = Run(*window, false, [](QComboBox& drives, QComboBox& midi, QCheckBox& tips) {
    drives.setCurrentIndex(0);
    midi.setCurrentIndex(0);
    tips.setChecked(false);
  });
  EXPECT_EQ(again.drive, "E");
  EXPECT_EQ(again.midiIndex, 1);
  EXPECT_TRUE(again.tips);
  EXPECT_EQ(ProfileSettings::Get(settings::kCdRomDrive), "E");
  EXPECT_EQ(ProfileSettings::Get(settings::kMidiDevice), 1);
  EXPECT_EQ(ProfileSettings::Get(settings::kTipStartUp), 1);
  EXPECT_EQ(window->State().cdDriveLetter, 'E');
  EXPECT_EQ(window->State().midiDevice, 1);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Options, MissingDevicesDisableTheirListsAndNothingIsInvented) {
  auto window = Open({}, ' ', -1);
  const Shown shown = Run(*window, true);
  EXPECT_FALSE(shown.drivesEnabled);
  EXPECT_FALSE(shown.midiEnabled);
  EXPECT_EQ(ProfileSettings::Get(settings::kCdRomDrive), "");
  EXPECT_EQ(ProfileSettings::Get(settings::kMidiDevice), -1);
  EXPECT_EQ(ProfileSettings::Get(settings::kTipStartUp), 0);
  EXPECT_EQ(window->State().cdDriveLetter, ' ');
  EXPECT_EQ(window->State().midiDevice, -1);

  // Two drives and none chosen yet: nothing is selected until the user picks one.
  RecorderInventory twoDrives;
  twoDrives.cdLetters = {'D', 'E'};
  window = Open(twoDrives, ' ', -1);
  EXPECT_EQ(Run(*window, true).drive, "");
  EXPECT_EQ(window->State().cdDriveLetter, ' ');
}

}  // namespace
}  // namespace vx
