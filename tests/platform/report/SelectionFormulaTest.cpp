#include "platform/report/SelectionFormula.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

namespace vx::report {
namespace {

using Row = std::map<std::string, dao::DaoValue>;

bool Selects(const std::string& formula, const Row& row) {
  SelectionFormula parsed;
  std::string error;
  EXPECT_TRUE(parsed.Parse(formula, error)) << formula << ": " << error;
  return parsed.Matches([&](const std::string& field) {
    const auto found = row.find(field);
    return found == row.end() ? dao::DaoValue{} : found->second;
  });
}

TEST(SelectionFormula, TheSearchsFormulasSelectWhatItsStatementsDo) {
  const Row beat{{"SongName", std::string("THE BEAT GOES ON")},
                 {"SongArtist", std::string("O'NEIL")},
                 {"SongTypeCode", std::string("rock")},
                 {"SongCompression", std::string(" ")},
                 {"SongBPM", 125.5},
                 {"SongID", std::int64_t(7)}};
  EXPECT_TRUE(Selects("", beat));
  EXPECT_TRUE(Selects("{Songs.SongName} like '*beat*'", beat));  // without case
  EXPECT_FALSE(Selects("{Songs.SongName} like '*BEATS*'", beat));
  EXPECT_TRUE(Selects("{Songs.SongName} like '*B?AT*' and {Songs.SongName} like '[T]HE*'", beat));
  EXPECT_TRUE(Selects("{Songs.SongArtist} like '*O''N*'", beat));  // a doubled apostrophe
  EXPECT_TRUE(Selects("{Songs.SongTypeCode} = 'ROCK'", beat));
  EXPECT_FALSE(Selects("{Songs.SongTypeCode} = 'ROC'", beat));
  EXPECT_TRUE(Selects("{Songs.SongCompression} in [' ', 'A', 'M'] ", beat));
  EXPECT_FALSE(Selects("{Songs.SongCompression} = 'C' ", beat));
  EXPECT_TRUE(Selects("{Songs.SongBPM} in 120 to 125.5", beat));  // both ends included
  EXPECT_FALSE(Selects("{Songs.SongBPM} in 126 to 130", beat));
  EXPECT_TRUE(Selects("{Songs.SongBPM} > 125", beat));
  EXPECT_FALSE(Selects("{Songs.SongBPM} < 125.5", beat));
  EXPECT_TRUE(Selects("{Songs.SongBPM} = 125.5", beat));
  EXPECT_TRUE(Selects("{Songs.SongID} = 7", beat));
  // The search's own example, with its two blanks.
  EXPECT_TRUE(Selects("{Songs.SongName} like '*BEAT*' and {Songs.SongCompression} in "
                      "[' ', 'A', 'M']  and {Songs.SongBPM} in 120 to 130",
                      beat));
  // A field the row lacks matches nothing but a like of '*'.
  EXPECT_FALSE(Selects("{Songs.SongLabel} like '*X*'", beat));
  // " and " inside a text is part of the text.
  EXPECT_FALSE(Selects("{Songs.SongName} like '* and {Songs.SongID} = 7'", beat));
}

TEST(SelectionFormula, AnythingElseIsRefusedWithItsPlace) {
  for (const char* formula :
       {"{Songs.SongName} like", "{Songs.SongName} like 'open", "SongName = 'A'",
        "{Songs.SongName} = 'A' or {Songs.SongID} = 1", "{Songs.SongBPM} > fast",
        "{Songs.SongBPM} in 120 to", "{Songs.SongBPM} Between 120 And 130",
        "{Songs.SongName} = 'A'; DROP TABLE Songs", "{Songs.Song Name} = 'A'",
        "{Songs.SongCompression} in [' ', 'A'", "{Songs.SongName} like 'A' and"}) {
    SelectionFormula parsed;
    std::string error;
    EXPECT_FALSE(parsed.Parse(formula, error)) << formula;
    EXPECT_EQ(error.rfind("The selection formula is not valid near character ", 0), 0u)
        << formula << ": " << error;
  }
  SelectionFormula parsed;
  std::string error;
  EXPECT_FALSE(parsed.Parse("{Songs.SongID} = 1 xor", error));
  EXPECT_EQ(error, "The selection formula is not valid near character 20.");
}

TEST(SelectionFormula, TextLiteralsLoseTheirApostrophes) {
  std::string value;
  EXPECT_TRUE(ParseTextLiteral("'Friday`s Set'", value));
  EXPECT_EQ(value, "Friday`s Set");
  EXPECT_TRUE(ParseTextLiteral(" 'It''s' ", value));
  EXPECT_EQ(value, "It's");
  EXPECT_FALSE(ParseTextLiteral("'one' 'two'", value));
  EXPECT_FALSE(ParseTextLiteral("plain", value));
}

}  // namespace
}  // namespace vx::report
