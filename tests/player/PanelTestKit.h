// Helpers for the chooser and control panel tests: a test library with songs, types and
// playlists, and stand-in decks that record what they were asked to load.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/dao/DaoDatabase.h"
#include "player/DeckAccess.h"

namespace vx::player::test {

// Writes a playlist with its entries numbered 1, 2, ... in the order given.
void AddPlaylist(dao::DaoDatabase& db, const std::string& name,
                 const std::vector<std::int32_t>& songIds);

// A fresh library in the test folder, open.
class PanelLibrary {
 public:
  PanelLibrary();
  dao::DaoDatabase& Db() { return db_; }

  // compression: ' ', 'A', 'M' (files) or 'C' (CD).
  void AddSong(std::int32_t id, const std::string& name, const std::string& artist,
               const std::string& type, double bpm, char compression = ' ');
  void AddType(const std::string& code);
  void AddPlaylist(const std::string& name, const std::vector<std::int32_t>& songIds) {
    test::AddPlaylist(db_, name, songIds);
  }

 private:
  dao::DaoDatabase db_;
};

// Decks that load every song in `playable` and count a failure for any other.
class FakeDecks : public DeckAccess {
 public:
  FakeDecks(int count, std::set<std::int32_t> playable)
      : count_(count), playable_(std::move(playable)) {}

  int WavDeckCount() const override { return count_; }
  bool LoadSong(int index, std::int32_t songId) override;

  // Every load asked for: (deck, SongID).
  std::vector<std::pair<int, std::int32_t>> loads;
  int failures[2] = {0, 0};

 private:
  int count_;
  std::set<std::int32_t> playable_;
};

}  // namespace vx::player::test
