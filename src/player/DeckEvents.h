// The private messages of the player's windows, posted as QEvent::User + n. A WAV deck posts
// 102, 103 and 104 to itself and 106 to the control panel once when its song has played to
// the end; the control panel handles 106 in its customEvent and reads DeckIndex() to know
// which deck finished (automatic mode loads the next playlist entry into the other deck).
#pragma once

#include <QEvent>

namespace vx::player {

enum DeckMessage : int {
  kChooseSongMessage = 102,
  kShowKeyHelpMessage = 103,
  kChooseSongLikeMessage = 104,
  kSongEndedMessage = 106,
};

constexpr QEvent::Type DeckEventType(DeckMessage message) {
  return static_cast<QEvent::Type>(static_cast<int>(QEvent::User) + static_cast<int>(message));
}

class DeckEvent : public QEvent {
 public:
  DeckEvent(DeckMessage message, int deckIndex)
      : QEvent(DeckEventType(message)), deckIndex_(deckIndex) {}
  int DeckIndex() const { return deckIndex_; }

 private:
  int deckIndex_;
};

}  // namespace vx::player
