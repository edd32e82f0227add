// The recorder's main window "Velumix Recorder": ten large hover buttons, each with a hint
// shown while the mouse is over it, the song database summary (counts by kind and free disk
// space) and a status line any dialog may write to. Each button runs its flow guarded by
// the one catch order; a flow that fails closes the window, which ends the recorder.
// F12 anywhere in the window runs Search; a double click opens the About box.
//
// Widgets by object name: buttons "recordButton", "importButton", "logCdButton",
// "searchButton", "compressButton", "songTypesButton", "optionsButton", "techInfoButton",
// "playlistButton", "exitButton"; summary "totalSongs", "cdSongs", "compressedSongs",
// "uncompressedSongs", "spaceText", "spaceBar"; "statusLine".
#pragma once

#include <QDialog>
#include <QEvent>

#include <functional>
#include <map>
#include <vector>

#include "recorder/BuildStamp.h"
#include "recorder/DiskFigures.h"
#include "recorder/RecorderFlows.h"
#include "recorder/RecorderState.h"
#include "recorder/TechInfoSources.h"

class QLabel;
class QProgressBar;

namespace vx {

class CHoverButton;

class CRecorderMainWindow : public QDialog {
  Q_OBJECT
 public:
  // What the window takes from the outside world; tests replace what they need.
  struct Environment {
    DiskSpaceQuery diskSpace = QueryDiskSpace;
    BuildStamp build = ThisBuild();
    TechInfoSources techInfo = SystemTechInfoSources();
    FlowTable flows = BuiltFlows();
  };

  // Posted to the window when F12 is pressed anywhere in it; its handler runs Search.
  static constexpr QEvent::Type kSearchKeyMessage = QEvent::Type(QEvent::User + 101);

  CRecorderMainWindow(RecorderState state, Environment environment, QWidget* parent = nullptr);
  ~CRecorderMainWindow() override;

  const RecorderState& State() const { return state_; }
  const Environment& Env() const { return env_; }
  // The window's own copies, changed by Options.
  void SetCdDriveLetter(char letter) { state_.cdDriveLetter = letter; }
  void SetMidiDevice(int device) { state_.midiDevice = device; }

  CHoverButton* Button(RecorderFlow flow) const { return buttons_.at(flow); }

 public slots:
  void SetStatusText(const QString& text);
  // Recounts the songs and re-reads the free space.
  void RefreshSummary();
  // Runs a button's flow; nothing when this build lacks it.
  void RunFlow(vx::RecorderFlow flow);
  void OnSearch() { RunFlow(RecorderFlow::Search); }
  void OnAbout();
  void HideHints();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void customEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QLayout* MakeHeader();
  QLayout* MakeButtonPanel();
  QWidget* MakeSummaryPanel();
  QLabel* MakeCountField(const char* objectName);
  void UpdateSummary();
  // Runs work under the catch order; after a failure closes the window as cancelled.
  bool Guarded(const std::function<void()>& work);

  RecorderState state_;
  Environment env_;
  std::map<RecorderFlow, CHoverButton*> buttons_;
  std::vector<QWidget*> hints_;
  QLabel* totalSongs_ = nullptr;
  QLabel* cdSongs_ = nullptr;
  QLabel* compressedSongs_ = nullptr;
  QLabel* uncompressedSongs_ = nullptr;
  QLabel* spaceText_ = nullptr;
  QProgressBar* spaceBar_ = nullptr;
  QLabel* statusLine_ = nullptr;
};

}  // namespace vx
