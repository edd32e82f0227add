#include "admin/LibraryRepair.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <cassert>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "admin/LibraryCreator.h"
#include "admin/LibraryMaintenance.h"
#include "admin/PageSalvage.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"

namespace vx::admin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kVersionParm = "DatabaseVersion";

// A column as the new library declares it: its storage kind ('I'nteger, 'R'eal, 'T'ext)
// and whether it is the table's row id.
struct Column {
  std::string name;
  char kind = 'T';
  bool rowid = false;
};

struct Shape {
  std::string table;
  std::vector<Column> columns;
};

// The folder the repair works in, beside the library (so the new file is renamed into
// place on the same file system); removed on every way out.
class ScratchFolder {
 public:
  explicit ScratchFolder(const fs::path& library) {
    std::string pattern = (library / ".repair-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot make a work folder in " + library.string());
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// Copies a database file and its write-ahead journal (when it holds anything); never
// replaces an existing file.
void CopyWithJournal(const fs::path& from, const fs::path& to) {
  fs::copy_file(from, to, fs::copy_options::none);
  const fs::path journal = from.string() + "-wal";
  std::error_code error;
  if (fs::file_size(journal, error) > 0 && !error) {
    fs::copy_file(journal, to.string() + "-wal", fs::copy_options::none);
  }
}

// Folds the journal into the copy's main file, where the salvage reads. A journal SQLite
// cannot apply stays unread (its changes are lost).
void FoldJournal(const fs::path& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    // Reading the header opens the journal; only then is there something to fold in.
    sqlite3_exec(db, "PRAGMA schema_version", nullptr, nullptr, nullptr);
    sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  }
  sqlite3_close(db);
}

// The rows SQLite itself can still count in a table of the damaged copy.
std::optional<long> CountRows(const fs::path& file, const std::string& table) {
  sqlite3* db = nullptr;
  std::optional<long> count;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = "SELECT count(*) FROM \"" + table + "\"";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
      count = static_cast<long>(sqlite3_column_int64(stmt, 0));
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return count;
}

Shape ReadShape(dao::DaoDatabase& db, const std::string& table) {
  Shape shape;
  shape.table = table;
  dao::DaoRecordset info(db);
  info.Open(dao::OpenType::Snapshot, "PRAGMA table_info(\"" + table + "\")", dao::kForwardOnly);
  for (; !info.IsEOF(); info.MoveNext()) {
    Column column;
    column.name = std::get<std::string>(info.GetFieldValue(1));
    const std::string type = std::get<std::string>(info.GetFieldValue(2));
    column.kind = type == "INTEGER" ? 'I' : type == "REAL" ? 'R' : 'T';
    column.rowid = column.kind == 'I' && std::get<std::int64_t>(info.GetFieldValue(5)) == 1;
    shape.columns.push_back(std::move(column));
  }
  return shape;
}

// Whether a salvaged row can be a row of the table: as many fields as columns, each of the
// column's kind or empty (the row id column is always empty in a stored row).
bool Fits(const SalvagedRow& row, const Shape& shape) {
  if (row.fields.size() != shape.columns.size()) return false;
  for (std::size_t i = 0; i < row.fields.size(); ++i) {
    const dao::DaoValue& value = row.fields[i];
    const Column& column = shape.columns[i];
    if (std::holds_alternative<std::monostate>(value)) continue;
    if (column.rowid) return false;
    const bool isInteger = std::holds_alternative<std::int64_t>(value);
    const bool fits = column.kind == 'I'   ? isInteger
                      : column.kind == 'R' ? isInteger || std::holds_alternative<double>(value)
                                           : std::holds_alternative<std::string>(value);
    if (!fits) return false;
  }
  return true;
}

bool AllFit(const SalvagedPage& page, const Shape& shape) {
  for (const SalvagedRow& row : page.rows) {
    if (!Fits(row, shape)) return false;
  }
  return true;
}

// Writes salvaged rows into the new library, keeping their row ids; a row whose id or
// unique key is taken already is refused.
class RowWriter {
 public:
  RowWriter(dao::DaoDatabase& db, const Shape& shape) : db_(db) {
    std::string names = "rowid";
    std::string marks = "?";
    for (const Column& column : shape.columns) {
      names += ", " + column.name;
      marks += ", ?";
    }
    const std::string sql =
        "INSERT OR IGNORE INTO " + shape.table + " (" + names + ") VALUES (" + marks + ")";
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
      sqlite3_finalize(stmt_);
      db.ThrowLastError(sqlite3_errcode(db.Handle()));
    }
    for (std::size_t i = 0; i < shape.columns.size(); ++i) {
      if (shape.columns[i].rowid) rowidColumn_ = static_cast<int>(i);
    }
  }
  ~RowWriter() { sqlite3_finalize(stmt_); }
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // Answers whether the row was written.
  bool Write(const SalvagedRow& row) {
    sqlite3_reset(stmt_);
    sqlite3_bind_int64(stmt_, 1, row.rowid);
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
      const int index = static_cast<int>(i) + 2;
      const dao::DaoValue& value = row.fields[i];
      if (static_cast<int>(i) == rowidColumn_) {
        sqlite3_bind_int64(stmt_, index, row.rowid);
      } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
        sqlite3_bind_int64(stmt_, index, *number);
      } else if (const auto* real = std::get_if<double>(&value)) {
        sqlite3_bind_double(stmt_, index, *real);
      } else if (const auto* text = std::get_if<std::string>(&value)) {
        sqlite3_bind_text(stmt_, index, text->data(), static_cast<int>(text->size()),
                          SQLITE_TRANSIENT);
      } else {
        sqlite3_bind_null(stmt_, index);
      }
    }
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE) db_.ThrowLastError(rc);
    return sqlite3_changes(db_.Handle()) > 0;
  }

 private:
  dao::DaoDatabase& db_;
  sqlite3_stmt* stmt_ = nullptr;
  int rowidColumn_ = -1;
};

// Puts salvaged pages into the tables of the new library.
class Rebuilder {
 public:
  Rebuilder(dao::DaoDatabase& db, RepairReport& report) : db_(db), report_(report) {
    for (const char* table : kLibraryTables) {
      shapes_.push_back(ReadShape(db, table));
      writers_.push_back(std::make_unique<RowWriter>(db, shapes_.back()));
      TableRepair entry;
      entry.table = table;
      report_.tables.push_back(entry);
    }
  }

  // A page reached from its table's root: its rows are the table's where they fit; a page
  // none of whose rows fit came to the table by damage and is placed by its rows' shape.
  void PlaceTreePage(const std::string& table, const SalvagedPage& page) {
    report_.undecodableRows += page.badCells;
    const int index = IndexOf(table);
    if (index < 0) return;  // a table the library does not have
    long fitting = 0;
    for (const SalvagedRow& row : page.rows) fitting += Fits(row, shapes_[index]) ? 1 : 0;
    if (fitting == 0 && !page.rows.empty()) {
      PlaceLoosePage(page);
      return;
    }
    for (const SalvagedRow& row : page.rows) {
      if (Fits(row, shapes_[index])) {
        Write(index, row, false);
      } else {
        ++report_.undecodableRows;
      }
    }
  }

  // A page no table reaches: its table is the one whose shape all its rows fit.
  void PlaceLoosePage(const SalvagedPage& page) {
    std::vector<int> candidates;
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
      if (AllFit(page, shapes_[i])) candidates.push_back(static_cast<int>(i));
    }
    if (candidates.size() > 1) candidates = TellApart(page, candidates);
    if (candidates.size() != 1) {
      report_.unplacedRows += static_cast<long>(page.rows.size());
      return;
    }
    for (const SalvagedRow& row : page.rows) Write(candidates.front(), row, true);
  }

 private:
  int IndexOf(const std::string& table) const {
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
      if (shapes_[i].table == table) return static_cast<int>(i);
    }
    return -1;
  }

  // The settings table and the song types have the same shape; the settings page is the
  // one that names the schema version.
  std::vector<int> TellApart(const SalvagedPage& page, const std::vector<int>& candidates) {
    const int parms = IndexOf("VeluParms");
    const int types = IndexOf("SongType");
    if (candidates.size() != 2 || candidates[0] + candidates[1] != parms + types) {
      return candidates;
    }
    for (const SalvagedRow& row : page.rows) {
      const auto* name = std::get_if<std::string>(&row.fields[0]);
      if (name != nullptr && sqlite3_stricmp(name->c_str(), kVersionParm) == 0) return {parms};
    }
    return {types};
  }

  void Write(int index, const SalvagedRow& row, bool loose) {
    TableRepair& entry = report_.tables[index];
    if (writers_[index]->Write(row)) {
      ++entry.recovered;
      if (loose) ++entry.fromLoosePages;
    } else {
      ++entry.refused;
    }
  }

  dao::DaoDatabase& db_;
  RepairReport& report_;
  std::vector<Shape> shapes_;
  std::vector<std::unique_ptr<RowWriter>> writers_;
};

// Fills the new library from the salvage; writes the schema version again when it was lost.
void Rebuild(const fs::path& file, const Salvage& salvage, RepairReport& report) {
  dao::DaoDatabase db;
  db.Open(file.string());
  db.BeginTrans();
  db.Execute("DELETE FROM VeluParms");  // the new file's own version row; the salvage has one
  {
    Rebuilder rebuilder(db, report);
    for (const SalvagedTable& table : salvage.tables) {
      for (const SalvagedPage& page : table.pages) rebuilder.PlaceTreePage(table.name, page);
    }
    for (const SalvagedPage& page : salvage.orphanPages) rebuilder.PlaceLoosePage(page);
  }
  dao::DaoRecordset version(db);
  version.Open(dao::OpenType::Snapshot,
               std::string("SELECT ParmValue FROM VeluParms WHERE ParmName = '") + kVersionParm +
                   "'",
               dao::kForwardOnly);
  if (version.IsEOF()) {
    version.Close();
    db.Execute(std::string("INSERT INTO VeluParms (ParmName, ParmValue) VALUES ('") +
               kVersionParm + "', '2.0')");
    report.versionRestored = true;
  }
  version.Close();
  db.CommitTrans();
}

}  // namespace

std::string BackupName(const std::string& file, std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = file + ".damaged-" + stamp;
  std::string name = base;
  std::error_code error;
  for (int n = 2; fs::exists(name, error) || fs::exists(name + "-wal", error); ++n) {
    name = base + "-" + std::to_string(n);
  }
  return name;
}

RepairReport RepairLibrary(const std::string& folder, std::time_t now) {
  RepairReport report;
  const fs::path file = fs::path(folder) / kLibraryFileName;
  std::error_code error;
  if (!fs::exists(file, error)) {
    report.problems.push_back("no library file " + file.string());
    return report;
  }
  try {
    const std::string backup = BackupName(file.string(), now);
    CopyWithJournal(file, backup);
    report.backup = backup;

    ScratchFolder scratch(folder);
    const fs::path damaged = scratch.Path() / "damaged.vxl";
    CopyWithJournal(file, damaged);
    FoldJournal(damaged);
    const Salvage salvage = SalvageFile(damaged.string());
    report.unreadablePages = salvage.unreadablePages;

    const fs::path rebuilt = scratch.Path() / kLibraryFileName;
    CreateLibraryFile(rebuilt.string());
    Rebuild(rebuilt, salvage, report);
    for (TableRepair& table : report.tables) table.before = CountRows(damaged, table.table);

    std::vector<std::string> problems = CheckLibraryFile(rebuilt.string());
    if (!problems.empty()) {
      for (std::string& problem : problems) report.problems.push_back("rebuilt file: " + problem);
      return report;
    }
    // The damaged file's journal must not be applied to the new file.
    for (const char* suffix : {"-wal", "-shm"}) fs::remove(file.string() + suffix);
    fs::rename(rebuilt, file);
  } catch (const dao::DaoException& exception) {
    report.problems.push_back(std::string("database error: ") + exception.what());
  } catch (const std::exception& exception) {
    report.problems.push_back(exception.what());
  }
  return report;
}

}  // namespace vx::admin
