// Batch import throughput: a folder of generated MP3 files (1,000 unless
// VX_BENCH_IMPORT_FILES says otherwise) imported into a fresh library, one song per file, next
// to `cp -r` of the same folder in the same run, with the ratio (cp time / import time).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchEnv.h"
#include "TimeCollector.h"
#include "admin/BatchImport.h"
#include "admin/LibraryCreator.h"
#include "cd/CMciDevice.h"
#include "platform/dao/DaoDatabase.h"

namespace {

namespace fs = std::filesystem;

const std::string& Work() {
  static const std::string folder =
      (fs::temp_directory_path() / ("vxbench-batch-" + std::to_string(getpid()))).string();
  return folder;
}

std::string Collection() { return Work() + "/collection"; }

int FileCount() { return static_cast<int>(vx::bench::EnvNumber("VX_BENCH_IMPORT_FILES", 1000)); }

// Five seconds of a tone encoded by lame at 128 kbit/s, copied under distinct
// "Artist - Name" file names.
bool MakeCollection() {
  fs::create_directories(Collection());
  const std::string first = Work() + "/tone.mp3";
  const std::string make =
      "sox -n -r 44100 -c 2 -b 16 -t wav - synth 5 sine 440 vol 0.5 2>/dev/null | "
      "lame --quiet -b 128 - " + first;
  if (std::system(make.c_str()) != 0) return false;
  for (int i = 0; i < FileCount(); ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "/ARTIST %04d - SONG %04d.mp3", i / 10, i);
    fs::copy_file(first, Collection() + name);
  }
  return true;
}

void BM_BatchImport(benchmark::State& state) {
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string library = Work() + "/library" + std::to_string(++run);
    vx::admin::CreateLibrary(library);
    vx::dao::DaoDatabase db;
    db.Open(library + "/" + vx::admin::kLibraryFileName);
    vx::CMciDevice mci;
    vx::admin::BatchImporter importer(db, mci, {library, "", false});
    state.ResumeTiming();

    std::vector<std::string> missing;
    for (const std::string& file : vx::admin::CollectSoundFiles({Collection()}, missing)) {
      if (importer.Import(file).outcome != vx::admin::ImportOutcome::kImported) {
        state.SkipWithError(("not imported: " + file).c_str());
        break;
      }
    }

    state.PauseTiming();
    db.Close();
    fs::remove_all(library);
    state.ResumeTiming();
  }
  state.counters["files"] = FileCount();
}

void BM_CpR(benchmark::State& state) {
  const std::string copy = Work() + "/copy";
  const std::string command = "cp -r " + Collection() + " " + copy;
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("cp failed");
      break;
    }
    state.PauseTiming();
    fs::remove_all(copy);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_BatchImport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CpR)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!MakeCollection()) {
    std::fprintf(stderr, "could not make the MP3 files (sox and lame are needed)\n");
    fs::remove_all(Work());
    return 1;
  }
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  fs::remove_all(Work());

  const double ours = collector.RealMs("BM_BatchImport");
  const double cp = collector.RealMs("BM_CpR");
  std::printf("\n%-28s %10s %10s %8s\n", "MP3 files into a library", "import ms", "cp -r ms",
              "ratio");
  std::printf("%-28d %10.1f %10.1f %8.2f\n", FileCount(), ours, cp, ours > 0 ? cp / ours : 0.0);
  return 0;
}
