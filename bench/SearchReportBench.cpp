// The song search and its report on the generated 100,000-song library (offscreen Qt):
// Search with the name "NUMBER 4" (about 11,000 songs) filling the shown list, beside the
// sqlite3 shell running the same statement; and the summary report of 10,000 songs read,
// sorted and painted into a PDF file. Prints the figures against their goals.
#include <QApplication>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchLibrary.h"
#include "PeerShell.h"
#include "TimeCollector.h"
#include "curation/CSongSearchDlg.h"
#include "curation/SongEditorTools.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/process/Process.h"
#include "platform/report/CReportEngine.h"

namespace {

constexpr const char* kSearchName = "NUMBER 4";
// The songs of ids 1..10000 (the tempo is 90 + id % 60, so this selects by id range).
constexpr const char* kReportFormula = "{Songs.SongID} in 1 to 10000";

vx::dao::DaoDatabase& OpenLibrary() {
  static vx::dao::DaoDatabase db;
  if (!db.IsOpen()) db.Open(vx::bench::BenchLibraryFile(), vx::dao::OpenMode::ReadOnly);
  return db;
}

class NoTools : public vx::SongEditorTools {
 public:
  std::optional<double> CountBpm(QWidget*, const vx::BpmRequest&) override { return {}; }
  void EditCueList(QWidget*, vx::dao::DaoDatabase&, const vx::CueListRequest&) override {}
};

std::string g_statement;

void BM_SearchList(benchmark::State& state) {
  NoTools tools;
  vx::SongSearchSetup setup;
  setup.libraryFolder = std::filesystem::path(vx::bench::BenchLibraryFile()).parent_path();
  vx::CSongSearchDlg dialog(OpenLibrary(), setup, tools);
  dialog.show();
  dialog.findChild<QLineEdit*>("nameEdit")->setText(kSearchName);
  auto* search = dialog.findChild<QPushButton*>("searchButton");
  for (auto _ : state) {
    search->click();
    QCoreApplication::processEvents();
  }
  g_statement = dialog.LastStatement();
  state.counters["matches"] = dialog.findChild<QTreeWidget*>("songList")->topLevelItemCount();
}

void BM_SummaryReportPdf(benchmark::State& state) {
  vx::report::CReportEngine engine;
  engine.Open();
  const std::string pdf = std::filesystem::temp_directory_path() / "vxbench-summary.pdf";
  int pages = 0;
  for (auto _ : state) {
    const std::uint16_t handle =
        engine.OpenJob(vx::FindResourceFrom(VX_BIN_DIR, "Reports") + "/summary1.rpt");
    vx::report::CPrintJob* job = engine.Job(handle);
    if (job == nullptr || !job->SetTableLocation(0, vx::bench::BenchLibraryFile()) ||
        !job->SetFormula("UserReportTitle", "'Ten thousand songs'") ||
        !job->SetSortField(0, "{Songs.SongName}", 1) ||
        !job->SetSelectionFormula(kReportFormula) || !job->Check()) {
      state.SkipWithError("the report job failed");
      return;
    }
    QPdfWriter writer(QString::fromStdString(pdf));
    writer.setResolution(300);
    pages = job->Paint(writer);
    state.counters["songs"] = static_cast<double>(job->RowCount());
    engine.CloseJob(handle);
  }
  state.counters["pages"] = pages;
  std::filesystem::remove(pdf);
}

BENCHMARK(BM_SearchList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummaryReportPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  OpenLibrary();
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  const double shellMs = vx::bench::ShellPerRunMs(vx::bench::BenchLibraryFile(), g_statement, 5);
  const auto search = collector.Find("BM_SearchList");
  const auto report = collector.Find("BM_SummaryReportPdf");
  std::printf("\n%-28s %10s %10s %8s %6s\n", "figure", "real ms", "cpu ms", "goal ms", "met");
  int status = 0;
  auto row = [&](const char* name, const vx::bench::TimeCollector::Times& times, double goal) {
    const bool met = times.realMs > 0 && times.realMs <= goal;
    if (!met) status = 1;
    std::printf("%-28s %10.3f %10.3f %8.0f %6s\n", name, times.realMs, times.cpuMs, goal,
                met ? "yes" : "NO");
  };
  row("search list ~11,000 songs", search, 150);
  row("summary report 10,000 PDF", report, 3000);
  std::printf("sqlite3 shell, same statement: %.3f ms; search fill / shell = %.1f\n", shellMs,
              shellMs > 0 ? search.realMs / shellMs : 0.0);
  return status;
}
