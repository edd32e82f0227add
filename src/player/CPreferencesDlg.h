// "Velumix Player Preferences": a colour scheme list (Night, Day, Outdoors) that sets the
// four colour buttons, the buttons Back, Text, High and Label (each opens the colour chooser
// with its colour), the sound card delay 0..60, the five hot list lines with Set (the song
// chooser) and Clear, the outputs of deck 1 and deck 2 ("Automatic" or an output by name),
// and how the decks change speed (Classic, Smooth, Key lock). OK keeps the choices for the
// caller to apply and store; Cancel keeps nothing.
#pragma once

#include <QDialog>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "player/PlayerColors.h"
#include "player/engine/PitchProcessor.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace vx::dao {
class DaoDatabase;
}

namespace vx::player {

class CColorButton;

struct PlayerPreferences {
  PlayerColors colors;
  int meterDelay = 7;
  std::array<std::int32_t, 5> hotList{};
  // The outputs offered to the decks, by name, and each deck's choice (empty: automatic).
  QStringList outputNames;
  std::array<QString, 2> deckOutputs;
  PitchQuality pitchQuality = PitchQuality::kClassic;
};

class CPreferencesDlg : public QDialog {
  Q_OBJECT
 public:
  // chooseSong picks the song for a hot list line (nothing when cancelled).
  using SongChooser = std::function<std::optional<std::int32_t>()>;

  CPreferencesDlg(const PlayerPreferences& current, dao::DaoDatabase& db, SongChooser chooseSong,
                  QWidget* parent = nullptr);

  // The choices as they stand (after OK: as accepted).
  const PlayerPreferences& Choices() const { return choices_; }

  // Controls by object name: "schemeList", "Back", "Text", "High", "Label", "delay",
  // "hot1".."hot5" (the song names), "set1".."set5", "clear1".."clear5", "output1",
  // "output2", "pitchQuality" (items in the order of PitchQuality's numbers).
 public slots:
  void OnSchemeChosen(int scheme);
  void OnColorButton(int which);  // 0 Back, 1 Text, 2 High, 3 Label
  void OnSetHot(int line);        // 0..4
  void OnClearHot(int line);
  void OnOK();

 private:
  QColor& ColorOf(int which);
  void ShowHotLine(int line);

  dao::DaoDatabase& db_;
  SongChooser chooseSong_;
  PlayerPreferences choices_;
  QComboBox* schemes_;
  std::array<CColorButton*, 4> colorButtons_{};
  QSpinBox* delay_;
  std::array<QLabel*, 5> hotNames_{};
  std::array<QComboBox*, 2> outputs_{};
  QComboBox* pitchQuality_;
};

}  // namespace vx::player
