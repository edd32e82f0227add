// "Enter Song Type Information": shows or takes one song type. The code is typed in capitals
// and holds at most 10 characters, the description at most 255 on several lines. In the
// edit mode the code cannot be changed; in the view modes nothing can.
//
// Controls by object name: "codeEdit", "descriptionEdit", and the QDialogButtonBox.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace vx {

enum class SongTypeMode { View = 0, Edit = 1, New = 2, ViewOnly = 3 };

class CSongTypeDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kCodeLimit = 10;
  static constexpr int kDescriptionLimit = 255;

  CSongTypeDlg(SongTypeMode mode, const QString& code, const QString& description,
               QWidget* parent = nullptr);

  // The texts as the dialog closed.
  QString Code() const;
  QString Description() const;

 private:
  QLineEdit* code_;
  QPlainTextEdit* description_;
};

}  // namespace vx
