#include "player/HostDeckAccess.h"

#include "player/CWavPlayerDlg.h"
#include "player/PlayerHost.h"

namespace vx::player {

int HostDeckAccess::WavDeckCount() const {
  int count = 0;
  while (count < 2 && host_.WavDeck(count)) ++count;
  return count;
}

bool HostDeckAccess::LoadSong(int index, std::int32_t songId) {
  CWavPlayerDlg* deck = host_.WavDeck(index);
  return deck && deck->LoadSong(songId);
}

}  // namespace vx::player
