// The song editor "Enter Song Information": the one dialog through which a song enters the
// library (Add) and through which a stored song is shown (View) or changed (Update). Add
// numbers the new song (highest SongID + 1) and writes its Songs row on OK; Update writes the
// changed row; Cancel writes nothing. "<< &Set" and "Edit C&ue List" call the tools the
// caller hands in.
//
// Controls by object name: "typeList", "nameEdit", "artistEdit", "albumEdit", "labelEdit",
// "attributesEdit", "recDateEdit", "bpmEdit", "songDateEdit", "lengthEdit", "cdTrackEdit",
// "cdIdEdit", "commentsEdit", "mediaButton", "setBpmButton", "cueListButton", and the
// QDialogButtonBox with OK and Cancel.
#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>

#include "curation/SongEditorTools.h"
#include "library/SongStore.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace vx {

namespace dao {
class DaoDatabase;
}
class CSongRecordset;

enum class SongEditMode { View = 0, Update = 1, Add = 2 };

// What an adding flow already knows of its new song.
struct SongPresets {
  QString name;
  QString artist;
  QString album;
  QString attributes;
  QString comments;
  QString songDate;  // "MM/DD/YYYY"; used only when exactly 10 characters long
  QString length;    // the SongLength text
  unsigned cdTrack = 0;
  QString cdIdentity;      // SongCdId of a CD track (media 'C')
  std::uint32_t cddb = 0;  // SongCDDB of a track ripped from a CD
};

struct SongInfoSetup {
  SongEditMode mode = SongEditMode::View;
  std::int32_t songId = 0;  // the song shown; Add numbers its own
  int midiDevice = -1;      // -1: none, "<< &Set" stays disabled
  unsigned char midiNote = 37;
  char cdDriveLetter = ' ';
  char media = kCodePcm;  // Add; View and Update read the song's SongCompression
  QString filePath;       // the song's audio file (the take, for Add)
  SongPresets presets;    // Add only
  QDate today = QDate::currentDate();
};

class CSongInfoDlg : public QDialog {
  Q_OBJECT
 public:
  // Loads the song (or prepares the new one). A failure is reported at once; Run then ends
  // the dialog as cancelled without showing it.
  CSongInfoDlg(dao::DaoDatabase& database, SongInfoSetup setup, SongEditorTools& tools,
               QWidget* parent = nullptr);
  ~CSongInfoDlg() override;

  // Runs the dialog modally through the user-interaction service.
  int Run();
  bool Loaded() const { return loaded_; }
  // The song's number: for Add the one it was (or will be) stored under.
  std::int32_t SongID() const { return songId_; }
  char Media() const { return media_; }

 public slots:
  void OnOK();
  void OnSetBpm();
  void OnEditCueList();

 private:
  void BuildControls();
  void Load();
  void LoadTypes();
  void LoadStoredSong();
  void PrepareNewSong();
  void CopyFromSameCd(const QString& identity);
  void SelectType(const QString& code);
  void ApplyModeRules();
  // Writes the fields into the record; false (with a message) when a field is refused.
  bool Save();
  bool Refuse(QLineEdit* field, const char* message);
  // The song's media and where to find it, for the BPM counter and the cue editor.
  template <typename Request>
  void DescribeSong(Request& request) const;
  bool IsCd() const { return media_ == kCodeCd; }

  dao::DaoDatabase& database_;
  SongInfoSetup setup_;
  SongEditorTools& tools_;
  std::unique_ptr<CSongRecordset> song_;
  std::int32_t songId_ = 0;
  char media_ = kCodePcm;
  bool loaded_ = false;

  QComboBox* typeList_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* artist_ = nullptr;
  QLineEdit* album_ = nullptr;
  QLineEdit* label_ = nullptr;
  QLineEdit* attributes_ = nullptr;
  QLineEdit* recDate_ = nullptr;
  QLineEdit* bpm_ = nullptr;
  QLineEdit* songDate_ = nullptr;
  QLineEdit* length_ = nullptr;
  QLineEdit* cdTrack_ = nullptr;
  QLineEdit* cdId_ = nullptr;
  QPlainTextEdit* comments_ = nullptr;
  QToolButton* mediaButton_ = nullptr;
  QPushButton* setBpm_ = nullptr;
  QPushButton* cueList_ = nullptr;
};

// The leading decimal number of a text ("12a" reads 12, "" and "abc" read 0), in the C form
// whatever the user's locale.
double LeadingNumber(const QString& text);

}  // namespace vx
