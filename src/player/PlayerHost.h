// What a deck asks of the application it lives in: the other deck, the hot list, the key
// help window and the program folder. CPlayerApp answers these; tests may answer them too.
#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace vx::player {

class CWavPlayerDlg;

class PlayerHost {
 public:
  virtual ~PlayerHost() = default;
  // The WAV deck with that index; nullptr when there is none.
  virtual CWavPlayerDlg* WavDeck(int index) const = 0;
  // Hot list entry 1..5: a SongID, 0 when empty.
  virtual std::int32_t HotListEntry(int entry) const = 0;
  // Shows the key help window over caller.
  virtual void ShowHelp(QWidget* caller, const QString& title, const QString& text) = 0;
  // Gives a window the keyboard focus.
  virtual void Select(QWidget* window) = 0;
};

}  // namespace vx::player
