// Turns a person's song criteria into one statement over the Songs table and, for the song
// search, into the matching report selection formula. One grammar serves the song search,
// the playlist editor's chooser and the player's chooser; they differ in the criteria they
// offer, their order, and how the tempo is compared.
//
// Typed texts are quoted (apostrophes doubled), so "O'Brien" is found and no text can change
// the statement. Tempo values must be numbers; anything else is refused before any SQL is
// built, so the caller can say so and let the person correct it.
#pragma once

#include <string>

namespace vx {

enum class MediaChoice { All, Wave, Cd };
enum class TempoComparison { All, Equal, Greater, Less, Between };
enum class SongFilterVariant { Search, PlaylistChooser, PlayerChooser };

struct CSongFilter {
  std::string name;
  std::string typeCode = "*ALL*";
  std::string artist;
  std::string album;       // search only
  std::string label;       // search only
  std::string attributes;  // choosers only
  MediaChoice media = MediaChoice::All;
  TempoComparison tempo = TempoComparison::All;  // search only
  std::string tempo1;      // the choosers' tempo is tempo1
  std::string tempo2;
  bool exactTempo = false;  // player chooser: match the tempo exactly
};

enum class SongFilterError { None, Tempo1NotNumber, Tempo2NotNumber };

struct SongFilterResult {
  std::string statement;  // empty when error is set
  std::string formula;    // search only
  SongFilterError error = SongFilterError::None;
};

SongFilterResult BuildSongFilter(const CSongFilter& criteria,
                                 SongFilterVariant variant = SongFilterVariant::Search);

// The search's stored statement with the sort suffix of a result column (0 name, 1 artist,
// 2 type, 3 tempo, 4 id) placed before its final ';'. An unknown column leaves it unsorted.
std::string SortedStatement(const std::string& statement, int column);
// The report sort field of a result column, e.g. "{Songs.SongBPM}"; empty when unknown.
std::string ReportSortField(int column);

// True when text is a decimal number (blanks around it allowed).
bool IsTempoNumber(const std::string& text);

}  // namespace vx
