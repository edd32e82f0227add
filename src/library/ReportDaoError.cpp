#include "library/ReportDaoError.h"

#include "library/LibraryText.h"
#include "platform/ui/UserInteraction.h"

namespace vx {

QString DaoErrorText(const dao::DaoException& exception) {
  QString text = QString::fromUtf8(text::kDaoErrorIntro);
  for (const dao::DaoErrorInfo& error : exception.Errors()) {
    switch (error.code) {
      case 3045: return QString::fromUtf8(text::kDaoInUse);
      case 3197:
      case 3343:
      case 3049: return QString::fromUtf8(text::kDaoCorrupt);
      default:
        text += QString::asprintf(text::kDaoErrorLine, error.code, error.source.c_str(),
                                  error.description.c_str());
    }
  }
  return text;
}

void ReportDaoError(const dao::DaoException& exception) {
  Ui().Message(DaoErrorText(exception), MsgIcon::Stop);
}

}  // namespace vx
