// Repairs a damaged library file. The damaged file is first kept as a dated backup beside it
// (never overwriting an earlier one); every row that can still be read is then salvaged page
// by page (PageSalvage.h) into a new library file with the full schema and indexes, which is
// checked and only then put in place of the damaged one in one rename. Audio files are
// never touched.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace vx::admin {

struct TableRepair {
  std::string table;
  long recovered = 0;         // rows in the repaired table
  long fromLoosePages = 0;    // of those, rows found on pages no longer reached from the table
  long refused = 0;           // rows salvaged but refused (a duplicate key)
  std::optional<long> before; // rows the damaged file still counted, when it could count them
};

struct RepairReport {
  std::string backup;                  // the kept damaged file (empty when none was made)
  std::vector<TableRepair> tables;     // the library's six tables, in schema order
  long unplacedRows = 0;               // rows found whose table could not be told
  long undecodableRows = 0;            // cells on readable pages that did not decode
  std::uint32_t unreadablePages = 0;   // pages that held nothing readable
  bool versionRestored = false;        // the schema version row was lost and written again
  std::vector<std::string> problems;   // when not empty, the library was left as it was
};

// Repairs the library in folder; `now` dates the backup.
RepairReport RepairLibrary(const std::string& folder, std::time_t now);

// The backup name for a damaged file at `now`: "<file>.damaged-YYYYMMDD-HHMMSS", with "-2",
// "-3", ... added when that name is taken.
std::string BackupName(const std::string& file, std::time_t now);

}  // namespace vx::admin
