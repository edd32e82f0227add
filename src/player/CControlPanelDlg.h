// The player's control panel: the playlists of the library, the entries of the chosen one,
// F5 / F6 to load the selected entry into WAV deck 1 / 2, the automatic mode that loads the
// next entry into the other deck whenever a deck's song ends, a clock, and the keys H (help),
// X (end the player, after a question) and numeric-pad . (preferences).
//
// The panel reaches the decks only through DeckAccess and the rest of the player through
// ControlPanelHooks, so it can be driven with stand-ins.
#pragma once

#include <QTime>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

#include "player/PlayerColors.h"
#include "player/Skin.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QListWidget;
class QPushButton;

namespace vx::dao {
class DaoDatabase;
}

namespace vx::player {

class DeckAccess;

// What the panel asks of the player application.
struct ControlPanelHooks {
  std::function<void()> openPreferences;  // numeric-pad .
  std::function<void(QWidget* caller, const QString& title, const QString& text)> showHelp;
  std::function<void()> endPlayer;        // X answered with Yes: close the main frame
  std::function<QTime()> clock;           // local time; the system clock when unset
};

// "%I:%M:%S %p": 12-hour clock with AM / PM, e.g. "01:02:03 PM".
QString ClockText(const QTime& time);

class CControlPanelDlg : public CSkinnedDialog, public ColorReceiver {
  Q_OBJECT
 public:
  CControlPanelDlg(dao::DaoDatabase& db, DeckAccess& decks, const PlayerColors& colors,
                   ControlPanelHooks hooks, QWidget* parent = nullptr);

  QComboBox* Playlists() const { return playlists_; }
  QListWidget* Entries() const { return entries_; }
  QCheckBox* AutoBox() const { return auto_; }
  QString Clock() const;
  // The WAV deck loaded last (0 or 1).
  int LastLoadedDeck() const { return lastDeck_; }

 public slots:
  // Lists the entries of the playlist at that index of the combo box.
  void OnSelectPlaylist(int index);
  // F5 (deck 0) and F6 (deck 1): the selected entry into that deck.
  void OnLoadDeck(int deck);
  // A deck's song has ended; in automatic mode the next entry goes to the other deck.
  void OnSongEnded(int deck);
  void OnTimer();
  void OnHelp();
  void OnPreferences();
  // Asks whether to end the player; Yes ends it.
  void OnExit();
  void ApplyColors(const PlayerColors& colors) override;
  // The panel closes only with the player.
  void reject() override {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  // Where each playlist stands: the entry to load next, and whether its last entry has been
  // loaded (automatic mode then stops instead of repeating it).
  struct Position {
    int next = 0;
    bool finished = false;
  };

  void BuildControls();
  void FillPlaylists();
  bool HandleKey(const QKeyEvent& key);
  // Loads the selected entry into deck and moves to the next entry; false when nothing was
  // loaded.
  bool LoadSelected(int deck);
  void SelectEntry(int row);
  void OnEntryChosen(int row);
  Position* CurrentPosition();

  dao::DaoDatabase& db_;
  DeckAccess& decks_;
  PlayerColors colors_;
  ControlPanelHooks hooks_;
  QComboBox* playlists_;
  QListWidget* entries_;
  SkinLabel* hint_;
  SkinLabel* clock_;
  QPushButton* quit_;
  QCheckBox* auto_;
  QTimer clockTimer_;
  std::vector<Position> positions_;     // one per playlist in the combo box
  std::vector<std::int32_t> songIds_;   // one per entry of the list
  int lastDeck_ = 0;
  bool selecting_ = false;              // the panel itself is moving the selection
};

}  // namespace vx::player
