#include "curation/SongReports.h"

#include "curation/CSongSearchDlg.h"
#include "curation/CurationText.h"
#include "platform/report/CReportEngine.h"
#include "platform/ui/UserInteraction.h"

namespace vx {
namespace {

constexpr const char* kTemplateFiles[] = {"summary1.rpt", "detail1.rpt", "cuelist1.rpt"};

void ShowEngineError(const QString& error) { Ui().Message(error, MsgIcon::None); }

}  // namespace

const char* ReportTemplateFile(int layout) {
  if (layout < 0 || layout >= static_cast<int>(std::size(kTemplateFiles))) return nullptr;
  return kTemplateFiles[layout];
}

std::string ReportTitleFormula(const QString& title) {
  QString text = title;
  text.replace(QLatin1Char('\''), QLatin1Char('`'));
  return "'" + text.toStdString() + "'";
}

void PrintSongReport(report::CReportEngine& engine, const std::string& reportsFolder,
                     const std::string& libraryFolder, QWidget* parent,
                     const SongReportRequest& request) {
  const char* file = ReportTemplateFile(request.layout);
  if (file == nullptr) return;
  const std::uint16_t handle = engine.OpenJob(reportsFolder + "/" + file);
  if (handle == 0) {
    ShowEngineError(engine.LastError());
    return;
  }
  // The job lives exactly as long as this print: closed on every path out.
  struct JobCloser {
    report::CReportEngine& engine;
    std::uint16_t handle;
    ~JobCloser() { engine.CloseJob(handle); }
  } closer{engine, handle};
  report::CPrintJob& job = *engine.Job(handle);

  const std::string library = libraryFolder + "/Velumix.vxl";
  for (int n = 0; n < job.TableCount(); ++n) {
    if (!job.SetTableLocation(n, library)) {
      ShowEngineError(job.LastError());
      return;
    }
  }
  bool ready = false;
  {
    WaitCursor busy;  // Check reads every song of the report
    ready = job.SetFormula("UserReportTitle", ReportTitleFormula(request.title)) &&
            job.SetSortField(0, request.sortField, 1) &&
            job.SetSelectionFormula(request.formula) && job.Check();
  }
  if (!ready) {
    ShowEngineError(job.LastError());
    return;
  }
  job.OutputToWindow(QString::fromUtf8(text::kReportPreviewTitle), parent);
  job.Start();
}

}  // namespace vx
