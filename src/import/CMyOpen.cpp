#include "import/CMyOpen.h"

#include "import/ImportText.h"

namespace vx {

CMyOpen::CMyOpen(QString title, QString filter) {
  request_.title = std::move(title);
  request_.filter = std::move(filter);
  request_.mustExist = true;
  request_.checkBoxText = QString::fromUtf8(text::kDeleteSourceFile);
}

std::optional<QString> CMyOpen::DoModal() {
  bool box = deleteSource;
  FileRequest request = request_;
  request.checkBox = &box;
  std::optional<QString> chosen = Ui().OpenFile(request);
  if (chosen) deleteSource = box;
  return chosen;
}

}  // namespace vx
