// One open library database on SQLite. Open shared (read-write) or read-only; statements
// executed here fail on any error with a DaoException; transactions are begin / commit /
// rollback. Every connection gets the wildcard "like" of JetLike.h.
#pragma once

#include <string>
#include <vector>

struct sqlite3;

namespace vx::dao {

class DaoRecordset;

enum class OpenMode { Shared, ReadOnly, Create };

class DaoDatabase {
 public:
  DaoDatabase() = default;
  virtual ~DaoDatabase();
  DaoDatabase(const DaoDatabase&) = delete;
  DaoDatabase& operator=(const DaoDatabase&) = delete;

  // Opens the file and reads its schema, so a file that is not a database fails here
  // (3343) and not at the first query. Create makes the file when it is missing.
  void Open(const std::string& path, OpenMode mode = OpenMode::Shared);
  void Close();
  bool IsOpen() const { return db_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Runs every statement of sql; throws DaoException on the first error.
  void Execute(const std::string& sql);

  // The open dynasets over this connection. Each holds the row set it took at open, read
  // lazily; CollectDynasetKeys has them read the rest before anything writes. Closing the
  // database closes them.
  void WatchDynaset(DaoRecordset* recordset);
  void UnwatchDynaset(DaoRecordset* recordset);
  void CollectDynasetKeys();

  bool CanTransact() const { return IsOpen(); }
  void BeginTrans();
  void CommitTrans();
  // Rolls back the open transaction; does nothing when none is open.
  void Rollback();
  bool InTransaction() const;

  // How long a statement waits for another program's lock before failing with 3045.
  void SetBusyTimeout(int milliseconds);

  // Write denial for one table at a time: while a holder denies writes to a table, statements
  // that add, change or delete its rows fail to prepare (kErrTableLocked), except those
  // prepared inside the holder's own HolderWrite scope. Deny answers false when another
  // holder already denies writes to any table.
  bool DenyWrites(const std::string& table, const void* holder);
  void AllowWrites(const void* holder);
  class HolderWrite {
   public:
    HolderWrite(DaoDatabase& db, const void* holder) : db_(db), previous_(db.writingHolder_) {
      db_.writingHolder_ = holder;
    }
    ~HolderWrite() { db_.writingHolder_ = previous_; }
    HolderWrite(const HolderWrite&) = delete;
    HolderWrite& operator=(const HolderWrite&) = delete;

   private:
    DaoDatabase& db_;
    const void* previous_;
  };

  sqlite3* Handle() const { return db_; }
  // Throws the DaoException for the connection's last error with result code rc.
  [[noreturn]] void ThrowLastError(int rc) const;

 protected:
  // Registers the functions every statement relies on (the wildcard like) on a new
  // connection; answers an SQLite result code.
  virtual int RegisterFunctions(sqlite3* db);

 private:
  static int Authorize(void* self, int action, const char* table, const char*, const char*,
                       const char*);

  sqlite3* db_ = nullptr;
  std::string path_;
  std::string deniedTable_;
  const void* denyingHolder_ = nullptr;
  const void* writingHolder_ = nullptr;
  std::vector<DaoRecordset*> dynasets_;
};

}  // namespace vx::dao
