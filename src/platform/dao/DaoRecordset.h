// A recordset over one table or query of an open DaoDatabase. A record class derives from
// it, names its default SQL (the bare table name) and binds its fields in DoFieldExchange;
// the base class moves through the rows, loads the bound members and writes them back.
//
// Opening builds "SELECT ... FROM <table> WHERE <filter> ORDER BY <sort>" (or runs the SQL
// given). A recordset over a table, or over "SELECT * FROM <table> [WHERE|ORDER BY|LIMIT ...]",
// can add, edit and delete rows unless it was opened as a snapshot or read-only.
//
// A dynaset over a table is a fixed set of rows: the row ids its query yields when it opens.
// Moving fetches each member's current values; members deleted since are skipped, rows it
// adds itself join at the end, and nothing else joins, so a loop that changes rows while it
// walks visits each row once. The ids are read lazily, so reading the first row of a large
// sorted table costs no more than the index lookup; before anything writes on the
// connection, the database has every open dynaset read the rest of its ids.
// Snapshots and other queries step through their statement as they move.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/dao/DaoDateTime.h"

struct sqlite3_stmt;

namespace vx::dao {

class DaoDatabase;

enum class OpenType { Default, Dynaset, Snapshot };

enum OpenOption : int {
  kNoOptions = 0,
  kForwardOnly = 1,
  kReadOnly = 2,
  // While the recordset is open, no other statement of its database may add, change or
  // delete rows of its table (they fail with kErrTableLocked); its own writes still go through.
  kDenyWrite = 4,
};

using DaoValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// Binds a record class's fields by name; the base recordset supplies one implementation
// for loading a row and one for writing it.
class FieldExchange {
 public:
  virtual ~FieldExchange() = default;
  virtual void Text(const char* name, std::string& value) = 0;
  virtual void Long(const char* name, std::int32_t& value) = 0;
  virtual void Short(const char* name, std::int16_t& value) = 0;
  virtual void Double(const char* name, double& value) = 0;
  virtual void DateTime(const char* name, DaoDateTime& value) = 0;
};

class DaoRecordset {
 public:
  explicit DaoRecordset(DaoDatabase& db);
  virtual ~DaoRecordset();
  DaoRecordset(const DaoRecordset&) = delete;
  DaoRecordset& operator=(const DaoRecordset&) = delete;

  // WHERE condition without the word WHERE and ORDER BY list without ORDER BY; set them
  // before Open.
  void SetFilter(std::string filter) { filter_ = std::move(filter); }
  void SetSort(std::string sort) { sort_ = std::move(sort); }
  const std::string& Filter() const { return filter_; }
  const std::string& Sort() const { return sort_; }

  // Opens on sql, or on the default SQL when sql is empty. Throws DaoException.
  void Open(OpenType type = OpenType::Default, const std::string& sql = {},
            int options = kNoOptions);
  void Close();
  bool IsOpen() const { return stmt_ != nullptr || keyed_; }
  bool IsEOF() const { return eof_; }
  bool CanUpdate() const { return updatable_; }

  void MoveFirst();
  void MoveNext();
  // Moves to the first row (in the recordset's order) that also meets condition. Answers
  // false and stays put when there is none.
  bool FindFirst(const std::string& condition);

  // AddNew clears the bound fields for a new row; Edit keeps the current row's values.
  // Update writes the bound fields (insert or change); Delete removes the current row.
  void AddNew();
  void Edit();
  void Update();
  void CancelUpdate();
  void Delete();

  int GetFieldCount() const;
  DaoValue GetFieldValue(int index) const;

  virtual std::string GetDefaultSQL() const { return {}; }
  virtual OpenType DefaultOpenType() const { return OpenType::Dynaset; }

  // Reads the rest of a dynaset's row ids now; DaoDatabase calls it before any write.
  void CollectAllKeys();

 protected:
  virtual void DoFieldExchange(FieldExchange&) {}
  DaoDatabase& Database() const { return db_; }

 private:
  enum class EditMode { None, Add, Edit };

  void DenyWrites();
  sqlite3_stmt* Prepare(const std::string& query);  // and maps its columns
  void Step();
  void MoveToKey(std::size_t position);
  bool CollectKeysUpTo(std::size_t position);
  void FinishKeys();
  sqlite3_stmt* RowStatement() const { return keyed_ ? rowStmt_ : stmt_; }
  void LoadCurrentRow();
  void Require(bool condition, long code, const char* what) const;
  [[noreturn]] void ThrowError(int rc) const;

  DaoDatabase& db_;
  std::string filter_;
  std::string sort_;
  std::string table_;        // empty for a query that cannot be written back
  std::string query_;
  sqlite3_stmt* stmt_ = nullptr;     // the query, stepped as the recordset moves
  // A dynaset's row set: the ids read so far from keysStmt_ (null once all are read), the
  // member at position_ and the statement that fetches one row by id.
  bool keyed_ = false;
  std::vector<std::int64_t> keys_;
  sqlite3_stmt* keysStmt_ = nullptr;
  sqlite3_stmt* rowStmt_ = nullptr;
  std::size_t position_ = 0;
  int rowidColumn_ = -1;
  int firstDataColumn_ = 0;
  std::map<std::string, int> columns_;  // upper-cased name -> column
  bool eof_ = true;
  bool updatable_ = false;
  bool deleted_ = false;
  std::int64_t currentRowid_ = 0;
  EditMode editMode_ = EditMode::None;
  bool denyingWrites_ = false;

};

}  // namespace vx::dao
