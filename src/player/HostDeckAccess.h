// DeckAccess over the player's real WAV decks, as the application's PlayerHost hands them out.
#pragma once

#include "player/DeckAccess.h"

namespace vx::player {

class PlayerHost;

class HostDeckAccess : public DeckAccess {
 public:
  explicit HostDeckAccess(PlayerHost& host) : host_(host) {}

  // Decks 0 and 1, as far as the host has them.
  int WavDeckCount() const override;
  bool LoadSong(int index, std::int32_t songId) override;

 private:
  PlayerHost& host_;
};

}  // namespace vx::player
