// The player's song chooser on the generated 100,000-song library (offscreen Qt): Find with a
// name criterion, and Find with one that lists about 10,000 songs, each filling the shown
// list (query, lines, list widget and the events that follow). Prints the figures against
// their goals.
#include <QApplication>
#include <QListWidget>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>
#include <string>

#include "TimeCollector.h"
#include "BenchLibrary.h"
#include "platform/dao/DaoDatabase.h"
#include "player/CSongChooserDlg.h"

namespace {

vx::dao::DaoDatabase& OpenLibrary() {
  static vx::dao::DaoDatabase db;
  if (!db.IsOpen()) db.Open(vx::bench::BenchLibraryFile(), vx::dao::OpenMode::ReadOnly);
  return db;
}

// Runs Find for a song name in a shown chooser, once per iteration.
void FindByName(benchmark::State& state, const char* name) {
  vx::player::CSongChooserDlg chooser(OpenLibrary(), {});
  chooser.show();
  chooser.SongField()->setText(name);
  for (auto _ : state) {
    chooser.OnFind();
    QCoreApplication::processEvents();
  }
  state.counters["matches"] = chooser.List()->count();
}

// "NUMBER 42": songs 42, 420-429, 4200-4299, 42000-42999 less those on CD (about 1,000).
void BM_ChooserFindByName(benchmark::State& state) { FindByName(state, "NUMBER 42"); }
// "NUMBER 4": every song number starting with 4 less those on CD (about 10,000).
void BM_ChooserList10000(benchmark::State& state) { FindByName(state, "NUMBER 4"); }

BENCHMARK(BM_ChooserFindByName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooserList10000)->Unit(benchmark::kMillisecond);


}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  OpenLibrary();
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  struct Row {
    const char* name;
    const char* bench;
    double goalMs;
  } rows[] = {{"chooser find by name", "BM_ChooserFindByName", 100},
              {"chooser list 10,000", "BM_ChooserList10000", 150}};
  int status = 0;
  // On a busy machine the real time also counts the waits for a processor; the CPU time
  // shows what the chooser itself costs.
  std::printf("\n%-24s %10s %10s %8s %6s\n", "figure", "real ms", "cpu ms", "goal ms", "met");
  for (const Row& row : rows) {
    const auto [real, cpu] = collector.Find(row.bench);
    const bool met = real <= row.goalMs;
    if (!met) status = 1;
    std::printf("%-24s %10.3f %10.3f %8.0f %6s\n", row.name, real, cpu, row.goalMs,
                met ? "yes" : "NO");
  }
  return status;
}
