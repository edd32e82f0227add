// Paints a report onto pages: on every page the title, the column headings and the page
// number ("Page n of N"), then the song rows with their detail and cue lines, never split
// across two pages.
#pragma once

#include <QString>

class QPagedPaintDevice;

namespace vx::report {

struct ReportTemplate;
struct ReportRows;

// Paints every page on device (a PDF writer or a printer); answers the number of pages.
int PaintReport(QPagedPaintDevice& device, const ReportTemplate& layout, const ReportRows& rows,
                const QString& title);

}  // namespace vx::report
