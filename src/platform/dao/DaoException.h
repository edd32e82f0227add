// The database exception: a list of (code, source, description) entries, as the programs'
// error reporting expects. SQLite results are mapped to the engine codes callers test.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace vx::dao {

// Codes that callers and the error report single out.
inline constexpr long kErrInUse = 3045;          // file held by another program
inline constexpr long kErrCorrupt = 3343;        // not a database / damaged
inline constexpr long kErrNotUpdatable = 3027;   // recordset opened read-only
inline constexpr long kErrNoCurrentRecord = 3021;
inline constexpr long kErrTableLocked = 3262;    // table held by a deny-write recordset
inline constexpr long kErrRecordDeleted = 3167;  // the current row was deleted meanwhile
inline constexpr long kErrUndefinedFunction = 3085;  // a function the queries use is missing

struct DaoErrorInfo {
  long code = 0;
  std::string source;
  std::string description;
};

class DaoException : public std::exception {
 public:
  DaoException() = default;
  explicit DaoException(std::vector<DaoErrorInfo> errors);
  DaoException(long code, std::string description);

  // Maps an SQLite result (extended code) and message: busy/locked -> 3045,
  // corrupt/not a database -> 3343, a write refused by a deny-write recordset -> 3262,
  // anything else keeps SQLite's extended code.
  static DaoException FromSqlite(int resultCode, const std::string& message);
  static long EngineCode(int resultCode);

  const std::vector<DaoErrorInfo>& Errors() const { return errors_; }
  const char* what() const noexcept override;

 private:
  std::vector<DaoErrorInfo> errors_;
  std::string what_;
};

}  // namespace vx::dao
