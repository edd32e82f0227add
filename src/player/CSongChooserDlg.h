// The player's song chooser: the person narrows the library's songs by name, artist,
// attributes, type and BPM (exactly, or within 4 BPM either side), picks one from the list and
// OK answers its SongID. Asked for songs like the other deck's, it lists the file songs of
// that deck's type within 4 BPM at once. The condition always comes from BuildSongFilter, so
// typed apostrophes are quoted and a BPM that is not a number is refused with a message
// (the dialog stays open for a correction).
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vx::dao {
class DaoDatabase;
}

namespace vx::player {

struct SongChooserRequest {
  int mode = 2;              // 1: songs on audio CD, 2: songs stored as files
  std::string typeCode;      // with bpm: list songs like the other deck's at once
  double bpm = 0;            // 0: no search at opening
  int playerNumber = 0;      // 0: title "Find WAV Songs"; else "WavPlayer %d (%s)"
  QString currentSongName;   // that deck's current song, for the title
};

class CSongChooserDlg : public QDialog {
  Q_OBJECT
 public:
  CSongChooserDlg(dao::DaoDatabase& db, const SongChooserRequest& request,
                  QWidget* parent = nullptr);

  // The SongID of the selected entry; 0 when none is selected.
  std::int32_t ChosenSongId() const;

  QLineEdit* SongField() const { return song_; }
  QLineEdit* ArtistField() const { return artist_; }
  QLineEdit* AttributesField() const { return attributes_; }
  QComboBox* TypeList() const { return types_; }
  QLineEdit* BpmField() const { return bpm_; }
  QCheckBox* ExactBox() const { return exact_; }
  QPushButton* FindButton() const { return find_; }
  QPushButton* OkButton() const { return ok_; }
  QListWidget* List() const { return list_; }

 public slots:
  // Lists the songs that meet the fields' criteria.
  void OnFind();
  // Answers the selected entry (only when there is one).
  void OnOK();
  void OnCancel();

 private:
  void BuildControls();
  void FillTypeList();
  // Runs the statement and shows its rows; database failures are reported.
  void FillList(const std::string& statement);
  void ShowList();

  dao::DaoDatabase& db_;
  int mode_;
  QLineEdit* song_;
  QLineEdit* artist_;
  QLineEdit* attributes_;
  QComboBox* types_;
  QLineEdit* bpm_;
  QCheckBox* exact_;
  QPushButton* find_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QListWidget* list_;
  std::vector<std::int32_t> songIds_;  // one per list row
};

// Runs the chooser modally; the chosen SongID, or nothing when cancelled.
std::optional<std::int32_t> ChooseSong(dao::DaoDatabase& db, const SongChooserRequest& request,
                                       QWidget* parent = nullptr);

}  // namespace vx::player
