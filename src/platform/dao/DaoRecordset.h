// A recordset over one table or query of an open DaoDatabase. A record class derives from
// it, names its default SQL (the bare table name) and binds its fields in DoFieldExchange;
// the base class moves through the rows, loads the bound members and writes them back.
//
// Opening builds "SELECT ... FROM <table> WHERE <filter> ORDER BY <sort>" (or runs the SQL
// given) and steps through it lazily, so reading the first row of a large sorted table costs
// no more than the index lookup. A recordset over a table, or over "SELECT * FROM <table> ...",
// can add, edit and delete rows unless it was opened as a snapshot or read-only.
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
  bool IsOpen() const { return stmt_ != nullptr; }
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

 protected:
  virtual void DoFieldExchange(FieldExchange&) {}
  DaoDatabase& Database() const { return db_; }

 private:
  enum class EditMode { None, Add, Edit };

  void DenyWrites();
  void Prepare(const std::string& query);
  void Step();
  void LoadCurrentRow();
  void Require(bool condition, long code, const char* what) const;
  [[noreturn]] void ThrowError(int rc) const;

  DaoDatabase& db_;
  std::string filter_;
  std::string sort_;
  std::string table_;        // empty for a query that cannot be written back
  std::string query_;
  std::string findBase_;     // the query's table and filter for FindFirst
  sqlite3_stmt* stmt_ = nullptr;
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
