// "Search Song Database": the recorder's window onto the library. The person sets criteria,
// lists the matching songs, sorts them by a column (header click), opens a song in the song
// editor to view (double click, "&View") or update it ("&Edit"), deletes a song with its
// audio file ("Delete", also the Delete key on the list), and prints a report of the listed
// songs ("&Print").
//
// Controls by object name: "typeList", "nameEdit", "artistEdit", "albumEdit", "labelEdit",
// "mediaAll", "mediaWav", "mediaCd", "bpmAll", "bpmEqual", "bpmGreater", "bpmLess",
// "bpmBetween", "bpm1Edit", "bpm2Edit", "searchButton", "songList", "viewButton",
// "editButton", "deleteButton", "reportList", "titleEdit", "printButton", "closeButton".
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vx {

namespace dao {
class DaoDatabase;
}
class SongEditorTools;
enum class SongEditMode;

// What a report of the listed songs needs: the chosen layout (0 Summary, 1 Detail,
// 2 CueList), the title typed, the last search's selection formula (empty: every song) and
// the report sort field of the last column sort.
struct SongReportRequest {
  int layout = 0;
  QString title;
  std::string formula;
  std::string sortField;
};

struct SongSearchSetup {
  std::string libraryFolder;  // the Songs folder lies below it
  int midiDevice = -1;        // passed on to the song editor
  unsigned char midiNote = 37;
  char cdDriveLetter = ' ';
  // Prints a report over the dialog; without one "&Print" stays disabled.
  std::function<void(QWidget* parent, const SongReportRequest& request)> printReport;
};

class CSongSearchDlg : public QDialog {
  Q_OBJECT
 public:
  // Fills the type list; a failure is reported at once and Run then ends as cancelled.
  CSongSearchDlg(dao::DaoDatabase& database, SongSearchSetup setup, SongEditorTools& tools,
                 QWidget* parent = nullptr);
  ~CSongSearchDlg() override;

  int Run();

  // The last search's statement and formula, and the report sort field of the last sort.
  const std::string& LastStatement() const { return statement_; }
  const std::string& LastFormula() const { return formula_; }
  const std::string& SortField() const { return sortField_; }

 public slots:
  void OnSearch();
  void OnColumnClick(int column);
  void OnView();
  void OnEdit();
  void OnDelete();
  void OnPrint();
  void OnBpmChoice();

 private:
  QWidget* MakeCriteria();
  QWidget* MakeResults();
  QWidget* MakeReports();
  void LoadTypes();
  // Lists every song of the statement in the engine's order; selects the first.
  void FillList(const std::string& statement);
  void OpenSongEditor(SongEditMode mode);
  QTreeWidgetItem* SelectedRow() const;
  void UpdateRowButtons();
  // Runs an action under the catch order; a failure closes the dialog as cancelled.
  void Guarded(const std::function<void()>& action);

  dao::DaoDatabase& database_;
  SongSearchSetup setup_;
  SongEditorTools& tools_;
  std::string statement_;
  std::string formula_;
  std::string sortField_;
  bool resultsPresent_ = false;
  bool loaded_ = false;

  QComboBox* typeList_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* artist_ = nullptr;
  QLineEdit* album_ = nullptr;
  QLineEdit* label_ = nullptr;
  QButtonGroup* media_ = nullptr;
  QButtonGroup* bpmChoice_ = nullptr;
  QLineEdit* bpm1_ = nullptr;
  QLineEdit* bpm2_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPushButton* view_ = nullptr;
  QPushButton* edit_ = nullptr;
  QPushButton* delete_ = nullptr;
  QComboBox* reportList_ = nullptr;
  QLineEdit* title_ = nullptr;
  QPushButton* print_ = nullptr;
};

}  // namespace vx
