// Reads table rows out of a damaged SQLite database file page by page, without SQLite: what
// the library's repair rebuilds a library from. It walks each table's b-tree from the root
// page the schema names, takes every cell that still decodes, and then looks at every page
// that no tree reached and that is not on the free list: a table leaf page whose cells all
// decode is reported as an orphan page (its table is for the caller to tell by the rows'
// shape). Pages that hold neither are counted as unreadable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dao/DaoRecordset.h"

namespace vx::admin {

struct SalvagedRow {
  std::int64_t rowid = 0;
  std::vector<dao::DaoValue> fields;  // blobs arrive as strings
};

// The rows of one table leaf page.
struct SalvagedPage {
  std::uint32_t number = 0;
  std::vector<SalvagedRow> rows;
  int badCells = 0;  // cells that did not decode (their rows are lost)
};

struct SalvagedTable {
  std::string name;
  std::uint32_t rootPage = 0;
  std::vector<SalvagedPage> pages;  // leaf pages reached from the root, in tree order
};

struct Salvage {
  bool headerRead = false;  // the file header named a page size (else 4096 was assumed)
  bool schemaRead = false;  // the schema table's tree could be walked
  std::vector<SalvagedTable> tables;
  std::vector<SalvagedPage> orphanPages;
  std::uint32_t pageCount = 0;
  std::uint32_t unreadablePages = 0;  // neither free, nor reached, nor a whole table leaf
};

// Throws std::runtime_error when the file cannot be read at all.
Salvage SalvageFile(const std::string& path);

// The same on the bytes of a file (what SalvageFile reads); for tests and fuzzing.
Salvage SalvageBytes(std::vector<std::uint8_t> bytes);

}  // namespace vx::admin
