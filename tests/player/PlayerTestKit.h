// Helpers for deck and player tests: a test library with songs (files and rows), virtual
// outputs, and a host that holds up to two real WAV decks.
#pragma once

#include <QKeyEvent>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dao/DaoDatabase.h"
#include "platform/wave/WaveDeviceList.h"
#include "player/CWavPlayerDlg.h"
#include "player/engine/CWavPlayerThread.h"
#include "player/PlayerHost.h"

namespace vx::player::test {

// A library in the test folder, recorded as SongDbPath, opened shared.
class TestLibrary {
 public:
  TestLibrary();
  // Writes a stereo 44.1 kHz song of that many seconds (unless compression is "C") and its
  // row; cues are CueOffset texts, described "CUE 1", "CUE 2", ...
  void AddSong(std::int32_t id, double seconds, double bpm, const std::string& type = "HOUSE",
               const std::string& compression = " ", const std::vector<std::string>& cues = {});
  dao::DaoDatabase& Db() { return db_; }
  const std::string& Folder() const { return folder_; }
  std::string SongsFolder() const { return folder_ + "/Songs"; }

 private:
  std::string folder_;
  dao::DaoDatabase db_;
};

// Virtual outputs with tapes in the test folder.
std::unique_ptr<wave::WaveDeviceList> VirtualOutputs(int count, double speed);

// Up to two WAV decks on virtual outputs over a test library, this object as their host.
class DeckRig : public PlayerHost {
 public:
  explicit DeckRig(double speed = 20, int outputs = 2);
  ~DeckRig() override;

  TestLibrary library;
  // Makes the next deck and starts it; fails the test when it does not start.
  CWavPlayerDlg& AddDeck(int meterDelay = 7);
  CWavPlayerDlg& Deck(int index) { return *decks_.at(static_cast<std::size_t>(index)); }
  // Closes every deck (and so its engine and output): the tapes are complete afterwards.
  void CloseDecks() { decks_.clear(); }

  CWavPlayerDlg* WavDeck(int index) const override;
  std::int32_t HotListEntry(int entry) const override;
  void ShowHelp(QWidget* caller, const QString& title, const QString& text) override;
  void Select(QWidget* window) override;

  std::int32_t hotList[5] = {0, 0, 0, 0, 0};
  QString helpTitle;
  QWidget* selected = nullptr;  // the window Select gave the focus last
  QObject* controlPanel = nullptr;  // given to decks made after it is set
  // The audio server link of decks made after it is set; a PCM-only link by default.
  std::function<std::unique_ptr<AudioServerLink>()> makeServerLink;
  // Decks made after it is set decode compressed songs through the real vxacmsvr.
  bool realAudioServer = false;

 private:
  std::unique_ptr<wave::WaveDeviceList> devices_;
  std::vector<std::unique_ptr<CWavPlayerDlg>> decks_;
};

// Key events as a person makes them.
void Press(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           bool autoRepeat = false);
void Release(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             bool autoRepeat = false);
void Type(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
inline constexpr Qt::KeyboardModifiers kPad = Qt::KeypadModifier;

// Runs posted events until condition holds (bounded); false when it never did.
bool ProcessUntil(const std::function<bool()>& condition, int limitMs = 30000);

}  // namespace vx::player::test

namespace vx::player::test {
// Loads a song and waits until the engine has taken the load (a command given before the
// engine took the previous one replaces it).
bool LoadAndSettle(CWavPlayerDlg& deck, std::int32_t songId);
}  // namespace vx::player::test
