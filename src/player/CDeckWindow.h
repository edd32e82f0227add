// What the WAV decks and the CD deck share as windows: labels found by their control id, a
// message line that clears itself after a while, a product label that blinks while the deck
// has the keyboard focus, keys taken before the dialog's own handling, and the colours the
// control panel hands out.
#pragma once

#include <QString>
#include <QTimer>

#include <functional>

#include "player/PlayerColors.h"
#include "player/Skin.h"

class QKeyEvent;

namespace vx::player {

class CDeckWindow : public CSkinnedDialog, public ColorReceiver {
  Q_OBJECT
 public:
  // Takes the background, text and highlight colours: the message line is drawn in the
  // highlight colour, labels for which KeepsColor holds keep the colour they were made
  // with, every other label takes the text colour.
  void ApplyColors(const PlayerColors& colors) override;

  SkinLabel* Label(int id) const;
  // Failures of keys, sliders and timers since the deck opened.
  long ErrorCount() const { return errors_; }

 public slots:
  void OnMessageTimer();
  void OnBlinkTimer();

 protected:
  struct LabelIds {
    int product = 0;  // blinks while the deck is active
    int message = 0;  // cleared kMessageMs after each message
    int errorCount = 0;  // shows ErrorCount
  };
  static constexpr int kMessageMs = 2000;
  static constexpr int kBlinkMs = 250;

  CDeckWindow(int skinId, const PlayerColors& colors, LabelIds ids, QWidget* parent);

  const PlayerColors& Colors() const { return colors_; }
  SkinLabel* AddLabel(int id, const QString& text, const QFont& font, const QColor& color,
                      const QRect& geometry);
  // True while the keyboard focus is in this window.
  bool IsActive() const;
  void ShowMessage(const QString& message);
  // Runs a deck's start-up steps and answers their result; running out of memory shows the
  // player's memory message and answers noMemory, anything else thrown the unexpected-error
  // message and answers otherFailure.
  int GuardedStartUp(const std::function<int()>& steps, int noMemory, int otherFailure);
  // Runs one action; anything it throws ends it and adds one to the error count, shown at
  // once: a deck never interrupts a set with a message box.
  void Counted(const std::function<void()>& action);
  void CountFailure();
  void ShowErrors();

  // Keys are the deck's controls: they reach these before the dialog's own processing
  // (which would close on Escape or press a default button on Enter).
  bool event(QEvent* event) override;
  virtual void HandleKeyDown(const QKeyEvent& key) = 0;
  virtual void HandleKeyUp(const QKeyEvent&) {}
  virtual bool KeepsColor(int id) const = 0;
  // Redraws what draws itself in the deck's colours, after they changed.
  virtual void RedrawInColors() {}

  QTimer messageTimer_;
  QTimer blinkTimer_;

 private:
  PlayerColors colors_;
  LabelIds ids_;
  bool blinkPhase_ = false;
  long errors_ = 0;
};

}  // namespace vx::player
