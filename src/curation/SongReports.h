// "&Print" of the song search: runs the chosen report layout over the songs of the last
// search through the report engine, in the search's sort order and with the person's title,
// and shows it in the modal preview "Velumix Report Preview". Engine and job failures are
// shown as the engine's own text and stop the job before any window opens. The job is
// closed when its preview closes.
#pragma once

#include <QString>

#include <string>

class QWidget;

namespace vx {

namespace report {
class CReportEngine;
}
struct SongReportRequest;

// The template file of each layout: 0 Summary, 1 Detail, 2 CueList; nullptr otherwise.
const char* ReportTemplateFile(int layout);

// The title formula of a typed title: apostrophes become backquotes, then "'%s'".
std::string ReportTitleFormula(const QString& title);

// Runs the report. reportsFolder holds the templates; libraryFolder the library file.
void PrintSongReport(report::CReportEngine& engine, const std::string& reportsFolder,
                     const std::string& libraryFolder, QWidget* parent,
                     const SongReportRequest& request);

}  // namespace vx
