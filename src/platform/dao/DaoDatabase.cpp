#include "platform/dao/DaoDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <cassert>

#include "platform/dao/DaoException.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/dao/JetLike.h"

namespace vx::dao {

namespace {
constexpr int kDefaultBusyTimeoutMs = 2000;
}

DaoDatabase::~DaoDatabase() { Close(); }

void DaoDatabase::Open(const std::string& path, OpenMode mode) {
  Close();
  // A connection belongs to one thread (the user-interface thread), so it needs no mutex.
  int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_EXRESCODE;
  switch (mode) {
    case OpenMode::Shared: flags |= SQLITE_OPEN_READWRITE; break;
    case OpenMode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case OpenMode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
  }
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw DaoException::FromSqlite(rc, message + " (" + path + ")");
  }
  db_ = db;
  path_ = path;
  sqlite3_busy_timeout(db_, kDefaultBusyTimeoutMs);
  const int functions = RegisterFunctions(db_);
  if (functions != SQLITE_OK) {
    // Without it every "*" search would quietly find nothing.
    Close();
    throw DaoException(kErrUndefinedFunction,
                       std::string("The wildcard function 'like' could not be registered: ") +
                           sqlite3_errstr(functions) + " (" + path + ")");
  }
  sqlite3_set_authorizer(db_, &DaoDatabase::Authorize, this);
  try {
    // Reading the schema makes a damaged or foreign file fail now.
    Execute("PRAGMA schema_version");
  } catch (...) {
    Close();
    throw;
  }
}

int DaoDatabase::RegisterFunctions(sqlite3* db) { return RegisterJetLike(db); }

void DaoDatabase::Close() {
  // Closing a dynaset unwatches it, so work on a copy of the list.
  const std::vector<DaoRecordset*> open = dynasets_;
  for (DaoRecordset* recordset : open) recordset->Close();
  assert(dynasets_.empty());
  if (db_ == nullptr) return;
  sqlite3_close_v2(db_);
  db_ = nullptr;
  path_.clear();
  deniedTable_.clear();
  denyingHolder_ = nullptr;
}

bool DaoDatabase::DenyWrites(const std::string& table, const void* holder) {
  assert(holder != nullptr);
  if (denyingHolder_ != nullptr && denyingHolder_ != holder) return false;
  deniedTable_ = table;
  denyingHolder_ = holder;
  return true;
}

void DaoDatabase::AllowWrites(const void* holder) {
  if (denyingHolder_ != holder) return;
  deniedTable_.clear();
  denyingHolder_ = nullptr;
}

// Consulted while a statement is prepared: refuses adding, changing or deleting rows of the
// denied table unless the holder of the denial is the one preparing.
int DaoDatabase::Authorize(void* self, int action, const char* table, const char*, const char*,
                           const char*) {
  const auto* db = static_cast<const DaoDatabase*>(self);
  if (db->denyingHolder_ == nullptr || db->writingHolder_ == db->denyingHolder_) return SQLITE_OK;
  if (action != SQLITE_INSERT && action != SQLITE_UPDATE && action != SQLITE_DELETE) {
    return SQLITE_OK;
  }
  if (table == nullptr || sqlite3_stricmp(table, db->deniedTable_.c_str()) != 0) return SQLITE_OK;
  return SQLITE_DENY;
}

void DaoDatabase::ThrowLastError(int rc) const {
  throw DaoException::FromSqlite(rc, db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
}

void DaoDatabase::WatchDynaset(DaoRecordset* recordset) {
  assert(std::find(dynasets_.begin(), dynasets_.end(), recordset) == dynasets_.end());
  dynasets_.push_back(recordset);
}

void DaoDatabase::UnwatchDynaset(DaoRecordset* recordset) {
  const auto it = std::find(dynasets_.begin(), dynasets_.end(), recordset);
  assert(it != dynasets_.end());
  dynasets_.erase(it);
}

void DaoDatabase::CollectDynasetKeys() {
  for (DaoRecordset* recordset : dynasets_) recordset->CollectAllKeys();
}

void DaoDatabase::Execute(const std::string& sql) {
  if (db_ == nullptr) throw DaoException(kErrNoCurrentRecord, "The database is not open.");
  CollectDynasetKeys();
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    std::string text = message != nullptr ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    throw DaoException::FromSqlite(sqlite3_extended_errcode(db_), text);
  }
}

void DaoDatabase::BeginTrans() { Execute("BEGIN"); }

void DaoDatabase::CommitTrans() { Execute("COMMIT"); }

void DaoDatabase::Rollback() {
  if (InTransaction()) Execute("ROLLBACK");
}

bool DaoDatabase::InTransaction() const {
  return db_ != nullptr && sqlite3_get_autocommit(db_) == 0;
}

void DaoDatabase::SetBusyTimeout(int milliseconds) {
  if (db_ != nullptr) sqlite3_busy_timeout(db_, milliseconds);
}

}  // namespace vx::dao
