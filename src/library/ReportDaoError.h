// The one routine that turns a database exception into one message box.
#pragma once

#include <QString>

#include "platform/dao/DaoException.h"

namespace vx {

// The text ReportDaoError shows: the general sentence plus one "Dao error" paragraph per
// entry, or only the in-use or corruption text when an entry has one of those codes.
QString DaoErrorText(const dao::DaoException& exception);

// Shows DaoErrorText with the stop icon.
void ReportDaoError(const dao::DaoException& exception);

}  // namespace vx
