// Ripping speed: one five-minute audio track copied from a disc image into a WAVE file by the
// ripping component, as a multiple of real time (goal at least 20x), next to `cat` reading
// the same .bin into /dev/null in the same run (what the disk and page cache allow at all).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "TimeCollector.h"
#include "cd/AudioDisc.h"
#include "platform/cdrom/CdDriveInventory.h"
#include "platform/cdrom/CdRipper.h"

namespace {

namespace fs = std::filesystem;

constexpr long kTrackSeconds = 300;

const std::string& Folder() {
  static const std::string folder =
      (fs::temp_directory_path() / ("vxbench-rip-" + std::to_string(getpid()))).string();
  return folder;
}

std::string Tray() { return Folder() + "/tray"; }

void BM_RipTrack(benchmark::State& state) {
  const std::string tray = Tray();
  vx::cdrom::CdRipper ripper([tray] {
    return vx::cdrom::ListCdDrives(vx::DeviceConfig::Parse(("cd=" + tray).c_str(), nullptr));
  });
  std::mutex mutex;
  std::condition_variable doneChanged;
  bool done = false;
  std::int32_t last = 0;
  ripper.SetExtractionProgress([&](std::int32_t progress) { last = progress; });
  ripper.SetExtractionDone([&] {
    std::lock_guard lock(mutex);
    done = true;
    doneChanged.notify_all();
  });
  if (ripper.Initialize() != vx::cdrom::kRipOk || ripper.SelectDrive(0) != vx::cdrom::kRipOk) {
    state.SkipWithError("no drive");
    return;
  }
  const std::string wave = Folder() + "/track.wav";
  for (auto _ : state) {
    done = false;
    if (ripper.ExtractTrack(1, wave) != vx::cdrom::kRipOk) {
      state.SkipWithError("extraction refused");
      break;
    }
    std::unique_lock lock(mutex);
    doneChanged.wait(lock, [&] { return done; });
    if (last != 1000) {
      state.SkipWithError("incomplete copy");
      break;
    }
  }
  fs::remove(wave);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kTrackSeconds * 176400);
}

void BM_CatBin(benchmark::State& state) {
  const std::string command = "cat " + Tray() + "/disc.bin > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("cat failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kTrackSeconds * 176400);
}

BENCHMARK(BM_RipTrack)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_CatBin)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vx::test::AudioDisc disc;
  disc.tracks = {{true, kTrackSeconds * 75}};
  vx::test::WriteAudioDisc(Tray(), disc);
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  fs::remove_all(Folder());

  const double rip = collector.RealMs("BM_RipTrack");
  const double cat = collector.RealMs("BM_CatBin");
  std::printf("\n%-26s %9s %12s %9s %12s %6s\n", "5-minute track from image", "rip ms",
              "x real time", "cat ms", "cat / rip", "goal");
  std::printf("%-26s %9.1f %12.1f %9.1f %12.2f %6s\n", "", rip,
              rip > 0 ? kTrackSeconds * 1000.0 / rip : 0.0, cat, rip > 0 ? cat / rip : 0.0,
              ">=20x");
  return 0;
}
