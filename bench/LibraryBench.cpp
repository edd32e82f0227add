// Library database figures on a generated library of 100,000 songs, 300,000 cue points and
// 1,000 playlists, each next to the sqlite3 shell running the same SQL on the same file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "TimeCollector.h"
#include "BenchLibrary.h"
#include "PeerShell.h"
#include "library/CSongRecordset.h"
#include "library/LibraryQueries.h"
#include "platform/dao/DaoDatabase.h"

namespace {

const std::string& LibraryFile() { return vx::bench::BenchLibraryFile(); }

vx::dao::DaoDatabase& OpenLibrary() {
  static vx::dao::DaoDatabase db;
  if (!db.IsOpen()) db.Open(LibraryFile());
  return db;
}

void BM_OpenAndVersionCheck(benchmark::State& state) {
  for (auto _ : state) {
    vx::dao::DaoDatabase db;
    db.Open(LibraryFile());
    benchmark::DoNotOptimize(vx::ReadDatabaseVersion(db));
  }
}

void BM_FourSummaryCounts(benchmark::State& state) {
  auto& db = OpenLibrary();
  for (auto _ : state) benchmark::DoNotOptimize(vx::CountSongsBySource(db));
}

void BM_NewSongNumber(benchmark::State& state) {
  auto& db = OpenLibrary();
  for (auto _ : state) benchmark::DoNotOptimize(vx::NewSongNumber(db));
}

void BM_NameSearch(benchmark::State& state) {
  auto& db = OpenLibrary();
  long matches = 0;
  for (auto _ : state) {
    vx::CSongRecordset songs(db);
    songs.SetFilter("SongName like '*LOVE*'");
    songs.Open();
    matches = 0;
    for (; !songs.IsEOF(); songs.MoveNext()) ++matches;
  }
  state.counters["matches"] = static_cast<double>(matches);
}

BENCHMARK(BM_OpenAndVersionCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FourSummaryCounts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewSongNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameSearch)->Unit(benchmark::kMillisecond);


}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  LibraryFile();
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  const std::string& file = LibraryFile();
  const std::string version = "SELECT ParmValue FROM VeluParms WHERE ParmName = 'DatabaseVersion'";
  using vx::bench::ShellPerRunMs;
  const char* countSql =
      "Select count(*) from Songs ; Select count(*) from Songs Where SongCompression = 'C'; "
      "Select count(*) from Songs Where SongCompression = ' '; "
      "Select count(*) from Songs Where SongCompression Not In ('C', ' ')";
  struct Row {
    const char* name;
    const char* bench;
    double goalMs;
    double shellMs;
  } rows[] = {
      {"open + version check", "BM_OpenAndVersionCheck", -1,
       ShellPerRunMs(file, version, 200, true)},
      {"four summary counts", "BM_FourSummaryCounts", 20, ShellPerRunMs(file, countSql, 30)},
      {"new song number", "BM_NewSongNumber", 1,
       ShellPerRunMs(file, "SELECT * FROM Songs ORDER BY SongID DESC LIMIT 1", 2000)},
      // The shell's own like has '%' for '*'; the statement does the same work.
      {"name search like *LOVE*", "BM_NameSearch", 60,
       ShellPerRunMs(file, "SELECT * FROM Songs WHERE SongName like '%LOVE%'", 30)},
  };
  std::printf("\n%-26s %10s %10s %8s %8s\n", "figure", "ours ms", "shell ms", "ratio", "goal ms");
  for (const Row& row : rows) {
    const double ours = collector.RealMs(row.bench);
    std::printf("%-26s %10.3f %10.3f %8.2f %8s\n", row.name, ours, row.shellMs,
                row.shellMs > 0 ? ours / row.shellMs : 0.0,
                row.goalMs > 0 ? std::to_string(static_cast<int>(row.goalMs)).c_str() : "-");
  }
  return 0;
}
