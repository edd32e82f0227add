// "Update song type list": the library's song types in code order, with New, Edit (also a
// double click on a row) and Delete. Codes are unique: New refuses a code that exists. The
// list is read again after each change. Deleting a type leaves the songs of that type alone.
//
// Controls by object name: "typeList" (columns SONG TYPE, TYPE DESC), "newButton",
// "editButton", "deleteButton", "okButton".
#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QTreeWidget;
class QTreeWidgetItem;

namespace vx {

namespace dao {
class DaoDatabase;
}
class CSongTypeRecordSet;

class CSongTypeListDlg : public QDialog {
  Q_OBJECT
 public:
  // Loads the list; a failure is reported at once and Run then ends as cancelled.
  explicit CSongTypeListDlg(dao::DaoDatabase& database, QWidget* parent = nullptr);
  ~CSongTypeListDlg() override;

  int Run();

 public slots:
  void OnNew();
  void OnEdit();
  void OnDelete();

 private:
  // Reads the table again and shows it, selecting the row of `code` when given.
  void LoadList(const QString& code = {});
  bool FindType(const QString& code);
  // Runs an action under the catch order; a failure closes the dialog as cancelled.
  void Guarded(const std::function<void()>& action);

  dao::DaoDatabase& database_;
  std::unique_ptr<CSongTypeRecordSet> types_;
  QTreeWidget* list_;
  bool loaded_ = false;
};

}  // namespace vx
