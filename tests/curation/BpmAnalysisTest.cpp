// The analysed tempo in the BPM counter: shown beside the counted tempo once the worker has
// read the song, taken only by Take (and then counted from), and "no steady beat" for a song
// without one.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "admin/DemoSongs.h"
#include "curation/CBpmDlg.h"
#include "curation/CurationTestKit.h"
#include "curation/CurationText.h"
#include "platform/riff/WaveFile.h"
#include "support/ScriptedUi.h"
#include "support/TestFolder.h"

namespace vx {
namespace {

class BpmAnalysis : public testing::Test {
 protected:
  std::unique_ptr<CBpmDlg> Open(const std::string& path) {
    CBpmDlg::Song song;
    song.filePath = path;
    song.name = "SONG";
    return std::make_unique<CBpmDlg>(100, 0, 37, song);
  }

  // Runs the dialog's events until the analysed tempo is no longer being worked out.
  static QString AnalysedText(CBpmDlg& dialog) {
    auto* label = dialog.findChild<QLabel*>("analysedTempo");
    QElapsedTimer timer;
    timer.start();
    while (label->text().startsWith(QStringLiteral("Analysing")) && timer.elapsed() < 120000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return label->text();
  }

  test::ScriptedUi ui_;
  test::CurationMachine machine_;
};

TEST_F(BpmAnalysis, TheAnalysedTempoIsOfferedAndTakenOnlyByTake) {
  const std::string path = test::TestFolder() + "/groove.wav";
  const std::vector<std::int16_t> samples = admin::MakeDemoSamples(118, 20, 44100, 2, 5);
  riff::WaveFileWriter writer;
  ASSERT_TRUE(writer.Create(path, riff::WaveFormat::Pcm16(2, 44100)));
  writer.Append(samples.data(), samples.size() * sizeof(std::int16_t));
  ASSERT_TRUE(writer.Close());

  auto dialog = Open(path);
  auto* take = dialog->findChild<QPushButton*>("takeAnalysedButton");
  auto* field = dialog->findChild<QLineEdit*>("bpmField");
  EXPECT_EQ(take->text(), "&Take");
  const QString analysed = AnalysedText(*dialog);
  EXPECT_NEAR(analysed.toDouble(), 118, 0.5) << analysed.toStdString();
  EXPECT_EQ(field->text(), "100.00");  // not taken by itself
  ASSERT_TRUE(take->isEnabled());

  take->click();
  EXPECT_EQ(field->text(), analysed);
  dialog->OnSet();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(dialog->Tempo(), analysed.toDouble());
}

TEST_F(BpmAnalysis, ASongWithoutBeatsOffersNothing) {
  const std::string path = test::TestFolder() + "/silence.wav";
  test::WriteSilentSong(path, 20000);
  auto dialog = Open(path);
  EXPECT_EQ(AnalysedText(*dialog), QString::fromUtf8(text::kBpmNoSteadyBeat));
  EXPECT_FALSE(dialog->findChild<QPushButton*>("takeAnalysedButton")->isEnabled());
  dialog->OnTakeAnalysed();
  EXPECT_EQ(dialog->findChild<QLineEdit*>("bpmField")->text(), "100.00");
}

}  // namespace
}  // namespace vx
