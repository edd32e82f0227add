// What the control panel asks of the WAV decks, and how a deck tells the panel that its song
// has ended. The player application answers DeckAccess over its real decks; tests answer it
// with fakes. Deck indices are WAV deck indices: 0 for the first deck, 1 for the second.
#pragma once

#include <QCoreApplication>
#include <QObject>

#include <cstdint>

#include "player/DeckEvents.h"

namespace vx::player {

class DeckAccess {
 public:
  virtual ~DeckAccess() = default;

  // How many WAV decks exist: 0, 1 or 2. Indices below it are valid decks.
  virtual int WavDeckCount() const = 0;

  // Deck `index` (below WavDeckCount) loads the song with that SongID as the deck's own song
  // choice does: it reads the song's Songs row and cue points, opens its file, starts playing
  // it at once and takes the keyboard focus. Answers false when the song could not be loaded
  // (no such row or file, the engine refused it); the deck has then counted one failure on
  // its error display and keeps what it was doing. Never shows a message box.
  virtual bool LoadSong(int index, std::int32_t songId) = 0;
};

// A deck calls this once when its song has played to the end (and not again until the next
// song has started): the control panel then may load the next playlist entry. The report is
// posted, so the deck's own handler finishes before the panel loads anything into a deck.
inline void ReportSongEnded(QObject* controlPanel, int deckIndex) {
  if (controlPanel) {
    QCoreApplication::postEvent(controlPanel, new DeckEvent(kSongEndedMessage, deckIndex));
  }
}

}  // namespace vx::player
