// A report layout as our report files (*.rpt) describe it. The file is plain UTF-8 text, one
// statement a line; blank lines and lines starting with '#' are ignored:
//
//   report <name>                       the layout's name (first statement)
//   table <Name>                        a table the report reads; Songs first, then CueList
//   formula <Name>                      a named formula the caller may set (the page title)
//   column <Field> <width> <Header...>  a column of the song rows: a field of Songs, its
//                                       share of the page width in percent, its heading
//   format <Field> <printf format>      how a numeric field is printed ("%06.2f")
//   detail <Field> <Label...>           a line under each song row: "Label value"
//   cues                                the song's cue points under each song row
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vx::report {

struct ReportColumn {
  std::string field;
  int width = 0;  // percent of the printable width
  std::string header;
};

struct ReportDetail {
  std::string field;
  std::string label;
};

struct ReportTemplate {
  std::string name;
  std::vector<std::string> tables;
  std::vector<std::string> formulas;
  std::vector<ReportColumn> columns;
  std::map<std::string, std::string> formats;
  std::vector<ReportDetail> details;
  bool cues = false;
};

// Reads a report file. On failure answers false with the line number (0: the file could not
// be read) and what is wrong.
bool LoadReportTemplate(const std::string& path, ReportTemplate& layout, int& errorLine,
                        std::string& error);

}  // namespace vx::report
