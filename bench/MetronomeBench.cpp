// The BPM counter's click against the ideal beat grid: the metronome clicks at 120.5 BPM (a
// beat of 497.93 ms, no whole number of milliseconds) for VX_BENCH_METRONOME_SECONDS of
// device time (default 300) at speed 1, and every note on is timed as the output receives
// it. Each click's deviation is its arrival minus (first click + k x beat). Beside it, in the
// same run and over the same time, a bare periodic timer with the same period is measured
// the same way, so the figures show what the click adds to the timer. Goal: p99 of the
// click's deviation at most 1 ms.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "BenchEnv.h"
#include "curation/Metronome.h"
#include "platform/midi/MidiOut.h"
#include "platform/midi/PeriodicTimer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kTempo = 120.5;

double BenchSeconds() { return vx::bench::EnvNumber("VX_BENCH_METRONOME_SECONDS", 300); }

// An output that notes when each note on reaches it, as a synthesizer would hear it.
class TimedOutput : public vx::midi::MidiOut {
 public:
  explicit TimedOutput(std::size_t expected) { arrivals_.reserve(expected); }
  ~TimedOutput() override { Close(); }
  std::vector<Clock::time_point> Arrivals() {
    std::lock_guard lock(mutex_);
    return arrivals_;
  }

 protected:
  unsigned Send(const std::uint8_t* bytes, std::size_t, std::uint32_t) override {
    const Clock::time_point now = Clock::now();
    if ((bytes[0] & 0xF0) == 0x90) {
      std::lock_guard lock(mutex_);
      arrivals_.push_back(now);
    }
    return vx::midi::kOk;
  }
  void Release() override {}

 private:
  std::mutex mutex_;
  std::vector<Clock::time_point> arrivals_;
};

struct Figures {
  double p50 = 0, p99 = 0, max = 0;
  std::size_t count = 0;
};

// Deviations of arrivals from anchor + k x period, k counted from 1 for arrivals[first].
Figures Deviations(const std::vector<Clock::time_point>& arrivals, std::size_t first,
                   Clock::time_point anchor, std::chrono::nanoseconds period) {
  std::vector<double> ms;
  for (std::size_t i = first; i < arrivals.size(); ++i) {
    const auto ideal = anchor + period * static_cast<long>(i - first + 1);
    ms.push_back(std::abs(std::chrono::duration<double, std::milli>(arrivals[i] - ideal).count()));
  }
  Figures figures;
  if (ms.empty()) return figures;
  std::sort(ms.begin(), ms.end());
  auto at = [&](double fraction) {
    return ms[static_cast<std::size_t>(fraction * double(ms.size() - 1))];
  };
  figures.p50 = at(0.50);
  figures.p99 = at(0.99);
  figures.max = ms.back();
  figures.count = ms.size();
  return figures;
}

}  // namespace

int main() {
  const double seconds = BenchSeconds();
  const auto period = vx::Metronome::BeatPeriod(kTempo);
  const auto beats = static_cast<std::size_t>(seconds * 1e9 / double(period.count())) + 2;

  // The bare timer, with the same period, running over the same time.
  std::mutex timerMutex;
  std::vector<Clock::time_point> timerArrivals;
  timerArrivals.reserve(beats);
  vx::midi::PeriodicTimer timer;
  const Clock::time_point timerAnchor = Clock::now();
  timer.Start(period, [&](std::uint64_t) {
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(timerMutex);
    timerArrivals.push_back(now);
  });

  TimedOutput output(beats);
  {
    vx::Metronome metronome(output, 37);
    // Restart clicks at once and counts the beats from there, as the Restart button does.
    metronome.Restart(kTempo);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  }
  timer.Stop();

  const std::vector<Clock::time_point> clicks = output.Arrivals();
  std::vector<Clock::time_point> ticks;
  {
    std::lock_guard lock(timerMutex);
    ticks = timerArrivals;
  }
  const Figures click = clicks.empty() ? Figures{} : Deviations(clicks, 1, clicks.front(), period);
  const Figures tick = Deviations(ticks, 0, timerAnchor, period);

  std::printf(
      "metronome click against the ideal grid, %.1f BPM (beat %.3f ms), %.0f s of device "
      "time (goal p99 <= 1 ms)\n",
      kTempo, double(period.count()) / 1e6, seconds);
  std::printf("%-26s %8s %8s %8s %8s\n", "", "clicks", "p50 ms", "p99 ms", "max ms");
  std::printf("%-26s %8zu %8.3f %8.3f %8.3f\n", "metronome click", click.count, click.p50,
              click.p99, click.max);
  std::printf("%-26s %8zu %8.3f %8.3f %8.3f\n", "periodic timer (same run)", tick.count, tick.p50,
              tick.p99, tick.max);
  if (tick.p99 > 0) std::printf("p99 ratio click / timer: %.2f\n", click.p99 / tick.p99);
  std::printf("goal met: %s\n", click.count > 0 && click.p99 <= 1.0 ? "yes" : "NO");
  return 0;
}
