// The rows a report lists: every song of the library file that the selection formula
// accepts, in the order of the sort field (text without regard to case, numbers as
// numbers, equal values by SongID), each with its cue point lines when the layout asks.
#pragma once

#include <string>
#include <vector>

#include "platform/dao/DaoRecordset.h"
#include "platform/report/SelectionFormula.h"

namespace vx::report {

struct ReportRow {
  std::vector<dao::DaoValue> values;  // in the order of ReportRows::fields
  std::vector<std::string> cues;      // "number  name  offset", in cue number order
};

struct ReportRows {
  std::vector<std::string> fields;  // the Songs table's columns
  std::vector<ReportRow> rows;
  // The column of a field (name without regard to case); -1 when there is none.
  int FieldIndex(const std::string& name) const;
};

// Reads the rows from the library file at path (opened read-only). Throws
// dao::DaoException when the file cannot be read; answers false with error when the sort
// field or a field of the formula is not a column of Songs.
bool ReadReportRows(const std::string& path, const SelectionFormula& formula,
                    const std::string& sortField, bool withCues, ReportRows& out,
                    std::string& error);

// The text of a value as a report prints it; numbers through format when one is given.
std::string ValueText(const dao::DaoValue& value, const std::string& format = {});

}  // namespace vx::report
