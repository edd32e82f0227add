// The media control layer's two real-time costs:
//  - metronome jitter: 2,000 ticks of a 10 ms midi::PeriodicTimer, each tick's lateness
//    against its absolute deadline and each interval against its nominal length (goal: p99
//    at most 1 ms), plus the ticks the timer skipped after an overrun;
//  - CD audio play: about 10 s of a disc image played at VELUMIX_SPEED=1 onto a virtual
//    output, process CPU time over wall time (goal: at most 1 % of one core).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/cdrom/TestDisc.h"
#include "platform/mci/MciSession.h"
#include "platform/midi/PeriodicTimer.h"
#include "platform/wave/WaveDeviceList.h"

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(fraction * double(values.size() - 1));
  return values[at];
}

void BM_MetronomeJitter(benchmark::State& state) {
  constexpr unsigned kTicks = 2000;
  constexpr auto kInterval = std::chrono::milliseconds(10);
  for (auto _ : state) {
    // (tick number, arrival); a tick skipped by an overrun shows as a gap in the numbers.
    std::vector<std::pair<std::uint64_t, Clock::time_point>> arrivals;
    arrivals.reserve(kTicks);
    std::mutex mutex;
    vx::midi::PeriodicTimer timer;
    const Clock::time_point start = Clock::now();
    timer.Start(10, [&](std::uint64_t tick) {
      const Clock::time_point now = Clock::now();
      std::lock_guard lock(mutex);
      if (arrivals.size() < kTicks) arrivals.emplace_back(tick, now);
    });
    while (true) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      std::lock_guard lock(mutex);
      if (arrivals.size() >= kTicks) break;
    }
    timer.Stop();
    std::vector<double> lateMs;
    for (const auto& [tick, arrival] : arrivals) {
      const auto deadline = start + kInterval * tick;
      lateMs.push_back(std::chrono::duration<double, std::milli>(arrival - deadline).count());
    }
    // Steadiness of the click: each interval against its nominal length.
    std::vector<double> intervalMs;
    for (std::size_t k = 1; k < arrivals.size(); ++k) {
      const double nominal = 10.0 * double(arrivals[k].first - arrivals[k - 1].first);
      const double actual = std::chrono::duration<double, std::milli>(arrivals[k].second -
                                                                      arrivals[k - 1].second)
                                .count();
      intervalMs.push_back(std::abs(actual - nominal));
    }
    state.counters["interval_p50_ms"] = Percentile(intervalMs, 0.50);
    state.counters["interval_p99_ms"] = Percentile(intervalMs, 0.99);
    state.counters["skipped"] = double(arrivals.back().first - arrivals.size());
    state.counters["p50_ms"] = Percentile(lateMs, 0.50);
    state.counters["p99_ms"] = Percentile(lateMs, 0.99);
    state.counters["max_ms"] = *std::max_element(lateMs.begin(), lateMs.end());
  }
}
BENCHMARK(BM_MetronomeJitter)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void BM_CdPlayCpu(benchmark::State& state) {
  const std::string folder =
      (std::filesystem::temp_directory_path() / ("vx-mci-bench-" + std::to_string(getpid())))
          .string();
  std::filesystem::create_directories(folder + "/tray");
  vx::test::TestDiscLayout layout;
  layout.thirdTrackSectors = 75 * 12;  // a disc of about 21 s
  vx::test::WriteTestDisc(folder + "/tray", layout);
  setenv("VELUMIX_DEVICES", ("out=" + folder + "/tape.wav;cd=" + folder + "/tray").c_str(), 1);
  setenv("VELUMIX_SPEED", "1", 1);
  vx::wave::WaveDeviceList::InstallSystem(nullptr);

  for (auto _ : state) {
    vx::mci::MciSession session;
    std::string reply;
    session.SendString("open D: type cdaudio alias cdplay shareable", reply);
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = Clock::now();
    if (session.SendString("play cdplay", reply) != 0) state.SkipWithError("play failed");
    std::this_thread::sleep_for(std::chrono::seconds(10));
    session.SendString("status cdplay mode", reply);
    const bool playing = reply == "playing";
    session.SendString("stop cdplay", reply);
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    session.SendString("close cdplay", reply);
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    state.counters["still_playing"] = playing ? 1 : 0;
  }
  vx::wave::WaveDeviceList::InstallSystem(nullptr);
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CdPlayCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
