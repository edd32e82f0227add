#include "library/CSongFilter.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "library/SqlText.h"

namespace vx {
namespace {

enum class Clause { Name, Type, Artist, Album, Label, Attributes, Media, Tempo };

struct Column {
  const char* suffix;
  const char* field;
};
constexpr Column kColumns[] = {{" ORDER BY SongName", "{Songs.SongName}"},
                               {" ORDER BY SongArtist", "{Songs.SongArtist}"},
                               {" ORDER BY SongTypeCode", "{Songs.SongTypeCode}"},
                               {" ORDER BY SongBPM", "{Songs.SongBPM}"},
                               {" ORDER BY SongID", "{Songs.SongID}"}};

std::vector<Clause> ClauseOrder(SongFilterVariant variant) {
  switch (variant) {
    case SongFilterVariant::Search:
      return {Clause::Name, Clause::Type, Clause::Artist, Clause::Album,
              Clause::Label, Clause::Media, Clause::Tempo};
    case SongFilterVariant::PlaylistChooser:
      return {Clause::Name, Clause::Type, Clause::Artist, Clause::Attributes,
              Clause::Tempo, Clause::Media};
    case SongFilterVariant::PlayerChooser:
      return {Clause::Name, Clause::Type, Clause::Artist, Clause::Attributes,
              Clause::Media, Clause::Tempo};
  }
  return {};
}

std::string Printf(const char* format, double a, double b) {
  char text[128];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// Collects clauses with their joiners: "WHERE " then " And " in SQL, "" then " and " in
// the formula.
class FilterText {
 public:
  void Add(const std::string& sql, const std::string& formula) {
    sql_ += (sql_.empty() ? "WHERE " : " And ") + sql;
    if (!formula.empty()) formula_ += (formula_.empty() ? "" : " and ") + formula;
  }
  void AddLike(const char* field, const std::string& text) {
    const std::string quoted = SqlQuote(text);
    Add(std::string(field) + " like '*" + quoted + "*'",
        "{Songs." + std::string(field) + "} like '*" + quoted + "*'");
  }
  const std::string& Sql() const { return sql_; }
  const std::string& Formula() const { return formula_; }

 private:
  std::string sql_;
  std::string formula_;
};

// The search's tempo clause for the chosen comparison; none when value 1 is empty.
void AddSearchTempo(FilterText& text, const CSongFilter& c) {
  const std::string& a = c.tempo1;
  if (a.empty()) return;
  switch (c.tempo) {
    case TempoComparison::All: return;
    case TempoComparison::Equal: text.Add("SongBPM = " + a, "{Songs.SongBPM} = " + a); return;
    case TempoComparison::Greater: text.Add("SongBPM > " + a, "{Songs.SongBPM} > " + a); return;
    case TempoComparison::Less: text.Add("SongBPM < " + a, "{Songs.SongBPM} < " + a); return;
    case TempoComparison::Between:
      text.Add("SongBPM Between " + a + " And " + c.tempo2,
               "{Songs.SongBPM} in " + a + " to " + c.tempo2);
      return;
  }
}

void AddChooserTempo(FilterText& text, const CSongFilter& c, SongFilterVariant variant) {
  const double t = std::atof(c.tempo1.c_str());
  if (variant == SongFilterVariant::PlaylistChooser) {
    text.Add(Printf("SongBPM Between %.2f And %.2f ", 0.95 * t, 1.05 * t), {});
  } else if (c.exactTempo) {
    text.Add("SongBPM = " + c.tempo1, {});
  } else {
    text.Add(Printf("SongBPM Between %f And %f", t - 4, t + 4), {});
  }
}

void AddMedia(FilterText& text, MediaChoice media) {
  if (media == MediaChoice::Cd) {
    text.Add("SongCompression = 'C' ", "{Songs.SongCompression} = 'C' ");
  } else if (media == MediaChoice::Wave) {
    text.Add("SongCompression in (' ', 'A', 'M') ",
             "{Songs.SongCompression} in [' ', 'A', 'M'] ");
  }
}

SongFilterError CheckTempo(const CSongFilter& c, SongFilterVariant variant) {
  const bool searchTempo = variant == SongFilterVariant::Search;
  if (searchTempo && (c.tempo == TempoComparison::All || c.tempo1.empty())) {
    return SongFilterError::None;
  }
  if (!searchTempo && c.tempo1.empty()) return SongFilterError::None;
  if (!IsTempoNumber(c.tempo1)) return SongFilterError::Tempo1NotNumber;
  if (searchTempo && c.tempo == TempoComparison::Between && !IsTempoNumber(c.tempo2)) {
    return SongFilterError::Tempo2NotNumber;
  }
  return SongFilterError::None;
}

}  // namespace

bool IsTempoNumber(const std::string& text) {
  std::size_t i = 0;
  auto blanks = [&] {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  };
  auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    return i - start;
  };
  blanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t count = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    count += digits();
  }
  blanks();
  return count > 0 && i == text.size();
}

SongFilterResult BuildSongFilter(const CSongFilter& c, SongFilterVariant variant) {
  SongFilterResult result;
  result.error = CheckTempo(c, variant);
  if (result.error != SongFilterError::None) return result;

  FilterText text;
  for (const Clause clause : ClauseOrder(variant)) {
    switch (clause) {
      case Clause::Name:
        if (!c.name.empty()) text.AddLike("SongName", c.name);
        break;
      case Clause::Type:
        if (c.typeCode != "*ALL*") {
          const std::string quoted = SqlQuote(c.typeCode);
          text.Add("SongTypeCode = '" + quoted + "'", "{Songs.SongTypeCode} = '" + quoted + "'");
        }
        break;
      case Clause::Artist:
        if (!c.artist.empty()) text.AddLike("SongArtist", c.artist);
        break;
      case Clause::Album:
        if (!c.album.empty()) text.AddLike("SongAlbumName", c.album);
        break;
      case Clause::Label:
        if (!c.label.empty()) text.AddLike("SongLabel", c.label);
        break;
      case Clause::Attributes:
        if (!c.attributes.empty()) text.AddLike("SongAttributes", c.attributes);
        break;
      case Clause::Media:
        AddMedia(text, variant == SongFilterVariant::PlaylistChooser ? MediaChoice::Wave
                                                                     : c.media);
        break;
      case Clause::Tempo:
        if (variant == SongFilterVariant::Search) {
          AddSearchTempo(text, c);
        } else if (!c.tempo1.empty()) {
          AddChooserTempo(text, c, variant);
        }
        break;
    }
  }

  const std::string head = "SELECT * FROM Songs " + text.Sql();
  switch (variant) {
    case SongFilterVariant::Search:
      result.statement = head + ";";
      result.formula = text.Formula();
      break;
    case SongFilterVariant::PlaylistChooser:
      result.statement = head + " Order by SongBPM ";
      break;
    case SongFilterVariant::PlayerChooser:
      result.statement = head;
      break;
  }
  return result;
}

std::string SortedStatement(const std::string& statement, int column) {
  if (column < 0 || column >= static_cast<int>(std::size(kColumns))) return statement;
  const std::size_t end = statement.rfind(';');
  const std::string condition = end == std::string::npos ? statement : statement.substr(0, end);
  return condition + kColumns[column].suffix + ";";
}

std::string ReportSortField(int column) {
  if (column < 0 || column >= static_cast<int>(std::size(kColumns))) return {};
  return kColumns[column].field;
}

}  // namespace vx
