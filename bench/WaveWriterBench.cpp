// Capture writer throughput: 64 MiB appended to a temporary WAVE file in capture-sized
// pieces, next to a plain write(2) loop of the same bytes into a plain file, with the ratio.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TimeCollector.h"
#include "recording/CWaveWriter.h"

namespace {

constexpr std::size_t kTotalBytes = 64u << 20;

const std::string& TempPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("vxbench-wave-" + std::to_string(getpid()))).string();
  return path;
}

const std::vector<char>& Samples() {
  static const std::vector<char> samples = [] {
    std::vector<char> bytes(kTotalBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31);
    return bytes;
  }();
  return samples;
}

void BM_WaveWriter(benchmark::State& state) {
  const std::size_t piece = static_cast<std::size_t>(state.range(0));
  const std::vector<char>& samples = Samples();
  for (auto _ : state) {
    vx::CWaveWriter writer;
    writer.Create(TempPath(), vx::riff::WaveFormat::Pcm16(2, 44100));
    for (std::size_t at = 0; at < kTotalBytes; at += piece) writer.Append(samples.data() + at, piece);
    if (!writer.Close()) state.SkipWithError("writing failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotalBytes));
}

void BM_PlainWrite(benchmark::State& state) {
  const std::size_t piece = static_cast<std::size_t>(state.range(0));
  const std::vector<char>& samples = Samples();
  for (auto _ : state) {
    const int fd = open(TempPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (std::size_t at = 0; at < kTotalBytes; at += piece) {
      if (write(fd, samples.data() + at, piece) != static_cast<ssize_t>(piece)) {
        state.SkipWithError("writing failed");
        break;
      }
    }
    close(fd);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotalBytes));
}

BENCHMARK(BM_WaveWriter)->Arg(4096)->Arg(40960)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_PlainWrite)->Arg(4096)->Arg(40960)->Unit(benchmark::kMillisecond)->MinTime(0.5);


}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Samples();
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  std::filesystem::remove(TempPath());

  std::printf("\n%-22s %10s %10s %10s %8s %6s\n", "64 MiB in pieces of", "ours ms", "write ms",
              "ours MiB/s", "ratio", "goal");
  for (const char* piece : {"4096", "40960"}) {
    const double ours = collector.RealMs(std::string("BM_WaveWriter/") + piece + "/");
    const double plain = collector.RealMs(std::string("BM_PlainWrite/") + piece + "/");
    // Ratio = plain time / our time: 1.0 means as fast as bare write(2) calls.
    std::printf("%-22s %10.2f %10.2f %10.0f %8.2f %6s\n", piece, ours, plain,
                ours > 0 ? 64.0 / (ours / 1000.0) : 0.0, ours > 0 ? plain / ours : 0.0, ">=0.8");
  }
  return 0;
}
