#include "admin/PageSalvage.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <unordered_set>

namespace vx::admin {
namespace {

constexpr std::uint32_t kAssumedPageSize = 4096;
constexpr std::uint8_t kInteriorTable = 5;
constexpr std::uint8_t kLeafTable = 13;
constexpr int kMaxTreeDepth = 40;  // far deeper than any real b-tree

std::uint32_t Be16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] << 8 | p[1]); }
std::uint32_t Be32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// The file as pages, 1-based, with the layout its header gives.
class PageFile {
 public:
  explicit PageFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    static const char kMagic[] = "SQLite format 3";
    if (bytes_.size() >= 100 && std::memcmp(bytes_.data(), kMagic, sizeof kMagic) == 0) {
      std::uint32_t size = Be16(bytes_.data() + 16);
      if (size == 1) size = 65536;
      const std::uint32_t reserved = bytes_[20];
      if (size >= 512 && (size & (size - 1)) == 0 && reserved + 480 <= size) {
        pageSize_ = size;
        usable_ = size - reserved;
        headerRead_ = true;
      }
    }
    pageCount_ = static_cast<std::uint32_t>(bytes_.size() / pageSize_);
  }

  bool HeaderRead() const { return headerRead_; }
  std::uint32_t PageCount() const { return pageCount_; }
  std::uint32_t Usable() const { return usable_; }
  bool Exists(std::uint32_t page) const { return page >= 1 && page <= pageCount_; }
  // The page's bytes (Usable() of them count); the page must exist.
  const std::uint8_t* Page(std::uint32_t page) const {
    return bytes_.data() + static_cast<std::size_t>(page - 1) * pageSize_;
  }
  // Where the b-tree header starts: page 1 carries the file header first.
  static std::uint32_t HeaderOffset(std::uint32_t page) { return page == 1 ? 100 : 0; }
  std::uint32_t FirstFreelistTrunk() const { return headerRead_ ? Be32(bytes_.data() + 32) : 0; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t pageSize_ = kAssumedPageSize;
  std::uint32_t usable_ = kAssumedPageSize;
  std::uint32_t pageCount_ = 0;
  bool headerRead_ = false;
};

// Reads an SQLite varint at p (at most end); nothing when it runs past end.
std::optional<std::uint64_t> Varint(const std::uint8_t*& p, const std::uint8_t* end) {
  std::uint64_t value = 0;
  for (int i = 0; i < 9; ++i) {
    if (p >= end) return std::nullopt;
    const std::uint8_t byte = *p++;
    if (i == 8) return value << 8 | byte;
    value = value << 7 | (byte & 0x7f);
    if ((byte & 0x80) == 0) return value;
  }
  return value;
}

// Decodes a record (header of serial types, then the values).
std::optional<std::vector<dao::DaoValue>> DecodeRecord(const std::vector<std::uint8_t>& payload) {
  const std::uint8_t* const begin = payload.data();
  const std::uint8_t* const end = begin + payload.size();
  const std::uint8_t* p = begin;
  const auto headerSize = Varint(p, end);
  if (!headerSize || *headerSize > payload.size() || *headerSize < 1) return std::nullopt;
  const std::uint8_t* const headerEnd = begin + *headerSize;
  std::vector<std::uint64_t> types;
  while (p < headerEnd) {
    const auto type = Varint(p, headerEnd);
    if (!type || *type == 10 || *type == 11) return std::nullopt;
    types.push_back(*type);
  }
  std::vector<dao::DaoValue> fields;
  fields.reserve(types.size());
  const std::uint8_t* data = headerEnd;
  for (const std::uint64_t type : types) {
    static const std::uint32_t kIntBytes[] = {0, 1, 2, 3, 4, 6, 8};
    if (type == 0) {
      fields.emplace_back(std::monostate{});
    } else if (type <= 6 || type == 7) {
      const std::uint32_t size = type == 7 ? 8 : kIntBytes[type];
      if (static_cast<std::size_t>(end - data) < size) return std::nullopt;
      std::uint64_t bits = (type != 7 && (data[0] & 0x80) != 0) ? ~std::uint64_t{0} : 0;
      for (std::uint32_t i = 0; i < size; ++i) bits = bits << 8 | data[i];
      data += size;
      if (type == 7) {
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        fields.emplace_back(value);
      } else {
        fields.emplace_back(static_cast<std::int64_t>(bits));
      }
    } else if (type == 8 || type == 9) {
      fields.emplace_back(std::int64_t{type == 9 ? 1 : 0});
    } else {
      const std::uint64_t size = (type - (type % 2 == 0 ? 12 : 13)) / 2;
      if (static_cast<std::uint64_t>(end - data) < size) return std::nullopt;
      fields.emplace_back(std::string(reinterpret_cast<const char*>(data), size));
      data += size;
    }
  }
  return fields;
}

class Salvager {
 public:
  explicit Salvager(std::vector<std::uint8_t> bytes) : file_(std::move(bytes)) {}

  Salvage Run() {
    Salvage result;
    result.headerRead = file_.HeaderRead();
    result.pageCount = file_.PageCount();
    MarkFreelist();
    SalvagedTable schema;
    schema.name = "sqlite_schema";
    result.schemaRead = file_.Exists(1) && Walk(1, schema, 0);
    for (const SalvagedPage& page : schema.pages) {
      for (const SalvagedRow& row : page.rows) AddTable(row, result);
    }
    for (SalvagedTable& table : result.tables) Walk(table.rootPage, table, 0);
    for (std::uint32_t page = 1; page <= file_.PageCount(); ++page) {
      if (IsAccountedFor(page)) continue;
      SalvagedPage orphan;
      orphan.number = page;
      if (ReadLeaf(page, orphan) && orphan.badCells == 0 && !orphan.rows.empty()) {
        reached_.insert(page);
        result.orphanPages.push_back(std::move(orphan));
      }
    }
    // Counted only now: an orphan page's overflow pages may come before it.
    for (std::uint32_t page = 1; page <= file_.PageCount(); ++page) {
      if (!IsAccountedFor(page) && !IsIntactIndexPage(page)) ++result.unreadablePages;
    }
    return result;
  }

 private:
  // A row of the schema table: (type, name, tbl_name, rootpage, sql).
  void AddTable(const SalvagedRow& row, Salvage& result) {
    if (row.fields.size() < 4) return;
    const auto* type = std::get_if<std::string>(&row.fields[0]);
    const auto* name = std::get_if<std::string>(&row.fields[1]);
    const auto* root = std::get_if<std::int64_t>(&row.fields[3]);
    if (type == nullptr || *type != "table" || name == nullptr || root == nullptr) return;
    if (*root < 2 || !file_.Exists(static_cast<std::uint32_t>(*root))) return;
    SalvagedTable table;
    table.name = *name;
    table.rootPage = static_cast<std::uint32_t>(*root);
    result.tables.push_back(std::move(table));
  }

  bool IsAccountedFor(std::uint32_t page) const {
    return reached_.count(page) != 0 || free_.count(page) != 0 || overflow_.count(page) != 0;
  }

  // Free-list trunk pages and the leaves they list hold no live rows.
  void MarkFreelist() {
    const std::uint32_t maxLeaves = file_.Usable() / 4 - 2;
    for (std::uint32_t trunk = file_.FirstFreelistTrunk();
         file_.Exists(trunk) && free_.insert(trunk).second;) {
      const std::uint8_t* page = file_.Page(trunk);
      const std::uint32_t count = Be32(page + 4);
      for (std::uint32_t i = 0; i < count && i < maxLeaves; ++i) {
        const std::uint32_t leaf = Be32(page + 8 + 4 * i);
        if (file_.Exists(leaf)) free_.insert(leaf);
      }
      trunk = Be32(page);
    }
  }

  // Walks a table b-tree; answers whether its root was a table page.
  bool Walk(std::uint32_t page, SalvagedTable& table, int depth) {
    if (!file_.Exists(page) || depth > kMaxTreeDepth || reached_.count(page) != 0) return false;
    const std::uint8_t* bytes = file_.Page(page);
    const std::uint32_t header = PageFile::HeaderOffset(page);
    if (bytes[header] == kLeafTable) {
      SalvagedPage leaf;
      leaf.number = page;
      if (!ReadLeaf(page, leaf)) return false;
      reached_.insert(page);
      table.pages.push_back(std::move(leaf));
      return true;
    }
    if (bytes[header] != kInteriorTable) return false;
    const auto cells = CellOffsets(page, 12);
    if (!cells) return false;
    reached_.insert(page);
    for (const std::uint32_t offset : *cells) {
      if (offset + 4 <= file_.Usable()) Walk(Be32(bytes + offset), table, depth + 1);
    }
    Walk(Be32(bytes + header + 8), table, depth + 1);
    return true;
  }

  // The cell offsets of a b-tree page whose header is headerSize bytes; nothing when the
  // header does not describe a page.
  std::optional<std::vector<std::uint32_t>> CellOffsets(std::uint32_t page,
                                                        std::uint32_t headerSize) const {
    const std::uint8_t* bytes = file_.Page(page);
    const std::uint32_t header = PageFile::HeaderOffset(page);
    const std::uint32_t count = Be16(bytes + header + 3);
    const std::uint32_t pointers = header + headerSize;
    if (pointers + 2 * count > file_.Usable()) return std::nullopt;
    std::vector<std::uint32_t> offsets;
    offsets.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t offset = Be16(bytes + pointers + 2 * i);
      if (offset < pointers + 2 * count || offset >= file_.Usable()) return std::nullopt;
      offsets.push_back(offset);
    }
    return offsets;
  }

  // Reads the cells of a table leaf page into leaf; false when it is not one.
  bool ReadLeaf(std::uint32_t page, SalvagedPage& leaf) {
    const std::uint8_t* bytes = file_.Page(page);
    if (bytes[PageFile::HeaderOffset(page)] != kLeafTable) return false;
    const auto cells = CellOffsets(page, 8);
    if (!cells) return false;
    for (const std::uint32_t offset : *cells) {
      SalvagedRow row;
      if (ReadCell(bytes, offset, row)) {
        leaf.rows.push_back(std::move(row));
      } else {
        ++leaf.badCells;
      }
    }
    return true;
  }

  bool ReadCell(const std::uint8_t* bytes, std::uint32_t offset, SalvagedRow& row) {
    const std::uint32_t usable = file_.Usable();
    const std::uint8_t* p = bytes + offset;
    const std::uint8_t* const end = bytes + usable;
    const auto size = Varint(p, end);
    const auto rowid = Varint(p, end);
    if (!size || !rowid || *size > std::uint64_t{file_.PageCount()} * usable) return false;
    row.rowid = static_cast<std::int64_t>(*rowid);
    // How much of the payload lies on the page; the rest is on overflow pages.
    const std::uint64_t maxLocal = usable - 35;
    const std::uint64_t minLocal = (usable - 12) * 32 / 255 - 23;
    std::uint64_t local = *size;
    if (*size > maxLocal) {
      const std::uint64_t k = minLocal + (*size - minLocal) % (usable - 4);
      local = k <= maxLocal ? k : minLocal;
    }
    const bool overflows = local < *size;
    if (static_cast<std::uint64_t>(end - p) < local + (overflows ? 4 : 0)) return false;
    std::vector<std::uint8_t> payload(p, p + local);
    if (overflows && !ReadOverflow(Be32(p + local), *size - local, payload)) return false;
    auto fields = DecodeRecord(payload);
    if (!fields) return false;
    row.fields = std::move(*fields);
    return true;
  }

  // Follows an overflow chain; its pages are then accounted for.
  bool ReadOverflow(std::uint32_t page, std::uint64_t remaining,
                    std::vector<std::uint8_t>& payload) {
    std::unordered_set<std::uint32_t> seen;
    const std::uint32_t room = file_.Usable() - 4;
    while (remaining > 0) {
      if (!file_.Exists(page) || IsAccountedFor(page) || !seen.insert(page).second) return false;
      const std::uint8_t* bytes = file_.Page(page);
      const std::uint64_t take = std::min<std::uint64_t>(remaining, room);
      payload.insert(payload.end(), bytes + 4, bytes + 4 + take);
      remaining -= take;
      page = Be32(bytes);
    }
    overflow_.insert(seen.begin(), seen.end());
    return true;
  }

  // Index pages are not walked (the repair builds its indexes anew); one that still reads as
  // an index page is not damage.
  bool IsIntactIndexPage(std::uint32_t page) const {
    const std::uint8_t type = file_.Page(page)[PageFile::HeaderOffset(page)];
    if (type == 2) return CellOffsets(page, 12).has_value();
    if (type == 10) return CellOffsets(page, 8).has_value();
    return false;
  }

  PageFile file_;
  std::unordered_set<std::uint32_t> reached_;
  std::unordered_set<std::uint32_t> free_;
  std::unordered_set<std::uint32_t> overflow_;
};

}  // namespace

Salvage SalvageBytes(std::vector<std::uint8_t> bytes) { return Salvager(std::move(bytes)).Run(); }

Salvage SalvageFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  return SalvageBytes(std::move(bytes));
}

}  // namespace vx::admin
