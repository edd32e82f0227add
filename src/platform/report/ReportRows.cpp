#include "platform/report/ReportRows.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
#include <variant>

#include "platform/dao/DaoDatabase.h"
#include "platform/report/ReportText.h"

namespace vx::report {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Printf(const char* format, const std::string& argument) {
  char text[256];
  std::snprintf(text, sizeof text, format, argument.c_str());
  return text;
}

// Runs sql and hands each row's values to take.
template <typename Take>
void ForEachRow(dao::DaoDatabase& db, const char* sql, std::vector<std::string>* names,
                Take take) {
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v2(db.Handle(), sql, -1, &statement, nullptr);
  if (rc != SQLITE_OK) db.ThrowLastError(rc);
  const int count = sqlite3_column_count(statement);
  if (names != nullptr) {
    for (int i = 0; i < count; ++i) names->emplace_back(sqlite3_column_name(statement, i));
  }
  std::vector<dao::DaoValue> values(static_cast<std::size_t>(count));
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    for (int i = 0; i < count; ++i) {
      auto& value = values[static_cast<std::size_t>(i)];
      switch (sqlite3_column_type(statement, i)) {
        case SQLITE_INTEGER: value = std::int64_t(sqlite3_column_int64(statement, i)); break;
        case SQLITE_FLOAT: value = sqlite3_column_double(statement, i); break;
        case SQLITE_NULL: value = std::monostate{}; break;
        default:
          value = std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
      }
    }
    take(values);
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) db.ThrowLastError(rc);
}

// Orders two values of one column: nothing first, numbers by value, text by its letters
// without regard to case (as the library's own ordering does).
int Compare(const dao::DaoValue& a, const dao::DaoValue& b) {
  const bool aNumber = !std::holds_alternative<std::string>(a) && !std::holds_alternative<std::monostate>(a);
  const bool bNumber = !std::holds_alternative<std::string>(b) && !std::holds_alternative<std::monostate>(b);
  if (a.index() == 0 || b.index() == 0) return int(a.index() != 0) - int(b.index() != 0);
  if (aNumber && bNumber) {
    auto number = [](const dao::DaoValue& v) {
      return std::holds_alternative<double>(v) ? std::get<double>(v)
                                               : static_cast<double>(std::get<std::int64_t>(v));
    };
    const double x = number(a);
    const double y = number(b);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (aNumber != bNumber) return aNumber ? -1 : 1;  // numbers before text, as SQLite orders
  const std::string& x = std::get<std::string>(a);
  const std::string& y = std::get<std::string>(b);
  const std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int cx = std::tolower(static_cast<unsigned char>(x[i]));
    const int cy = std::tolower(static_cast<unsigned char>(y[i]));
    if (cx != cy) return cx < cy ? -1 : 1;
  }
  return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

// "{Songs.Name}" -> "Name"; empty when the text is not such a reference.
std::string SortFieldName(const std::string& field) {
  const std::string prefix = "{SONGS.";
  if (field.size() <= prefix.size() + 1 || Upper(field.substr(0, prefix.size())) != prefix ||
      field.back() != '}') {
    return {};
  }
  return field.substr(prefix.size(), field.size() - prefix.size() - 1);
}

}  // namespace

int ReportRows::FieldIndex(const std::string& name) const {
  const std::string wanted = Upper(name);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (Upper(fields[i]) == wanted) return static_cast<int>(i);
  }
  return -1;
}

std::string ValueText(const dao::DaoValue& value, const std::string& format) {
  char text[64];
  if (const auto* real = std::get_if<double>(&value)) {
    std::snprintf(text, sizeof text, format.empty() ? "%g" : format.c_str(), *real);
    return text;
  }
  if (const auto* whole = std::get_if<std::int64_t>(&value)) {
    if (format.empty()) return std::to_string(*whole);
    std::snprintf(text, sizeof text, format.c_str(), static_cast<double>(*whole));
    return text;
  }
  if (const auto* string = std::get_if<std::string>(&value)) return *string;
  return {};
}

bool ReadReportRows(const std::string& path, const SelectionFormula& formula,
                    const std::string& sortField, bool withCues, ReportRows& out,
                    std::string& error) {
  out = {};
  dao::DaoDatabase db;
  db.Open(path, dao::OpenMode::ReadOnly);

  ForEachRow(db, "SELECT * FROM Songs LIMIT 0", &out.fields, [](const std::vector<dao::DaoValue>&) {});
  const int idColumn = out.FieldIndex("SongID");
  const std::string sortName = SortFieldName(sortField);
  const int sortColumn = sortName.empty() ? -1 : out.FieldIndex(sortName);
  if (idColumn < 0 || sortColumn < 0) {
    error = Printf(text::kReportBadSortField, sortField);
    return false;
  }
  for (const std::string& field : formula.Fields()) {
    if (out.FieldIndex(field) < 0) {
      error = Printf(text::kReportUnknownField, field);
      return false;
    }
  }

  ForEachRow(db, "SELECT * FROM Songs", nullptr, [&](const std::vector<dao::DaoValue>& values) {
    const bool selected = formula.Matches([&](const std::string& field) {
      return values[static_cast<std::size_t>(out.FieldIndex(field))];
    });
    if (selected) out.rows.push_back({values, {}});
  });
  const auto id = static_cast<std::size_t>(idColumn);
  const auto key = static_cast<std::size_t>(sortColumn);
  std::sort(out.rows.begin(), out.rows.end(), [&](const ReportRow& a, const ReportRow& b) {
    const int order = Compare(a.values[key], b.values[key]);
    return order != 0 ? order < 0 : Compare(a.values[id], b.values[id]) < 0;
  });

  if (withCues && !out.rows.empty()) {
    std::map<std::int64_t, std::vector<std::string>> cues;
    ForEachRow(db,
               "SELECT SongID, CueNumber, CueDescription, CueOffset FROM CueList "
               "ORDER BY SongID, CueNumber",
               nullptr, [&](const std::vector<dao::DaoValue>& values) {
                 const auto* song = std::get_if<std::int64_t>(&values[0]);
                 if (song == nullptr) return;
                 cues[*song].push_back(ValueText(values[1]) + "  " + ValueText(values[2]) +
                                       "  " + ValueText(values[3]));
               });
    for (ReportRow& row : out.rows) {
      const auto* song = std::get_if<std::int64_t>(&row.values[id]);
      if (song == nullptr) continue;
      const auto found = cues.find(*song);
      if (found != cues.end()) row.cues = found->second;
    }
  }
  return true;
}

}  // namespace vx::report
