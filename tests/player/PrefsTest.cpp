// The preferences: schemes, colour buttons, delay and hot list, and what OK and Cancel do.
#include "player/CPreferencesDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include "engine/EngineTestKit.h"
#include "PlayerTestKit.h"
#include "platform/settings/ProfileSettings.h"
#include "player/CColorButton.h"
#include "player/CControlPanelDlg.h"
#include "player/CPlayerApp.h"
#include "player/CWavPlayerDlg.h"
#include "player/HostDeckAccess.h"
#include "player/PlayerText.h"
#include "support/ScriptedUi.h"

namespace vx::player::test {
namespace {

QColor ButtonColor(QDialog& dialog, const char* name) {
  return dialog.findChild<CColorButton*>(name)->Color();
}

QString HotLine(QDialog& dialog, int line) {
  return dialog.findChild<QLabel*>(QStringLiteral("hot%1").arg(line))->text();
}

TEST(Prefs, SchemesColourButtonsAndHotListLines) {
  vx::test::ScriptedUi ui;
  TestLibrary library;
  library.AddSong(7, 1, 120);
  PlayerPreferences current;
  current.hotList = {7, 0, 0, 0, 0};
  current.meterDelay = 12;
  int chooserRuns = 0;
  CPreferencesDlg dialog(current, library.Db(), [&]() -> std::optional<std::int32_t> {
    return ++chooserRuns == 1 ? std::optional<std::int32_t>(7) : std::nullopt;
  });
  EXPECT_EQ(dialog.windowTitle(), "Velumix Player Preferences");
  auto* schemes = dialog.findChild<QComboBox*>("schemeList");
  EXPECT_EQ(schemes->count(), 3);
  EXPECT_EQ(schemes->currentText(), "Night");
  EXPECT_EQ(dialog.findChild<QSpinBox*>("delay")->value(), 12);
  EXPECT_EQ(dialog.findChild<QSpinBox*>("delay")->maximum(), 60);
  EXPECT_EQ(HotLine(dialog, 1), "SONG 7");
  EXPECT_EQ(HotLine(dialog, 2), "*EMPTY*");

  dialog.OnSchemeChosen(1);
  EXPECT_EQ(ButtonColor(dialog, "Text"), QColor(160, 96, 0));
  EXPECT_EQ(ButtonColor(dialog, "High"), QColor(255, 0, 0));
  EXPECT_EQ(ButtonColor(dialog, "Label"), QColor(150, 150, 150));
  dialog.OnSchemeChosen(2);
  EXPECT_EQ(ButtonColor(dialog, "Label"), QColor(255, 255, 255));

  // The colour chooser starts from the button's colour; a cancelled choice changes nothing.
  ui.colors = {QColor(1, 2, 3)};
  QTest::mouseClick(dialog.findChild<CColorButton*>("Back"), Qt::LeftButton);
  EXPECT_EQ(ButtonColor(dialog, "Back"), QColor(1, 2, 3));
  QTest::mouseClick(dialog.findChild<CColorButton*>("Back"), Qt::LeftButton);
  EXPECT_EQ(ButtonColor(dialog, "Back"), QColor(1, 2, 3));

  QTest::mouseClick(dialog.findChild<QPushButton*>("clear1"), Qt::LeftButton);
  EXPECT_EQ(HotLine(dialog, 1), "*EMPTY*");
  QTest::mouseClick(dialog.findChild<QPushButton*>("set4"), Qt::LeftButton);
  EXPECT_EQ(HotLine(dialog, 4), "SONG 7");
  QTest::mouseClick(dialog.findChild<QPushButton*>("set5"), Qt::LeftButton);  // cancelled
  EXPECT_EQ(HotLine(dialog, 5), "*EMPTY*");

  dialog.findChild<QSpinBox*>("delay")->setValue(3);
  dialog.OnOK();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Choices().meterDelay, 3);
  EXPECT_EQ(dialog.Choices().hotList, (std::array<std::int32_t, 5>{0, 0, 0, 7, 0}));
  EXPECT_EQ(dialog.Choices().colors.background, QColor(1, 2, 3));
  EXPECT_EQ(dialog.Choices().colors.text, QColor(128, 128, 128));
}

class PrefsInPlayer : public testing::Test {
 protected:
  PrefsInPlayer() : devices_(VirtualOutputs(1, 20)) {
    library.AddSong(5, 1, 120);
    ProfileSettings::SetInt("Player", "Hot2", 5);
    CPlayerApp::Environment env;
    env.devices = devices_.get();
    env.makeServerLink = [] { return std::make_unique<NoServer>(); };
    app = std::make_unique<CPlayerApp>(std::move(env));
  }
  vx::test::ScriptedUi ui;
  TestLibrary library;
  std::unique_ptr<wave::WaveDeviceList> devices_;
  std::unique_ptr<CPlayerApp> app;
};

TEST_F(PrefsInPlayer, CancelChangesNothingAndOkAppliesAndStores) {
  ASSERT_TRUE(app->StartUp());
  ASSERT_EQ(app->WavDeckCount(), 1);
  ui.modalDriver = [](QDialog& dialog) {
    static_cast<CPreferencesDlg&>(dialog).OnSchemeChosen(1);
    dialog.findChild<QPushButton*>("clear2")->click();
    return int(QDialog::Rejected);
  };
  app->OnPreferences();
  EXPECT_EQ(ProfileSettings::Get(settings::kPlayerDlgTextColor), "");
  EXPECT_EQ(app->HotListEntry(2), 5);
  EXPECT_EQ(app->Colors(), PlayerColors{});

  ui.modalDriver = [](QDialog& dialog) {
    auto& prefs = static_cast<CPreferencesDlg&>(dialog);
    prefs.OnSchemeChosen(1);
    prefs.findChild<QSpinBox*>("delay")->setValue(30);
    prefs.findChild<QPushButton*>("clear2")->click();
    prefs.OnOK();
    return prefs.result();
  };
  app->OnPreferences();
  EXPECT_EQ(ProfileSettings::Get(settings::kPlayerDlgBkColor), "000 000 000");
  EXPECT_EQ(ProfileSettings::Get(settings::kPlayerDlgTextColor), "160 096 000");
  EXPECT_EQ(ProfileSettings::Get(settings::kPlayerDlgHighColor), "255 000 000");
  EXPECT_EQ(ProfileSettings::Get(settings::kPlayerDlgLabelColor), "150 150 150");
  EXPECT_EQ(ProfileSettings::Get(settings::kSoundCardDriverDelay), 30);
  EXPECT_EQ(ProfileSettings::GetInt("Player", "Hot2", -1), 0);
  EXPECT_EQ(app->HotListEntry(2), 0);
  // The open deck redraws in the new colours but keeps its meter delay.
  CWavPlayerDlg* deck = app->WavDeck(0);
  EXPECT_EQ(deck->Control(kCtlSongName)->Color(), QColor(160, 96, 0));
  EXPECT_EQ(deck->Control(kCtlLabelLeft)->Color(), QColor(140, 140, 140));  // made with it
  EXPECT_EQ(deck->MeterDelay(), 7);
}

// The player as it runs: a control panel and a deck whose pitch is not 0.
TEST(PrefsWithControlPanel, OkRecoloursThePanelTheDecksAndTheBpm) {
  vx::test::ScriptedUi ui;
  TestLibrary library;
  library.AddSong(5, 30, 120);
  auto devices = VirtualOutputs(1, 20);
  CPlayerApp* app = nullptr;
  std::unique_ptr<HostDeckAccess> decks;
  CControlPanelDlg* panel = nullptr;
  CPlayerApp::Environment env;
  env.devices = devices.get();
  env.makeServerLink = [] { return std::make_unique<NoServer>(); };
  env.makeControlPanel = [&](QWidget* frame) -> QWidget* {
    decks = std::make_unique<HostDeckAccess>(*app);
    panel = new CControlPanelDlg(app->Database(), *decks, app->Colors(), {}, frame);
    return panel;
  };
  CPlayerApp player(std::move(env));
  app = &player;
  ASSERT_TRUE(player.StartUp());
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(player.Frame()->windowIcon().availableSizes().isEmpty());
  CWavPlayerDlg& deck = *player.WavDeck(0);
  ASSERT_TRUE(deck.LoadSong(5));
  QTest::keyClick(&deck, Qt::Key_Delete);
  EXPECT_EQ(deck.Control(kCtlBpm)->Color(), QColor(255, 128, 0));  // highlight at +1 %

  ui.colors = {QColor(10, 20, 30)};  // the colour chooser's answer
  ui.modalDriver = [](QDialog& dialog) {
    auto& prefs = static_cast<CPreferencesDlg&>(dialog);
    prefs.OnSchemeChosen(2);  // Outdoors
    QTest::mouseClick(prefs.findChild<CColorButton*>("Back"), Qt::LeftButton);
    prefs.OnOK();
    return prefs.result();
  };
  player.OnPreferences();
  EXPECT_EQ(panel->Background(), QColor(10, 20, 30));
  EXPECT_EQ(panel->AutoBox()->palette().color(QPalette::WindowText), QColor(255, 255, 255));
  EXPECT_EQ(deck.Background(), QColor(10, 20, 30));
  // At a pitch other than 0 the BPM keeps to the highlight colour, now the new one; back
  // at 0 it takes the new text colour.
  EXPECT_EQ(deck.Control(kCtlBpm)->Color(), QColor(192, 192, 192));
  QTest::keyClick(&deck, Qt::Key_Backspace);
  EXPECT_EQ(deck.Control(kCtlBpm)->Color(), QColor(128, 128, 128));
  EXPECT_EQ(deck.ErrorCount(), 0);
}

}  // namespace
}  // namespace vx::player::test
