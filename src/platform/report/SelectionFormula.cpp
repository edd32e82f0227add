#include "platform/report/SelectionFormula.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <variant>

#include "platform/dao/JetLike.h"
#include "platform/report/ReportText.h"

namespace vx::report {

struct SelectionFormula::Clause {
  enum class Op { Like, EqualText, EqualNumber, Greater, Less, InSet, InRange };
  std::string field;
  Op op = Op::Like;
  std::string text;
  double low = 0;
  double high = 0;
  std::vector<std::string> set;
};

namespace {

using Clause = SelectionFormula::Clause;
using Op = Clause::Op;

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

// Reads the formula's tokens from left to right.
class SelectionFormula::Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool AtEnd() {
    SkipBlanks();
    return pos_ >= text_.size();
  }
  std::size_t Position() const { return pos_; }

  // A word of letters ("and", "like", "in", "to"), compared without case.
  bool Word(std::string_view word) {
    SkipBlanks();
    const std::size_t end = pos_ + word.size();
    if (end > text_.size() || !EqualNoCase(text_.substr(pos_, word.size()), word)) return false;
    if (end < text_.size() && std::isalnum(static_cast<unsigned char>(text_[end]))) return false;
    pos_ = end;
    return true;
  }
  bool Symbol(char symbol) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != symbol) return false;
    ++pos_;
    return true;
  }
  bool Field(std::string& name) {
    SkipBlanks();
    constexpr std::string_view kPrefix = "{Songs.";
    if (!EqualNoCase(text_.substr(pos_, kPrefix.size()), kPrefix)) return false;
    const std::size_t close = text_.find('}', pos_);
    if (close == std::string_view::npos) return false;
    name = std::string(text_.substr(pos_ + kPrefix.size(), close - pos_ - kPrefix.size()));
    if (name.empty()) return false;
    for (const char c : name) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    }
    pos_ = close + 1;
    return true;
  }
  bool Text(std::string& value) {
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != '\'') return false;
    value.clear();
    for (std::size_t i = pos_ + 1; i < text_.size(); ++i) {
      if (text_[i] != '\'') {
        value += text_[i];
      } else if (i + 1 < text_.size() && text_[i + 1] == '\'') {
        value += '\'';
        ++i;
      } else {
        pos_ = i + 1;
        return true;
      }
    }
    return false;  // no closing apostrophe
  }
  bool Number(double& value) {
    SkipBlanks();
    std::size_t end = pos_;
    if (end < text_.size() && (text_[end] == '-' || text_[end] == '+')) ++end;
    while (end < text_.size() &&
           (std::isdigit(static_cast<unsigned char>(text_[end])) || text_[end] == '.')) {
      ++end;
    }
    std::string_view digits = text_.substr(pos_, end - pos_);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    if (digits.empty()) return false;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || stop != digits.data() + digits.size()) return false;
    pos_ = end;
    return true;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

namespace {

using Reader = SelectionFormula::Reader;

bool ParseClause(Reader& in, Clause& clause) {
  if (!in.Field(clause.field)) return false;
  if (in.Word("like")) {
    clause.op = Op::Like;
    return in.Text(clause.text);
  }
  if (in.Symbol('=')) {
    if (in.Text(clause.text)) {
      clause.op = Op::EqualText;
      return true;
    }
    clause.op = Op::EqualNumber;
    return in.Number(clause.low);
  }
  if (in.Symbol('>')) {
    clause.op = Op::Greater;
    return in.Number(clause.low);
  }
  if (in.Symbol('<')) {
    clause.op = Op::Less;
    return in.Number(clause.low);
  }
  if (!in.Word("in")) return false;
  if (in.Symbol('[')) {
    clause.op = Op::InSet;
    do {
      std::string member;
      if (!in.Text(member)) return false;
      clause.set.push_back(std::move(member));
    } while (in.Symbol(','));
    return in.Symbol(']');
  }
  clause.op = Op::InRange;
  return in.Number(clause.low) && in.Word("to") && in.Number(clause.high);
}

std::string AsText(const dao::DaoValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* whole = std::get_if<std::int64_t>(&value)) return std::to_string(*whole);
  if (const auto* real = std::get_if<double>(&value)) return std::to_string(*real);
  return {};
}

// A field's value as a number; text is read as a number where it is one, else it is none.
bool AsNumber(const dao::DaoValue& value, double& number) {
  if (const auto* whole = std::get_if<std::int64_t>(&value)) {
    number = static_cast<double>(*whole);
    return true;
  }
  if (const auto* real = std::get_if<double>(&value)) {
    number = *real;
    return true;
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    const auto [stop, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    return error == std::errc() && stop == text->data() + text->size() && !text->empty();
  }
  return false;
}

bool ClauseMatches(const Clause& clause, const dao::DaoValue& value) {
  double number = 0;
  switch (clause.op) {
    case Op::Like: return dao::JetLikeMatch(clause.text, AsText(value));
    case Op::EqualText: return EqualNoCase(AsText(value), clause.text);
    case Op::EqualNumber: return AsNumber(value, number) && number == clause.low;
    case Op::Greater: return AsNumber(value, number) && number > clause.low;
    case Op::Less: return AsNumber(value, number) && number < clause.low;
    case Op::InRange:
      return AsNumber(value, number) && number >= clause.low && number <= clause.high;
    case Op::InSet: {
      const std::string text = AsText(value);
      for (const std::string& member : clause.set) {
        if (EqualNoCase(text, member)) return true;
      }
      return false;
    }
  }
  return false;
}

}  // namespace

bool SelectionFormula::Refuse(const Reader& in, std::string& error) {
  char text[160];
  std::snprintf(text, sizeof text, text::kReportBadFormula, static_cast<int>(in.Position() + 1));
  error = text;
  clauses_.clear();
  return false;
}

SelectionFormula::SelectionFormula() = default;
SelectionFormula::~SelectionFormula() = default;
SelectionFormula::SelectionFormula(SelectionFormula&&) noexcept = default;
SelectionFormula& SelectionFormula::operator=(SelectionFormula&&) noexcept = default;

bool SelectionFormula::Parse(std::string_view text, std::string& error) {
  clauses_.clear();
  Reader in(text);
  if (in.AtEnd()) return true;
  do {
    Clause clause;
    if (!ParseClause(in, clause)) {
      return Refuse(in, error);
    }
    clauses_.push_back(std::move(clause));
  } while (in.Word("and"));
  return in.AtEnd() || Refuse(in, error);
}

std::vector<std::string> SelectionFormula::Fields() const {
  std::vector<std::string> fields;
  for (const Clause& clause : clauses_) fields.push_back(clause.field);
  return fields;
}

bool SelectionFormula::Matches(const FieldLookup& row) const {
  for (const Clause& clause : clauses_) {
    if (!ClauseMatches(clause, row(clause.field))) return false;
  }
  return true;
}

bool ParseTextLiteral(std::string_view text, std::string& value) {
  Reader in(text);
  return in.Text(value) && in.AtEnd();
}

}  // namespace vx::report
