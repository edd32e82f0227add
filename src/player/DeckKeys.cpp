#include "player/DeckKeys.h"

#include <QKeyEvent>

#include <array>

namespace vx::player {
namespace {

// Where a key must come from: anywhere, or only the numeric pad.
enum class Pad { Any, Only };

struct Binding {
  int key;
  Pad pad;
  DeckAction action;
};

constexpr std::array kBindings{
    Binding{Qt::Key_Space, Pad::Any, DeckAction::StartStop},
    Binding{Qt::Key_Plus, Pad::Only, DeckAction::StartStop},
    Binding{Qt::Key_PageUp, Pad::Any, DeckAction::BackTen},
    Binding{Qt::Key_PageDown, Pad::Any, DeckAction::ForwardTen},
    Binding{Qt::Key_Home, Pad::Any, DeckAction::StartOfSong},
    Binding{Qt::Key_End, Pad::Any, DeckAction::EndOfSong},
    Binding{Qt::Key_Insert, Pad::Any, DeckAction::PitchDown},
    Binding{Qt::Key_Delete, Pad::Any, DeckAction::PitchUp},
    Binding{Qt::Key_Backspace, Pad::Any, DeckAction::PitchReset},
    Binding{Qt::Key_Left, Pad::Any, DeckAction::BendLeft},
    Binding{Qt::Key_Right, Pad::Any, DeckAction::BendRight},
    Binding{Qt::Key_Down, Pad::Any, DeckAction::BendDown},
    Binding{Qt::Key_Up, Pad::Any, DeckAction::BendUp},
    Binding{Qt::Key_Return, Pad::Any, DeckAction::OtherDeck},
    Binding{Qt::Key_Enter, Pad::Any, DeckAction::OtherDeck},
    Binding{Qt::Key_H, Pad::Any, DeckAction::KeyHelp},
    Binding{Qt::Key_I, Pad::Any, DeckAction::Identify},
    Binding{Qt::Key_L, Pad::Any, DeckAction::LoadOther},
    Binding{Qt::Key_P, Pad::Any, DeckAction::MousePitch},
    Binding{Qt::Key_0, Pad::Only, DeckAction::PlayLiveCue},
    Binding{Qt::Key_Period, Pad::Only, DeckAction::SetLiveCue},
    Binding{Qt::Key_Comma, Pad::Only, DeckAction::SetLiveCue},  // decimal comma layouts
    Binding{Qt::Key_Minus, Pad::Only, DeckAction::SyncBpm},
    Binding{Qt::Key_Asterisk, Pad::Only, DeckAction::Flange},
    Binding{Qt::Key_Slash, Pad::Only, DeckAction::BeatChorus},
    Binding{Qt::Key_F4, Pad::Any, DeckAction::ChooseSong},
};

}  // namespace

DeckKey DeckKeyFor(const QKeyEvent& event) {
  const int key = event.key();
  const bool onPad = event.modifiers().testFlag(Qt::KeypadModifier);
  if (key >= Qt::Key_1 && key <= Qt::Key_9) {
    if (onPad) return {DeckAction::PresetCue, key - Qt::Key_0};
    if (key <= Qt::Key_5) return {DeckAction::HotSong, key - Qt::Key_0};
    return {};
  }
  for (const Binding& binding : kBindings) {
    if (binding.key != key) continue;
    if (binding.pad == Pad::Only && !onPad) continue;
    return {binding.action, 0};
  }
  return {};
}

}  // namespace vx::player
