// The key help window over the control panel: the panel's H shows its help there with the
// exact title and text, H in the help window hides it again; and the three help texts line
// by line.
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "PanelTestKit.h"
#include "player/CControlPanelDlg.h"
#include "player/CKeyHelpDlg.h"
#include "player/PlayerText.h"
#include "support/ScriptedUi.h"

namespace vx::player {
namespace {

QStringList HelpLines(const char* text) { return QString::fromUtf8(text).split('\n'); }

TEST(KeyHelp, ControlPanelHelpIsShownAndDismissedWithH) {
  test::PanelLibrary library;
  test::FakeDecks decks(2, {});
  vx::test::ScriptedUi ui;
  CKeyHelpDlg help;
  ControlPanelHooks hooks;
  hooks.showHelp = [&](QWidget* caller, const QString& title, const QString& text) {
    help.ShowHelp(caller, title, text);
  };
  CControlPanelDlg panel(library.Db(), decks, PlayerColors{}, hooks);
  panel.show();

  QTest::keyClick(&panel, Qt::Key_H);
  ASSERT_TRUE(help.isVisible());
  EXPECT_EQ(help.windowTitle(), "Control Panel Help - Press H key to dismiss");
  EXPECT_EQ(help.Caller(), &panel);
  auto* text = help.findChild<QPlainTextEdit*>();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->toPlainText(), text::kPanelHelpText);
  EXPECT_TRUE(text->isReadOnly());

  QTest::keyClick(text, Qt::Key_H);
  EXPECT_FALSE(help.isVisible());
}

TEST(KeyHelp, TheThreeHelpTextsReadExactly) {
  EXPECT_EQ(HelpLines(text::kPanelHelpText),
            (QStringList{"H = Display Key Help", "NUM PAD \".\" = Set Preferences",
                         "X = Exit Application"}));
  EXPECT_EQ(text::kPanelHelpTitle, std::string("Control Panel Help"));

  const QStringList cd = HelpLines(text::kCdHelpText);
  ASSERT_EQ(cd.size(), 9);
  EXPECT_EQ(cd.front(), "SPACE = Start/stop player.");
  EXPECT_EQ(cd[1], "INS/DEL = Previous/Next Track (SHIFT for logged tracks only)");
  EXPECT_EQ(cd[3], "PAGEUP/PAGEDOWN = Move 10 seconds back/forwards");
  EXPECT_EQ(cd.back(), "H = Show Key Help");
  EXPECT_EQ(text::kCdHelpTitle, std::string("CDPlayer Help"));

  const QStringList wav = HelpLines(text::kWavHelpText);
  ASSERT_EQ(wav.size(), 23);
  EXPECT_EQ(wav.front(), "SPACE = Start/Stop Player");
  EXPECT_EQ(wav[18], "F12 = Choose song to play (SHIFT for same Genre & BPM)");
  EXPECT_EQ(wav.back(), "1 THRU 5 = Load Hot List song 1 thru 5");
  EXPECT_EQ(text::kWavHelpTitle, std::string("WAVPlayer Help"));
}

}  // namespace
}  // namespace vx::player
