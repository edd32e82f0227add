#include "library/GuardOperation.h"

#include <new>

#include "library/LibraryText.h"
#include "library/ReportDaoError.h"
#include "platform/ui/UserInteraction.h"

namespace vx {

bool GuardOperation(const std::function<void()>& work, const CodeText& codeText) {
  try {
    work();
    return true;
  } catch (const dao::DaoException& exception) {
    ReportDaoError(exception);
  } catch (const std::bad_alloc&) {
    Ui().Message(QString::fromUtf8(text::kNoMemory), MsgIcon::Stop);
  } catch (int code) {
    Ui().Message(codeText ? codeText(code) : QString::fromUtf8(text::kUnexpectedError),
                 MsgIcon::Stop);
  } catch (...) {
    Ui().Message(QString::fromUtf8(text::kUnexpectedError), MsgIcon::Stop);
  }
  return false;
}

}  // namespace vx
