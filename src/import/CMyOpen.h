// The open-file dialog of the import flow: the platform's file chooser with one extra check
// box, "&Delete Source Audio File", whose state is kept in deleteSource. The box opens as
// deleteSource says, and deleteSource is read back from it only when the user confirms a
// file, so cancelling changes nothing.
#pragma once

#include <QString>

#include <optional>

#include "platform/ui/UserInteraction.h"

namespace vx {

class CMyOpen {
 public:
  // filter: pairs of description and pattern separated by '|', ending in "||".
  CMyOpen(QString title, QString filter);

  bool deleteSource = false;

  // Shows the chooser (through the user-interaction service); the chosen file's full path,
  // or nothing when the user cancels.
  std::optional<QString> DoModal();

 private:
  FileRequest request_;
};

}  // namespace vx
