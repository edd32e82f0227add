// The one way the programs talk to the person in front of them: message boxes, file
// choosers, the colour chooser and modal runs of dialogs. Production code uses the Qt
// implementation; tests install a scripted double that records what was shown and answers
// as told, so no test ever blocks on a window.
#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QDialog;
class QWidget;

namespace vx {

enum class MsgIcon { None, Stop, Exclamation, Question, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
  QString text;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
  int defaultButton = 0;  // index into the buttons, 0 = first
  QString title;          // empty: the program's name
};

struct FileRequest {
  QString title;
  // Pairs of description and pattern separated by '|', ending in "||", as the programs
  // write them: "Velumix Database (Velumix.vxl)|Velumix.vxl|All Files (*.*)|*.*||".
  QString filter;
  QString defaultExtension;  // without the dot
  QString initialPath;
  bool mustExist = false;
  // An extra check box below the chooser when checkBoxText is not empty. It opens ticked as
  // *checkBox says; when the user confirms a file, *checkBox takes the box's state (a
  // cancelled chooser leaves it alone).
  QString checkBoxText;
  bool* checkBox = nullptr;
};

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;
  virtual MsgAnswer Message(const MessageRequest& request) = 0;
  virtual std::optional<QString> OpenFile(const FileRequest& request) = 0;
  virtual std::optional<QString> SaveFile(const FileRequest& request) = 0;
  virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
  // Runs a dialog modally and answers its result (QDialog::Accepted or Rejected).
  virtual int RunModal(QDialog& dialog) = 0;

  // Shorthand for the common one-button message.
  MsgAnswer Message(const QString& text, MsgIcon icon,
                    MsgButtons buttons = MsgButtons::Ok, int defaultButton = 0);
};

// The service in force; the Qt one unless a test installed another.
UserInteraction& Ui();
// Installs a service (nullptr restores the Qt one); the caller keeps ownership.
void SetUi(UserInteraction* service);

// Turns a '|'-separated filter into Qt's ";;"-separated name filters. "*.*" becomes "*"
// because Linux file names need not have a dot.
QString QtNameFilters(const QString& pipeFilter);

// Shows the busy cursor for as long as it lives.
class WaitCursor {
 public:
  WaitCursor();
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace vx
