// The WAV deck's one key table: which action a key (with or without the numeric pad) asks
// for. Modifiers (SHIFT, CTRL) are left to the actions themselves.
#pragma once

class QKeyEvent;

namespace vx::player {

enum class DeckAction {
  None,
  StartStop,      // Space, numeric-pad +
  BackTen,        // Page Up
  ForwardTen,     // Page Down
  StartOfSong,    // Home
  EndOfSong,      // End
  PitchDown,      // Insert
  PitchUp,        // Delete
  PitchReset,     // Backspace
  BendLeft,       // arrows: bends
  BendRight,
  BendDown,
  BendUp,
  OtherDeck,      // Enter
  HotSong,        // 1 to 5 (argument: the entry)
  KeyHelp,        // H
  Identify,       // I
  LoadOther,      // L
  MousePitch,     // P
  PlayLiveCue,    // numeric-pad 0
  PresetCue,      // numeric-pad 1 to 9 (argument: the cue)
  SetLiveCue,     // numeric-pad .
  SyncBpm,        // numeric-pad -
  Flange,         // numeric-pad *
  BeatChorus,     // numeric-pad /
  ChooseSong,     // F4
};

struct DeckKey {
  DeckAction action = DeckAction::None;
  int argument = 0;
};

DeckKey DeckKeyFor(const QKeyEvent& event);

inline bool IsBend(DeckAction action) {
  return action == DeckAction::BendLeft || action == DeckAction::BendRight ||
         action == DeckAction::BendDown || action == DeckAction::BendUp;
}

}  // namespace vx::player
