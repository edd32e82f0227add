// The "Playback Control" group of the dialogs that play a song while they run: the song's
// name, the device's status and position, and the transport buttons (to start, back two
// seconds, play, forward two seconds, to end, stop, and for CD tracks the door).
#pragma once

#include <QGroupBox>
#include <array>

class QLineEdit;
class QToolButton;

namespace vx {

class SongPlayback;

// Paints a read-only field's background green or yellow: the two colours the dialogs use
// for "playing" / "saved" and "not playing" / "not saved".
void PaintField(QLineEdit& field, bool green);

class CPlaybackPanel : public QGroupBox {
  Q_OBJECT
 public:
  CPlaybackPanel(SongPlayback& playback, bool withDoor, QWidget* parent = nullptr);

  void SetSong(const QString& name);
  // The status text, on green while the device plays or seeks, else on yellow.
  void ShowStatus(const QString& text, bool moving);
  void ShowPosition(const QString& text);
  // The six transport buttons; the door stays usable so that a disc can be put in.
  void SetTransportEnabled(bool enabled);
  bool TransportEnabled() const;

  // Children by object name: "songField", "statusField", "positionField", "toStart", "back",
  // "play", "forward", "toEnd", "stop", "door".
 private:
  QLineEdit* song_;
  QLineEdit* status_;
  QLineEdit* position_;
  std::array<QToolButton*, 6> transport_{};
};

}  // namespace vx
