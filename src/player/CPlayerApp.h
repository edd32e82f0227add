// The player's application object: from process start until the decks are up, and the
// orderly exit. It takes the single-instance lock, reads the colours, shows the maximised
// frame, opens the library shared and read-only and checks its version, reads the sync
// offset, makes one WAV deck per wave output that plays 44.1 kHz 16-bit stereo (at most
// two, in the order of DeviceOrder: the outputs the user named, the cards, the sound
// servers; both decks on one output when the user chose so, on its two channels in split
// mode), one CD deck for the first CD drive, reads the hot list, routes
// the function keys between the windows and runs the preferences.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dao/DaoDatabase.h"
#include "platform/instance/InstanceLock.h"
#include "player/engine/AudioServerLink.h"
#include "player/engine/PitchProcessor.h"
#include "player/PlayerColors.h"
#include "player/PlayerHost.h"

class QMainWindow;
class QMdiArea;

namespace vx::wave {
class WaveDeviceList;
struct DeckOutput;
}

namespace vx::player {

class CKeyHelpDlg;
class CWavPlayerDlg;

class CPlayerApp : public QObject, public PlayerHost {
  Q_OBJECT
 public:
  static constexpr int kMaxWavDecks = 2;

  // Where the CD deck goes: the first CD drive, numbered after the WAV decks, heard on the
  // first wave output no WAV deck holds (or, when they hold every one, on the output the
  // setting Player/CdOutput names, shared with that deck).
  struct CdDeckPlace {
    char driveLetter = 'D';
    int deckNumber = 0;
    std::size_t output = 0;
    QWidget* frame = nullptr;
  };

  // What the outside world supplies; tests replace what they need.
  struct Environment {
    wave::WaveDeviceList* devices = nullptr;  // the system's list when null
    std::function<std::unique_ptr<AudioServerLink>()> makeServerLink;  // real client when unset
    // The CD deck's place: makes the started CD deck window, or null. None when unset.
    std::function<QWidget*(CPlayerApp& app, const CdDeckPlace& place)> makeCdDeck;
    // The letters of the machine's CD drives, in drive order; the inventory when unset.
    std::function<std::string()> cdDriveLetters;
    // The control panel's place: makes the control panel (which also receives the decks'
    // song-ended messages), or null. By default there is none yet.
    std::function<QWidget*(QWidget* frame)> makeControlPanel;
  };

  CPlayerApp();
  explicit CPlayerApp(Environment environment);
  ~CPlayerApp() override;

  // Start-up; false when the player must end (the reason was shown).
  bool StartUp();
  // Start-up, the event loop, exit. Answers the process exit code.
  int Run();
  // Closes everything in order: database, control panel, CD deck, WAV decks, key help,
  // frame, lock. Harmless twice.
  void ExitInstance();

  // PlayerHost.
  CWavPlayerDlg* WavDeck(int index) const override;
  std::int32_t HotListEntry(int entry) const override;
  void ShowHelp(QWidget* caller, const QString& title, const QString& text) override;
  void Select(QWidget* window) override;

  // What the windows ask, by WAV deck index.
  double DeckBpm(int index) const;
  QString DeckSongType(int index) const;
  std::pair<std::int32_t, long> DeckSongAndHeardMs(int index) const;

  int WavDeckCount() const { return static_cast<int>(wavDecks_.size()); }
  QWidget* CdDeck() const { return cdDeck_; }
  QWidget* ControlPanel() const { return controlPanel_; }
  QMainWindow* Frame() const { return frame_.get(); }
  dao::DaoDatabase& Database() { return database_; }
  const PlayerColors& Colors() const { return colors_; }
  float SyncOffset() const { return syncOffset_; }
  int MeterDelay() const { return meterDelay_; }
  const std::array<std::int32_t, 5>& HotList() const { return hotList_; }
  const QString& LibraryFolder() const { return libraryFolder_; }

  // Takes four new colours: every window redraws with them and they are stored.
  void ApplyColors(const PlayerColors& colors);
  // Stores the meter delay (for the next start) and the hot list.
  void SaveMeterDelayAndHotList(int meterDelay, const std::array<std::int32_t, 5>& hotList);
  // Stores the decks' outputs by name (empty: automatic), for the next start.
  void SaveDeckOutputs(const std::array<QString, 2>& outputs);
  // Stores the kind and gives it to every WAV deck (heard from its next load or jump on).
  void SavePitchQuality(PitchQuality quality);

 public slots:
  // The preferences dialog, run modally; OK applies and stores, Cancel changes nothing.
  void OnPreferences();

 protected:
  // Key routing before any window sees a key-down.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool ShowFrame();
  bool OpenLibrary();
  void ReadSyncOffset();
  void MakeWavDecks();
  // Makes the next WAV deck on an output; false when it could not start.
  bool MakeWavDeck(wave::WaveDeviceList& devices, const wave::DeckOutput& output);
  void MakeCdDeck();
  // The outputs the preferences offer the decks, by name.
  QStringList DeckOutputNames() const;
  // The output the CD deck plays to (see CdDeckPlace).
  std::size_t CdOutput(wave::WaveDeviceList& devices) const;
  void ReadHotList();
  void Place(QWidget* window, const QRect& geometry);
  bool IsPlayableSong(std::int32_t songId);

  Environment env_;
  InstanceLock lock_;
  PlayerColors colors_;
  QString libraryFolder_;
  std::string songsFolder_;
  dao::DaoDatabase database_;
  float syncOffset_ = 0.1f;
  int meterDelay_ = 7;
  std::array<std::int32_t, 5> hotList_{};
  std::unique_ptr<QMainWindow> frame_;
  QMdiArea* area_ = nullptr;
  std::vector<CWavPlayerDlg*> wavDecks_;
  std::vector<std::size_t> wavDeckOutputs_;  // the output of each WAV deck
  PitchQuality pitchQuality_ = PitchQuality::kClassic;  // the WAV decks' kind of speed change
  // Split mode: the left and right channels of the decks' output, as devices of their own.
  std::unique_ptr<wave::WaveDeviceList> splitOutputs_;
  QPointer<QWidget> cdDeck_;
  QPointer<QWidget> controlPanel_;
  CKeyHelpDlg* keyHelp_ = nullptr;
  bool filtering_ = false;
};

}  // namespace vx::player
