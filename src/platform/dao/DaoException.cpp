#include "platform/dao/DaoException.h"

#include <sqlite3.h>

namespace vx::dao {

namespace {
constexpr const char* kSource = "SQLite";
}

DaoException::DaoException(std::vector<DaoErrorInfo> errors) : errors_(std::move(errors)) {
  for (const DaoErrorInfo& e : errors_) {
    if (!what_.empty()) what_.append("; ");
    what_.append("[").append(std::to_string(e.code)).append("] ").append(e.description);
  }
}

DaoException::DaoException(long code, std::string description)
    : DaoException(std::vector<DaoErrorInfo>{{code, kSource, std::move(description)}}) {}

long DaoException::EngineCode(int resultCode) {
  switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return kErrInUse;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return kErrCorrupt;
    case SQLITE_AUTH: return kErrTableLocked;
    default: return resultCode;
  }
}

DaoException DaoException::FromSqlite(int resultCode, const std::string& message) {
  const long code = EngineCode(resultCode);
  if (code == kErrTableLocked) {
    return DaoException(code, "Couldn't update; the table is locked by an open recordset (" +
                                  message + ").");
  }
  return DaoException(code, message);
}

const char* DaoException::what() const noexcept {
  return what_.empty() ? "database error" : what_.c_str();
}

}  // namespace vx::dao
