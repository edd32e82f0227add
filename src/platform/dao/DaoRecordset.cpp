#include "platform/dao/DaoRecordset.h"

#include <sqlite3.h>

#include <cassert>
#include <cctype>
#include <limits>
#include <set>
#include <string_view>

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"

namespace vx::dao {
namespace {

constexpr const char* kRowidColumn = "vx_rowid";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The SQL without surrounding blanks and trailing semicolons ("...; " is common).
std::string TrimStatement(const std::string& sql) {
  std::size_t begin = 0;
  std::size_t end = sql.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(sql[begin]))) ++begin;
  while (end > begin &&
         (std::isspace(static_cast<unsigned char>(sql[end - 1])) || sql[end - 1] == ';')) {
    --end;
  }
  return sql.substr(begin, end - begin);
}

bool IsIdentifierStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool IsIdentifier(std::string_view text) {
  if (text.empty() || !IsIdentifierStart(text[0])) return false;
  for (char c : text) {
    if (!IsIdentifierChar(c)) return false;
  }
  return true;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
}

// Takes the keyword at pos (any case) when a word boundary follows it.
bool TakeKeyword(std::string_view text, std::size_t& pos, std::string_view keyword) {
  if (text.size() - pos < keyword.size()) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[pos + i])) != keyword[i]) return false;
  }
  const std::size_t end = pos + keyword.size();
  if (end < text.size() && IsIdentifierChar(text[end])) return false;
  pos = end;
  return true;
}

// Recognises "SELECT * FROM <table>", alone or followed by a WHERE, ORDER BY or LIMIT
// clause: the one form whose rows are the table's own rows and can be written back. Read by
// hand in one pass, because the clauses carry typed search texts of any length. On success
// rest is everything after the table name.
bool ParseSelectStar(std::string_view sql, std::string& table, std::string& rest) {
  std::size_t pos = 0;
  if (!TakeKeyword(sql, pos, "SELECT")) return false;
  SkipBlanks(sql, pos);
  if (pos >= sql.size() || sql[pos] != '*') return false;
  ++pos;
  SkipBlanks(sql, pos);
  if (!TakeKeyword(sql, pos, "FROM")) return false;
  SkipBlanks(sql, pos);
  const std::size_t nameBegin = pos;
  if (pos >= sql.size() || !IsIdentifierStart(sql[pos])) return false;
  while (pos < sql.size() && IsIdentifierChar(sql[pos])) ++pos;
  const std::size_t nameEnd = pos;
  SkipBlanks(sql, pos);
  if (pos < sql.size() && !TakeKeyword(sql, pos, "WHERE") && !TakeKeyword(sql, pos, "ORDER") &&
      !TakeKeyword(sql, pos, "LIMIT")) {
    return false;
  }
  table.assign(sql.substr(nameBegin, nameEnd - nameBegin));
  rest.assign(sql.substr(nameEnd));
  return true;
}

std::string Clauses(const std::string& filter, const std::string& sort) {
  std::string text;
  if (!filter.empty()) text += " WHERE " + filter;
  if (!sort.empty()) text += " ORDER BY " + sort;
  return text;
}

// Loads the bound fields from the statement's current row, matching columns by name.
class RowLoader final : public FieldExchange {
 public:
  RowLoader(sqlite3_stmt* stmt, const std::map<std::string, int>& columns)
      : stmt_(stmt), columns_(columns) {}

  void Text(const char* name, std::string& value) override {
    const int column = Find(name);
    if (column < 0) return;
    const auto* text = sqlite3_column_text(stmt_, column);
    value.assign(text != nullptr ? reinterpret_cast<const char*>(text) : "",
                 text != nullptr ? sqlite3_column_bytes(stmt_, column) : 0);
  }
  void Long(const char* name, std::int32_t& value) override {
    const int column = Find(name);
    if (column >= 0) value = static_cast<std::int32_t>(sqlite3_column_int64(stmt_, column));
  }
  void Short(const char* name, std::int16_t& value) override {
    const int column = Find(name);
    if (column >= 0) value = static_cast<std::int16_t>(sqlite3_column_int(stmt_, column));
  }
  void Double(const char* name, double& value) override {
    const int column = Find(name);
    if (column >= 0) value = sqlite3_column_double(stmt_, column);
  }
  void DateTime(const char* name, DaoDateTime& value) override {
    const int column = Find(name);
    if (column < 0) return;
    const auto* text = sqlite3_column_text(stmt_, column);
    value = text != nullptr ? DaoDateTime::FromIso(reinterpret_cast<const char*>(text))
                            : DaoDateTime{};
  }

 private:
  int Find(const char* name) const {
    const auto it = columns_.find(Upper(name));
    return it == columns_.end() ? -1 : it->second;
  }
  sqlite3_stmt* stmt_;
  const std::map<std::string, int>& columns_;
};

// Collects the bound fields as (name, value) pairs for an INSERT or UPDATE.
class RowCollector final : public FieldExchange {
 public:
  std::vector<std::pair<std::string, DaoValue>> fields;

  void Text(const char* name, std::string& value) override { fields.emplace_back(name, value); }
  void Long(const char* name, std::int32_t& value) override {
    fields.emplace_back(name, std::int64_t{value});
  }
  void Short(const char* name, std::int16_t& value) override {
    fields.emplace_back(name, std::int64_t{value});
  }
  void Double(const char* name, double& value) override { fields.emplace_back(name, value); }
  void DateTime(const char* name, DaoDateTime& value) override {
    if (value.IsNull()) {
      fields.emplace_back(name, std::monostate{});
    } else {
      fields.emplace_back(name, value.ToIso());
    }
  }
};

// Resets the bound fields for a new row.
class RowClearer final : public FieldExchange {
 public:
  void Text(const char*, std::string& value) override { value.clear(); }
  void Long(const char*, std::int32_t& value) override { value = 0; }
  void Short(const char*, std::int16_t& value) override { value = 0; }
  void Double(const char*, double& value) override { value = 0; }
  void DateTime(const char*, DaoDateTime& value) override { value = {}; }
};

sqlite3_stmt* PrepareOrThrow(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db);
    const int code = sqlite3_extended_errcode(db);
    sqlite3_finalize(stmt);
    throw DaoException::FromSqlite(code, message);
  }
  return stmt;
}

// A prepared statement that is finalised on every path.
class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) : db_(db), stmt_(PrepareOrThrow(db, sql)) {}
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, const DaoValue& value) {
    int rc = SQLITE_OK;
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
      rc = sqlite3_bind_int64(stmt_, index, *i);
    } else if (const auto* d = std::get_if<double>(&value)) {
      rc = sqlite3_bind_double(stmt_, index, *d);
    } else if (const auto* s = std::get_if<std::string>(&value)) {
      rc = sqlite3_bind_text(stmt_, index, s->data(), static_cast<int>(s->size()),
                             SQLITE_TRANSIENT);
    } else {
      rc = sqlite3_bind_null(stmt_, index);
    }
    if (rc != SQLITE_OK) Fail(rc);
  }
  // Steps once; true while there is a row.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(rc);
  }
  sqlite3_stmt* Get() const { return stmt_; }

 private:
  [[noreturn]] void Fail(int) {
    throw DaoException::FromSqlite(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_));
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_;
};

}  // namespace

DaoRecordset::DaoRecordset(DaoDatabase& db) : db_(db) {}

DaoRecordset::~DaoRecordset() { Close(); }

void DaoRecordset::Require(bool condition, long code, const char* what) const {
  if (!condition) throw DaoException(code, what);
}

void DaoRecordset::ThrowError(int rc) const { db_.ThrowLastError(rc); }

void DaoRecordset::Open(OpenType type, const std::string& sql, int options) {
  Close();
  Require(db_.IsOpen(), kErrNoCurrentRecord, "The database is not open.");
  if (type == OpenType::Default) type = DefaultOpenType();
  const std::string base = TrimStatement(sql.empty() ? GetDefaultSQL() : sql);
  const std::string clauses = Clauses(filter_, sort_);
  std::string rest;
  std::string keysQuery;
  table_.clear();
  if (IsIdentifier(base)) {
    table_ = base;
    query_ = "SELECT rowid AS " + std::string(kRowidColumn) + ", * FROM " + table_ + clauses;
    keysQuery = "SELECT rowid FROM " + table_ + clauses;
  } else if (ParseSelectStar(base, table_, rest)) {
    const std::string inner = "SELECT " + table_ + ".rowid AS " + kRowidColumn + ", * FROM " +
                              table_ + rest;
    query_ = clauses.empty() ? inner : "SELECT * FROM (" + inner + ")" + clauses;
    keysQuery = clauses.empty() ? "SELECT " + table_ + ".rowid FROM " + table_ + rest
                                : "SELECT " + std::string(kRowidColumn) + " FROM (" + inner +
                                      ")" + clauses;
  } else {
    query_ = clauses.empty() ? base : "SELECT * FROM (" + base + ")" + clauses;
  }
  updatable_ = !table_.empty() && type == OpenType::Dynaset && (options & kReadOnly) == 0 &&
               sqlite3_db_readonly(db_.Handle(), "main") == 0;
  try {
    if (!table_.empty() && type == OpenType::Dynaset) {
      keysStmt_ = PrepareOrThrow(db_.Handle(), keysQuery);
      rowStmt_ = Prepare("SELECT rowid AS " + std::string(kRowidColumn) + ", * FROM " + table_ +
                         " WHERE rowid = ?");
      keyed_ = true;
      db_.WatchDynaset(this);
      MoveToKey(0);
    } else {
      stmt_ = Prepare(query_);
      Step();
    }
  } catch (...) {
    Close();
    throw;
  }
  if ((options & kDenyWrite) != 0) DenyWrites();
}

// Takes the table's write denial, or closes again and throws when it cannot.
void DaoRecordset::DenyWrites() {
  if (!table_.empty() && db_.DenyWrites(table_, this)) {
    denyingWrites_ = true;
    return;
  }
  Close();
  if (table_.empty()) {
    throw DaoException(3251, "Operation is not supported for this type of object.");
  }
  throw DaoException(kErrTableLocked, "Couldn't lock table '" + table_ + "'; currently in use.");
}

sqlite3_stmt* DaoRecordset::Prepare(const std::string& query) {
  sqlite3_stmt* stmt = PrepareOrThrow(db_.Handle(), query);
  columns_.clear();
  rowidColumn_ = -1;
  const int count = sqlite3_column_count(stmt);
  for (int i = 0; i < count; ++i) {
    const std::string name = sqlite3_column_name(stmt, i);
    if (!table_.empty() && rowidColumn_ < 0 && name == kRowidColumn) {
      rowidColumn_ = i;
      continue;
    }
    columns_.emplace(Upper(name), i);
  }
  firstDataColumn_ = rowidColumn_ == 0 ? 1 : 0;
  return stmt;
}

void DaoRecordset::Step() {
  assert(!keyed_);
  const int rc = sqlite3_step(stmt_);
  deleted_ = false;
  if (rc == SQLITE_ROW) {
    eof_ = false;
    currentRowid_ = rowidColumn_ >= 0 ? sqlite3_column_int64(stmt_, rowidColumn_) : 0;
    LoadCurrentRow();
    return;
  }
  eof_ = true;
  // Resetting ends the statement's read transaction while the recordset sits at its end.
  sqlite3_reset(stmt_);
  if (rc != SQLITE_DONE) ThrowError(rc);
}

// Reads row ids until the one at position is known (or all are). Answers whether there is a
// member at position. The keys statement's read transaction keeps the set as it was at open
// against other connections; writes on this connection wait for CollectAllKeys.
bool DaoRecordset::CollectKeysUpTo(std::size_t position) {
  while (position >= keys_.size() && keysStmt_ != nullptr) {
    const int rc = sqlite3_step(keysStmt_);
    if (rc == SQLITE_ROW) {
      keys_.push_back(sqlite3_column_int64(keysStmt_, 0));
      continue;
    }
    if (rc != SQLITE_DONE) {
      const DaoException error =
          DaoException::FromSqlite(sqlite3_extended_errcode(db_.Handle()),
                                   sqlite3_errmsg(db_.Handle()));
      FinishKeys();
      throw error;
    }
    FinishKeys();
  }
  return position < keys_.size();
}

void DaoRecordset::FinishKeys() {
  sqlite3_finalize(keysStmt_);
  keysStmt_ = nullptr;
}

void DaoRecordset::CollectAllKeys() {
  if (keyed_) CollectKeysUpTo(std::numeric_limits<std::size_t>::max());
}

// Makes the first member at or after position that still exists the current row; past the
// last member the recordset is at its end.
void DaoRecordset::MoveToKey(std::size_t position) {
  assert(keyed_);
  deleted_ = false;
  for (; CollectKeysUpTo(position); ++position) {
    sqlite3_reset(rowStmt_);
    sqlite3_bind_int64(rowStmt_, 1, keys_[position]);
    const int rc = sqlite3_step(rowStmt_);
    if (rc == SQLITE_ROW) {
      position_ = position;
      eof_ = false;
      currentRowid_ = keys_[position];
      LoadCurrentRow();
      return;
    }
    if (rc != SQLITE_DONE) ThrowError(rc);
  }
  sqlite3_reset(rowStmt_);
  position_ = keys_.size();
  eof_ = true;
}

void DaoRecordset::LoadCurrentRow() {
  RowLoader loader(RowStatement(), columns_);
  DoFieldExchange(loader);
}

void DaoRecordset::Close() {
  if (denyingWrites_) db_.AllowWrites(this);
  denyingWrites_ = false;
  if (keyed_) db_.UnwatchDynaset(this);
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  FinishKeys();
  sqlite3_finalize(rowStmt_);
  rowStmt_ = nullptr;
  keyed_ = false;
  keys_.clear();
  position_ = 0;
  eof_ = true;
  editMode_ = EditMode::None;
}

void DaoRecordset::MoveFirst() {
  Require(IsOpen(), kErrNoCurrentRecord, "The recordset is not open.");
  if (keyed_) {
    MoveToKey(0);
    return;
  }
  sqlite3_reset(stmt_);
  Step();
}

void DaoRecordset::MoveNext() {
  Require(IsOpen() && !eof_, kErrNoCurrentRecord, "No current record.");
  if (keyed_) {
    MoveToKey(position_ + 1);
    return;
  }
  Step();
}

bool DaoRecordset::FindFirst(const std::string& condition) {
  Require(IsOpen() && !table_.empty(), 3251,
          "Operation is not supported for this type of object.");
  std::set<std::int64_t> matches;
  {
    // A dynaset tests its members' current values; a snapshot its query's rows.
    Statement find(db_.Handle(),
                   keyed_ ? "SELECT rowid FROM " + table_ + " WHERE (" + condition + ")"
                          : std::string("SELECT ") + kRowidColumn + " FROM (" + query_ +
                                ") WHERE (" + condition + ")");
    while (find.Step()) matches.insert(sqlite3_column_int64(find.Get(), 0));
  }
  if (matches.empty()) return false;
  if (keyed_) {
    for (std::size_t position = 0; CollectKeysUpTo(position); ++position) {
      if (matches.count(keys_[position]) != 0) {
        MoveToKey(position);
        return true;
      }
    }
    return false;
  }
  for (MoveFirst(); !eof_; Step()) {
    if (matches.count(currentRowid_) != 0) return true;
  }
  return false;
}

void DaoRecordset::AddNew() {
  Require(IsOpen() && updatable_, kErrNotUpdatable,
          "Cannot update. Database or object is read-only.");
  RowClearer clearer;
  DoFieldExchange(clearer);
  editMode_ = EditMode::Add;
}

void DaoRecordset::Edit() {
  Require(IsOpen() && updatable_, kErrNotUpdatable,
          "Cannot update. Database or object is read-only.");
  Require(!eof_ && !deleted_, kErrNoCurrentRecord, "No current record.");
  editMode_ = EditMode::Edit;
}

void DaoRecordset::Update() {
  Require(editMode_ != EditMode::None, 3020, "Update or CancelUpdate without AddNew or Edit.");
  assert(keyed_ && updatable_);
  RowCollector collector;
  DoFieldExchange(collector);
  std::string sql;
  if (editMode_ == EditMode::Add) {
    std::string names;
    std::string marks;
    for (const auto& field : collector.fields) {
      names += (names.empty() ? "" : ", ") + field.first;
      marks += marks.empty() ? "?" : ", ?";
    }
    sql = "INSERT INTO " + table_ + " (" + names + ") VALUES (" + marks + ")";
  } else {
    std::string sets;
    for (const auto& field : collector.fields) {
      sets += (sets.empty() ? "" : ", ") + field.first + " = ?";
    }
    // The row id comes back: writing an INTEGER PRIMARY KEY column changes it.
    sql = "UPDATE " + table_ + " SET " + sets + " WHERE rowid = ? RETURNING rowid";
  }
  db_.CollectDynasetKeys();
  std::int64_t rowid = 0;
  bool written = true;
  {
    const DaoDatabase::HolderWrite own(db_, this);
    Statement write(db_.Handle(), sql);
    int index = 1;
    for (const auto& field : collector.fields) write.Bind(index++, field.second);
    if (editMode_ == EditMode::Edit) write.Bind(index, currentRowid_);
    // All changes are made by the first step; a RETURNING row then holds the row id.
    if (editMode_ == EditMode::Edit) {
      written = write.Step();
      if (written) rowid = sqlite3_column_int64(write.Get(), 0);
    } else {
      write.Step();
      rowid = sqlite3_last_insert_rowid(db_.Handle());
    }
  }
  const EditMode mode = editMode_;
  editMode_ = EditMode::None;
  if (!written) {
    deleted_ = true;  // deleted by another statement since Edit
    throw DaoException(kErrRecordDeleted, "Record is deleted.");
  }
  if (mode == EditMode::Add) {
    // A row added through the dynaset joins its set at the end; the current row stays.
    keys_.push_back(rowid);
  } else {
    keys_[position_] = rowid;
    MoveToKey(position_);  // the row as it now stands
  }
}

void DaoRecordset::CancelUpdate() {
  editMode_ = EditMode::None;
  if (IsOpen() && !eof_ && !deleted_) LoadCurrentRow();
}

void DaoRecordset::Delete() {
  Require(IsOpen() && updatable_, kErrNotUpdatable,
          "Cannot update. Database or object is read-only.");
  Require(!eof_ && !deleted_, kErrNoCurrentRecord, "No current record.");
  db_.CollectDynasetKeys();
  const DaoDatabase::HolderWrite own(db_, this);
  Statement remove(db_.Handle(), "DELETE FROM " + table_ + " WHERE rowid = ?");
  remove.Bind(1, currentRowid_);
  remove.Step();
  deleted_ = true;
}

int DaoRecordset::GetFieldCount() const {
  return IsOpen() ? sqlite3_column_count(RowStatement()) - firstDataColumn_ : 0;
}

DaoValue DaoRecordset::GetFieldValue(int index) const {
  Require(IsOpen() && !eof_, kErrNoCurrentRecord, "No current record.");
  Require(index >= 0 && index < GetFieldCount(), 3265, "Item not found in this collection.");
  const int column = index + firstDataColumn_;
  sqlite3_stmt* row = RowStatement();
  switch (sqlite3_column_type(row, column)) {
    case SQLITE_INTEGER: return std::int64_t{sqlite3_column_int64(row, column)};
    case SQLITE_FLOAT: return sqlite3_column_double(row, column);
    case SQLITE_NULL: return std::monostate{};
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
      return std::string(text != nullptr ? text : "",
                         static_cast<std::size_t>(sqlite3_column_bytes(row, column)));
    }
  }
}

}  // namespace vx::dao
