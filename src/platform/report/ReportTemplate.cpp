#include "platform/report/ReportTemplate.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace vx::report {
namespace {

std::string Rest(std::istringstream& in) {
  std::string rest;
  std::getline(in >> std::ws, rest);
  while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r' || rest.back() == '\t')) {
    rest.pop_back();
  }
  return rest;
}

// One statement into layout; answers what is wrong, or empty.
std::string ReadStatement(const std::string& line, ReportTemplate& layout) {
  std::istringstream in(line);
  std::string keyword;
  in >> keyword;
  if (keyword == "report") {
    layout.name = Rest(in);
    return layout.name.empty() ? "a report needs a name" : "";
  }
  if (layout.name.empty()) return "the file must begin with a report statement";
  if (keyword == "table" || keyword == "formula") {
    std::string name;
    if (!(in >> name) || !Rest(in).empty()) return keyword + " needs one name";
    (keyword == "table" ? layout.tables : layout.formulas).push_back(name);
    return {};
  }
  if (keyword == "column") {
    ReportColumn column;
    if (!(in >> column.field >> column.width) || column.width <= 0 || column.width > 100) {
      return "a column needs a field and a width from 1 to 100";
    }
    column.header = Rest(in);
    layout.columns.push_back(column);
    return {};
  }
  if (keyword == "format") {
    std::string field;
    if (!(in >> field)) return "format needs a field";
    const std::string format = Rest(in);
    // One floating-point conversion and nothing that could read beyond its argument.
    static const std::regex kFormat(R"(^[^%]*%[-+ 0]*[0-9]{0,2}(\.[0-9]{1,2})?[feg][^%]*$)");
    if (!std::regex_match(format, kFormat)) return "format needs one %f, %e or %g conversion";
    layout.formats[field] = format;
    return {};
  }
  if (keyword == "detail") {
    ReportDetail detail;
    if (!(in >> detail.field)) return "detail needs a field";
    detail.label = Rest(in);
    layout.details.push_back(detail);
    return {};
  }
  if (keyword == "cues") {
    layout.cues = true;
    return Rest(in).empty() ? "" : "cues takes nothing more";
  }
  return "unknown statement " + keyword;
}

}  // namespace

bool LoadReportTemplate(const std::string& path, ReportTemplate& layout, int& errorLine,
                        std::string& error) {
  layout = {};
  std::ifstream file(path);
  if (!file) {
    errorLine = 0;
    error = "cannot be read";
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    ++number;
    const std::size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') continue;
    error = ReadStatement(line.substr(start), layout);
    if (!error.empty()) {
      errorLine = number;
      return false;
    }
  }
  if (layout.name.empty() || layout.tables.empty() || layout.columns.empty()) {
    errorLine = number;
    error = "a report needs a name, a table and a column";
    return false;
  }
  return true;
}

}  // namespace vx::report
