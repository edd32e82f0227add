// The cue point editor shared by songs stored as files (CCuePointDlg) and tracks of an audio
// CD (CCdCuePointDlg): the song's cue list, editing one cue's offset while the song plays,
// adding, deleting and reordering cues. Every change is written to CueList at once, through
// ChangeCue, RenumberCues and SwapCueNumbers.
//
// Positions are in the units of the song's device: milliseconds from the start of the file,
// or CD frames from the start of the disc; a cue's offset is counted from the song's start.
#pragma once

#include <QStringList>
#include <cstdint>
#include <span>

#include "curation/CPlaybackDlg.h"
#include "curation/CueListTable.h"
#include "library/CueOffset.h"

class QComboBox;
class QPushButton;
class QSlider;
class QSpinBox;
class QTreeWidget;

namespace vx::dao {
class DaoDatabase;
}

namespace vx {

class CCueEditorDlg : public CPlaybackDlg {
  Q_OBJECT
 public:
  enum class CueAction { kUpdateOffset, kAddNew, kDelete };
  // What the two editors do differently.
  struct Variant {
    CueMedium medium;
    const char* title;
    std::span<const char* const> names;  // offered in the name box
    int maxMinutes;                      // range of the minutes field
    const char* deleteQuestion;
  };

  // Children by object name: "cueList", "editButton", "upButton", "downButton",
  // "deleteButton", "closeButton", "cueName", "minutes", "seconds", "fraction" (milliseconds
  // or frames), "playQ", "setCurrentPos", "saveButton", "positionSlider", "nameBox",
  // "newButton", and those of CPlaybackDlg.
  int EditingIndex() const { return editingIndex_; }
  long CuePosition() const { return cuePosition_; }
  bool Unsaved() const { return unsaved_; }

 public slots:
  void OnNew();
  void OnEdit();
  void OnUp();
  void OnDown();
  void OnDelete();
  void OnClose();
  void OnSave();
  void OnPlayQ();
  void OnSetCurrentPos();
  // An offset field changed by hand (typing or its arrows).
  void OnOffsetChanged();

 protected:
  CCueEditorDlg(dao::DaoDatabase& db, std::int32_t songId, const QString& songName,
                const Variant& variant, QWidget* parent);

  // The opening steps; the concrete dialog calls it at the end of its constructor.
  void Initialize();
  // Opens the song's device (when reopen) and starts the song, setting its span and the
  // position slider; shows why when it cannot.
  virtual void StartSong(bool reopen) = 0;
  void RestartSong() override { StartSong(false); }
  void PositionRead(long position) override;
  void IdentityFailed() override;

  // The slider moves in steps of this many position units.
  long SliderUnit() const;
  void SetSliderRange(long first, long last, int tickInterval);
  CueMedium Medium() const { return variant_.medium; }

 private:
  void BuildControls();
  // Runs a handler's work; a failure is reported and ends the dialog.
  void Guard(const std::function<void()>& work);
  void LoadList();
  int SelectedRow() const;
  // New, Edit, Delete and Close ask first when an offset is not saved: false for Cancel.
  bool SettleUnsaved();
  void ChangeCue(CueAction action, int row);
  void RenumberCues();
  void SwapCueNumbers(const QString& a, const QString& b, int numberA, int numberB);
  void MoveRow(int from, int to);
  void EnterEditMode(int row);
  void LeaveEditMode();
  void EnableEditing(bool enabled);
  void FillFields(const std::string& offsetText);
  void FillFieldsFromCuePosition();
  // The three fields joined into an offset text, each padded as the form needs.
  std::string FieldsText() const;
  // The offset of a text counted from the song start when it lies within the song; else -1.
  long ValidOffset(const std::string& text) const;
  void SetUnsaved(bool unsaved);
  void SlideTo(int sliderPosition);
  bool eventFilter(QObject* watched, QEvent* event) override;

  Variant variant_;
  CueListTable cues_;
  QString songName_;

  QTreeWidget* list_ = nullptr;
  QPushButton* editButton_ = nullptr;
  QPushButton* upButton_ = nullptr;
  QPushButton* downButton_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  QLineEdit* cueName_ = nullptr;
  QSpinBox* minutes_ = nullptr;
  QSpinBox* seconds_ = nullptr;
  QSpinBox* fraction_ = nullptr;
  QPushButton* playQ_ = nullptr;
  QPushButton* setCurrentPos_ = nullptr;
  QPushButton* save_ = nullptr;
  QSlider* slider_ = nullptr;
  QComboBox* nameBox_ = nullptr;
  QPushButton* newButton_ = nullptr;

  long cuePosition_ = 0;
  int editingIndex_ = -1;
  bool unsaved_ = false;
  bool fieldsChanged_ = false;
  bool dragging_ = false;
};

}  // namespace vx
