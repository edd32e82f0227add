// The About box "About Velumix": the program's icon and name, its version text and a
// credits panel that scrolls while the box is open. OK closes it.
#pragma once

#include <QDialog>

namespace vx {

class CCreditScroller;

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  // versionText: "Version %s  [%s - %s]" as the main window fills it.
  explicit CAboutDlg(const QString& versionText, QWidget* parent = nullptr);

  CCreditScroller& Credits() { return *credits_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  CCreditScroller* credits_;
};

// The credits in the scroller's format, separated by '|': read from the credits resource,
// where each line is one credit line, comments start with '#' and the style markers are
// written as the escapes \t, \n and \r.
QString CreditsText();
// The same conversion on a given file text.
QString CreditsFromFile(const QString& fileText);

}  // namespace vx
