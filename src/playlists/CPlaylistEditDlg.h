// The playlist editor: the playlist's songs in playing order on the left, a song chooser on
// the right. "&Find" lists the library's WAVE songs that meet the criteria (tempo within
// 5 %), "<< &Add" puts the chosen songs below the selected entry, "<< De&lete", "<< &Up" and
// "<< &Down" work on the selected entry, and the total running time follows every change.
// Nothing reaches the library until "Sa&ve", which rewrites all the playlist's entries
// (numbered 1..N) in one transaction; "&Cancel" asks before it drops changes.
//
// Controls by object name: "entryList", "nameEdit", "artistEdit", "attributesEdit",
// "genreList", "bpmEdit", "findButton", "chooserList", "chooserLabel", "selectAllButton",
// "clearAllButton", "addButton", "deleteButton", "upButton", "downButton", "trtLabel",
// "saveButton", "cancelButton".
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vx {

namespace dao {
class DaoDatabase;
}

class CPlaylistEditDlg : public QDialog {
  Q_OBJECT
 public:
  // Loads the genres and, for an existing playlist, its entries; a failure is reported at
  // once and Run then ends as cancelled.
  CPlaylistEditDlg(dao::DaoDatabase& database, const QString& name, bool isNew,
                   QWidget* parent = nullptr);
  ~CPlaylistEditDlg() override;

  int Run();
  // The total running time of the entries in milliseconds.
  std::uint64_t TotalMilliseconds() const { return total_; }

 public slots:
  void OnFind();
  void OnChooserSelection();
  void OnSelectAll();
  void OnClearAll();
  void OnAdd();
  void OnDeleteEntry();
  void OnUp();
  void OnDown();
  void OnSave();
  void reject() override;

 private:
  QWidget* MakeEntries();
  QWidget* MakeChooser();
  void LoadGenres();
  void LoadEntries();
  // Adds a row for song `songId` at `row`; answers false when the song is gone.
  QTreeWidgetItem* MakeEntry(std::int32_t songId);
  void SwapWithNeighbour(int step);
  void ShowTotal();
  void MarkChanged();
  void UpdateEntryButtons();
  void Guarded(const std::function<void()>& action);

  dao::DaoDatabase& database_;
  QString name_;
  bool isNew_;
  bool changed_ = false;
  bool loaded_ = false;
  std::uint64_t total_ = 0;

  QTreeWidget* entries_ = nullptr;
  QLineEdit* songName_ = nullptr;
  QLineEdit* artist_ = nullptr;
  QLineEdit* attributes_ = nullptr;
  QComboBox* genres_ = nullptr;
  QLineEdit* bpm_ = nullptr;
  QListWidget* chooser_ = nullptr;
  QLabel* chooserLabel_ = nullptr;
  QLabel* trt_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QPushButton* save_ = nullptr;
};

// "TRT: %02d:%02d:%02d" (hours, minutes, seconds) of a running time in milliseconds.
QString TotalRunningTimeText(std::uint64_t milliseconds);

}  // namespace vx
