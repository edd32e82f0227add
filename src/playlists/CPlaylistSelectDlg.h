// "Playlist selection": picks an existing playlist or names a new one ("&Select"), or
// deletes one ("&Delete", with its entries, after a question). A typed name has its
// forbidden characters replaced by '_', is cut to 30 characters and must differ from every
// existing name without regard to case. On OK the caller reads the chosen name and whether
// it is new; a deletion ends the dialog as cancelled.
//
// Controls by object name: "nameBox" (editable), "selectButton", "deleteButton",
// "cancelButton".
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;

namespace vx {

namespace dao {
class DaoDatabase;
}

class CPlaylistSelectDlg : public QDialog {
  Q_OBJECT
 public:
  // Reads the playlist names; a failure is reported at once and Run then ends as cancelled.
  explicit CPlaylistSelectDlg(dao::DaoDatabase& database, QWidget* parent = nullptr);
  ~CPlaylistSelectDlg() override;

  int Run();
  const QString& Name() const { return name_; }
  bool IsNew() const { return isNew_; }

 public slots:
  void OnSelect();
  void OnDelete();

 private:
  void LoadNames();
  // The list entry the box shows exactly, or -1 when the person typed a name of their own.
  int ChosenEntry() const;

  dao::DaoDatabase& database_;
  QComboBox* names_ = nullptr;
  QString name_;
  bool isNew_ = false;
  bool loaded_ = false;
};

}  // namespace vx
