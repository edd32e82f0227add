// The report engine's selection formula: which rows of the Songs table a report lists. The
// formula is parsed and evaluated here, never turned into SQL. Grammar (blanks between
// tokens are free; "and" and "in" and "to" and "like" without regard to case):
//
//   formula := clause { "and" clause }            an empty formula selects every row
//   clause  := field "like" text                  wildcards '*', '?', '#' and [sets], no case
//            | field "=" (text | number)          text compared without regard to case
//            | field (">" | "<") number
//            | field "in" "[" text { "," text } "]"
//            | field "in" number "to" number       both ends included
//   field   := "{Songs." name "}"
//   text    := "'" { character | "''" } "'"        a doubled apostrophe stands for one
//
// Anything else is refused by Parse with a message that says where.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dao/DaoRecordset.h"

namespace vx::report {

// The value of a named field of the row being tested; monostate when the row lacks it.
using FieldLookup = std::function<dao::DaoValue(const std::string& field)>;

class SelectionFormula {
 public:
  struct Clause;

  SelectionFormula();
  ~SelectionFormula();
  SelectionFormula(SelectionFormula&&) noexcept;
  SelectionFormula& operator=(SelectionFormula&&) noexcept;

  // Parses text; on failure answers false and sets error. An empty text selects all.
  bool Parse(std::string_view text, std::string& error);
  // The names of the fields the formula uses, for checking them against a table.
  std::vector<std::string> Fields() const;
  bool Matches(const FieldLookup& row) const;

 class Reader;

 private:
  bool Refuse(const Reader& in, std::string& error);
  std::vector<Clause> clauses_;
};

// The text between the apostrophes of a "'...'" literal with doubled apostrophes made
// single; nothing when text is not exactly one such literal (blanks around it allowed).
bool ParseTextLiteral(std::string_view text, std::string& value);

}  // namespace vx::report
