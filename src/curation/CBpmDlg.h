// "Set Beats Per Minute": plays the song and, at the same time, a click on a MIDI output at
// the tempo shown. The user steps the tempo with the arrows, presses Restart on a beat of the
// music to line the clicks up with it, and Set hands the tempo back to the song editor.
// Meanwhile the song file's tempo is analysed on a worker thread and shown beside the counted
// one; Take puts it in the field and restarts the clicks at it (nothing is kept unless the
// user sets the tempo and saves the song).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "curation/CPlaybackDlg.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolButton;

namespace vx {

class Metronome;
class TempoAnalysis;

class CBpmDlg : public CPlaybackDlg {
  Q_OBJECT
 public:
  // The song the counter plays: a file, or (cd) a track of an audio CD.
  struct Song {
    bool cd = false;
    std::string filePath;
    QString name;
    std::string discIdentity;
    QString albumName;
    int trackNumber = 0;
    char driveLetter = ' ';
  };

  static constexpr double kDefaultTempo = 100.0;

  // tempo: the song's present tempo (taken when it lies in 1.00..250.00); midiDevice: the
  // MIDI output's number; note: the click's key number on the percussion channel.
  CBpmDlg(double tempo, int midiDevice, std::uint8_t note, const Song& song,
          QWidget* parent = nullptr);
  ~CBpmDlg() override;

  // The tempo after Set.
  double Tempo() const { return tempo_; }
  // The volume in force (low 16 bits left, high 16 bits right).
  std::uint32_t Volume() const { return volume_; }
  static bool InRange(double tempo);

  // Children by object name: "bpmField", "bpmUp", "bpmDown", "restartButton", "setButton",
  // "cancelButton", "volumeSlider", "analysedTempo", "takeAnalysedButton", and those of
  // CPlaybackDlg.
 public slots:
  // The arrows: steps of 0.01 BPM, held to 1.00..250.00.
  void OnStep(int steps);
  void OnRestart();
  void OnSet();
  void OnVolume(int position);
  void OnTakeAnalysed();
  // The analysis' reports, on the dialog's thread.
  void OnAnalysing(int percent);
  void OnAnalysed(std::optional<double> tempo);

 protected:
  void RestartSong() override { StartSong(false); }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  bool Open(int midiDevice, std::uint8_t note);
  void StartSong(bool reopen);
  void ShowTempo();
  // The field read as a decimal number (text after the number is ignored; none reads 0).
  double FieldTempo() const;
  void TimerFailed();
  void StartAnalysis();

  Song song_;
  double tempo_ = kDefaultTempo;
  int stepPosition_ = 10000;  // tempo x 100
  std::uint32_t volume_ = 0xFFFFFFFF;
  std::unique_ptr<Metronome> metronome_;
  std::unique_ptr<TempoAnalysis> analysis_;
  std::optional<double> analysedTempo_;

  QLineEdit* bpmField_ = nullptr;
  QToolButton* up_ = nullptr;
  QToolButton* down_ = nullptr;
  QSlider* volumeSlider_ = nullptr;
  QLabel* analysed_ = nullptr;
  QPushButton* take_ = nullptr;
};

}  // namespace vx
