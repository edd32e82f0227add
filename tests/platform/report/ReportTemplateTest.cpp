#include "platform/report/ReportTemplate.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/TestFolder.h"

namespace vx::report {
namespace {

std::string Write(const std::string& text) {
  const std::string path = test::TestFolder() + "/layout.rpt";
  std::ofstream(path) << text;
  return path;
}

TEST(ReportTemplate, AReportFileGivesItsTablesColumnsAndLines) {
  ReportTemplate layout;
  int line = -1;
  std::string error;
  ASSERT_TRUE(LoadReportTemplate(Write("# comment\n\nreport CueList\ntable Songs\ntable CueList\n"
                                       "formula UserReportTitle\ncolumn SongName 40 SONG NAME\n"
                                       "column SongBPM 10 BPM\nformat SongBPM %06.2f\n"
                                       "detail SongLabel Label:\ncues\n"),
                                 layout, line, error))
      << error;
  EXPECT_EQ(layout.name, "CueList");
  EXPECT_EQ(layout.tables, (std::vector<std::string>{"Songs", "CueList"}));
  EXPECT_EQ(layout.formulas, std::vector<std::string>{"UserReportTitle"});
  ASSERT_EQ(layout.columns.size(), 2u);
  EXPECT_EQ(layout.columns[0].header, "SONG NAME");
  EXPECT_EQ(layout.columns[0].width, 40);
  EXPECT_EQ(layout.formats.at("SongBPM"), "%06.2f");
  ASSERT_EQ(layout.details.size(), 1u);
  EXPECT_EQ(layout.details[0].label, "Label:");
  EXPECT_TRUE(layout.cues);
}

TEST(ReportTemplate, BrokenFilesSayWhereAndMissingOnesSayNoLine) {
  ReportTemplate layout;
  int line = -1;
  std::string error;
  EXPECT_FALSE(LoadReportTemplate(test::TestFolder() + "/none.rpt", layout, line, error));
  EXPECT_EQ(line, 0);
  struct Case {
    const char* text;
    int line;
  } cases[] = {{"table Songs\n", 1},
               {"report S\ntable Songs\ncolumn SongName 0 NAME\n", 3},
               {"report S\ntable Songs\ncolumn SongName 10 NAME\nformat SongBPM %s\n", 4},
               {"report S\ntable Songs\ncolumn SongName 10 NAME\nformat SongBPM %f%n\n", 4},
               {"report S\ntable Songs\nshout loud\n", 3},
               {"report S\ntable Songs\n", 2}};
  for (const Case& c : cases) {
    EXPECT_FALSE(LoadReportTemplate(Write(c.text), layout, line, error)) << c.text;
    EXPECT_EQ(line, c.line) << c.text << error;
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace vx::report
