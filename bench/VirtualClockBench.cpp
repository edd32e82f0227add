// Clock drift of the virtual wave output: plays 44.1 kHz 16-bit stereo silence through a
// ring of ten 100 ms buffers for VX_BENCH_CLOCK_SECONDS of device time (default 600) at
// speed 1, then compares the device time played with the monotonic wall clock. The goal is
// a drift of at most 0.05 %.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "BenchEnv.h"
#include "platform/wave/BufferPump.h"
#include "platform/wave/virtual/DeviceClock.h"
#include "platform/wave/virtual/VirtualWaveOut.h"

namespace {

using vx::wave::WaveHeader;
using vx::wave::WaveMessage;

double BenchSeconds() { return vx::bench::EnvNumber("VX_BENCH_CLOCK_SECONDS", 600); }

// Buffers the device gave back, with the monotonic time of the last one.
struct Returns {
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<WaveHeader*> headers;
  std::int64_t lastNs = 0;
};

void BM_VirtualOutputClockDrift(benchmark::State& state) {
  const auto format = vx::riff::WaveFormat::Pcm16(2, 44100);
  const std::uint64_t targetFrames =
      static_cast<std::uint64_t>(BenchSeconds() * format.samplesPerSec);
  const std::string tape = (std::filesystem::temp_directory_path() /
                            ("vxbench-clock-" + std::to_string(getpid()) + ".wav")).string();
  for (auto _ : state) {
    vx::wave::VirtualWaveOut device("Virtual Output 1", tape, 1.0);
    Returns returns;
    auto callback = [&returns](WaveMessage message, WaveHeader* header) {
      if (message != WaveMessage::kDone) return;
      std::lock_guard lock(returns.mutex);
      returns.headers.push_back(header);
      returns.lastNs = vx::wave::DeviceClock::NowNs();
      returns.cv.notify_one();
    };
    vx::wave::WaveOut* out = nullptr;
    if (device.Open(format, callback, vx::wave::ChannelRoute::kAll, out) != vx::wave::kOk) {
      state.SkipWithError("cannot open the virtual output");
      return;
    }
    const std::uint32_t bufferFrames = format.samplesPerSec / 10;
    std::vector<std::vector<std::uint8_t>> blocks(10, std::vector<std::uint8_t>(bufferFrames * 4));
    std::vector<WaveHeader> headers(10);
    out->Pause();
    std::uint64_t written = 0;
    std::size_t queued = 0;
    for (std::size_t i = 0; i < headers.size() && written < targetFrames; ++i) {
      headers[i].data = blocks[i].data();
      headers[i].bufferLength = static_cast<std::uint32_t>(blocks[i].size());
      out->Prepare(headers[i]);
      out->Write(headers[i]);
      written += bufferFrames;
      ++queued;
    }
    const std::int64_t startNs = vx::wave::DeviceClock::NowNs();
    out->Restart();
    while (queued > 0) {
      std::unique_lock lock(returns.mutex);
      returns.cv.wait(lock, [&] { return !returns.headers.empty(); });
      WaveHeader* header = returns.headers.front();
      returns.headers.pop_front();
      lock.unlock();
      --queued;
      if (written < targetFrames) {
        out->Write(*header);
        written += bufferFrames;
        ++queued;
      }
    }
    std::uint64_t position = 0;
    out->Position(position);
    // The last buffer comes back at the end of the period that plays its last frame.
    const std::uint64_t period = vx::wave::BufferPump::PeriodFrames(format);
    const std::uint64_t clockFrames = (position + period - 1) / period * period;
    const double deviceSeconds = static_cast<double>(clockFrames) / format.samplesPerSec;
    const double wallSeconds = (returns.lastNs - startNs) / 1e9;
    const double drift = (wallSeconds - deviceSeconds) / deviceSeconds * 100;
    state.SetIterationTime(wallSeconds);
    state.counters["device_s"] = deviceSeconds;
    state.counters["wall_s"] = wallSeconds;
    state.counters["drift_pct"] = drift;
    std::printf("virtual clock: %.3f s of device time in %.6f s of wall time, drift %+.5f %% "
                "(goal <= 0.05 %%), underruns %llu\n",
                deviceSeconds, wallSeconds, drift,
                static_cast<unsigned long long>(out->Underruns()));
    out->Reset();
    for (auto& header : headers) out->Unprepare(header);
    out->Close();
  }
  std::filesystem::remove(tape);
}

BENCHMARK(BM_VirtualOutputClockDrift)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
