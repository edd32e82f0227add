// MP3 import throughput: a 100 MB MP3 wrapped into a song's WAVE file in the library's Songs
// folder, next to `cp --reflink=never` copying the same file into the same folder in the same
// run, with the ratio (cp time / import time; goal at least 0.8).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TimeCollector.h"
#include "import/ImportMp3File.h"
#include "library/SongStore.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kSourceBytes = 100u * 1000 * 1000;

const std::string& Library() {
  static const std::string folder =
      (fs::temp_directory_path() / ("vxbench-import-" + std::to_string(getpid()))).string();
  return folder;
}

std::string Source() { return Library() + "/source.mp3"; }

// 100 MB of MP3: ten seconds of a tone encoded by lame at 128 kbit/s, repeated.
bool MakeSource() {
  fs::create_directories(vx::SongsFolder(Library()));
  const std::string piece = Library() + "/piece.mp3";
  const std::string make =
      "sox -n -r 44100 -c 2 -b 16 -t wav - synth 10 sine 440 vol 0.5 | "
      "lame --quiet -b 128 - " +
      piece;
  if (std::system(make.c_str()) != 0) return false;
  std::ifstream in(piece, std::ios::binary);
  const std::vector<char> frames(std::istreambuf_iterator<char>(in), {});
  if (frames.empty()) return false;
  std::ofstream out(Source(), std::ios::binary);
  for (std::uintmax_t written = 0; written < kSourceBytes; written += frames.size()) {
    out.write(frames.data(), static_cast<std::streamsize>(frames.size()));
  }
  return static_cast<bool>(out);
}

void BM_ImportMp3(benchmark::State& state) {
  const std::string song = vx::SongFileName(Library(), 1);
  for (auto _ : state) {
    vx::Mp3Import result;
    if (!vx::ImportMp3File(Source(), Library(), result) ||
        std::rename(result.tempPath.c_str(), song.c_str()) != 0) {
      state.SkipWithError("import failed");
      break;
    }
    state.PauseTiming();
    fs::remove(song);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(Source())));
}

void BM_CpReflinkNever(benchmark::State& state) {
  const std::string copy = vx::SongFileName(Library(), 2);
  const std::string command = "cp --reflink=never " + Source() + " " + copy;
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("cp failed");
      break;
    }
    state.PauseTiming();
    fs::remove(copy);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(Source())));
}

BENCHMARK(BM_ImportMp3)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_CpReflinkNever)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!MakeSource()) {
    std::fprintf(stderr, "could not make the 100 MB MP3 (sox and lame are needed)\n");
    fs::remove_all(Library());
    return 1;
  }
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  fs::remove_all(Library());

  const double ours = collector.RealMs("BM_ImportMp3");
  const double cp = collector.RealMs("BM_CpReflinkNever");
  std::printf("\n%-24s %10s %10s %8s %6s\n", "100 MB MP3 into Songs", "import ms", "cp ms", "ratio",
              "goal");
  std::printf("%-24s %10.1f %10.1f %8.2f %6s\n", "", ours, cp, ours > 0 ? cp / ours : 0.0, ">=0.8");
  return 0;
}
