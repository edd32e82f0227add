// Audio server decode throughput: a 60-second MS ADPCM song decoded through the player's
// client and vxacmsvr in chunks of 100 ms of file data, as the engine feeds it, next to
// ffmpeg decoding the same file to nothing (`ffmpeg -v error -i FILE -f null -`), with the
// ratio ffmpeg time / our time. The server is started once (as a deck does), not timed.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "TimeCollector.h"
#include "platform/riff/WaveFile.h"
#include "player/engine/CAudioServerClient.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Song {
  std::string path;
  Bytes formatRecord;
  Bytes data;
  std::uint32_t chunkSize = 0;
};

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vxbench-server-XXXXXX").string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }();
  return folder;
}

// Made once: ffmpeg encodes a 60-second stereo tone to MS ADPCM.
const Song& TheSong() {
  static const Song song = [] {
    Song made;
    made.path = Folder() + "/song60.wav";
    const std::string command = "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=60 "
                                "-ac 2 -ar 44100 -c:a adpcm_ms " + made.path;
    vx::riff::WaveLayout layout;
    if (std::system(command.c_str()) != 0 ||
        vx::riff::ReadWaveLayout(made.path, layout) != vx::riff::WaveError::kNone) {
      return made;
    }
    std::ifstream in(made.path, std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto begin = static_cast<std::ptrdiff_t>(layout.dataOffset);
    made.data.assign(file.begin() + begin,
                     file.begin() + begin + static_cast<std::ptrdiff_t>(layout.AvailableDataBytes()));
    made.formatRecord = layout.formatRecord;
    const std::uint32_t align = layout.format.blockAlign;
    made.chunkSize = layout.format.avgBytesPerSec / align * align / 10;  // 100 ms of data
    return made;
  }();
  return song;
}

void BM_ServerDecode(benchmark::State& state) {
  const Song& song = TheSong();
  if (song.data.empty()) return state.SkipWithError("no song (ffmpeg missing?)");
  vx::player::CAudioServerClient client;
  if (client.Start(VX_BIN_DIR, 90) != 0) return state.SkipWithError("server did not start");
  using Status = vx::player::AudioServerLink::Status;
  std::size_t decodedBytes = 0;
  for (auto _ : state) {
    std::uint32_t maximum = 0;
    Bytes format;
    if (!client.SetChunkSize(song.chunkSize) || !client.OpenSong(song.formatRecord) ||
        client.GetOutputFormat(maximum, format) != Status::kOk) {
      return state.SkipWithError("song refused");
    }
    Bytes out(maximum);
    std::size_t position = 0;
    decodedBytes = 0;
    while (position < song.data.size()) {
      const auto count = static_cast<std::uint32_t>(
          std::min<std::size_t>(song.chunkSize, song.data.size() - position));
      std::uint32_t consumed = 0;
      std::uint32_t produced = 0;
      if (client.Decode(song.data.data() + position, count, consumed, out.data(), maximum,
                        produced) != Status::kOk) {
        return state.SkipWithError("decode failed");
      }
      decodedBytes += produced;
      position += consumed;
      if (count < song.chunkSize) break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["decoded_MiB"] = static_cast<double>(decodedBytes) / (1 << 20);
}

void BM_Ffmpeg(benchmark::State& state) {
  const Song& song = TheSong();
  if (song.data.empty()) return state.SkipWithError("no song (ffmpeg missing?)");
  const std::string command = "ffmpeg -v error -i " + song.path + " -f null -";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) return state.SkipWithError("ffmpeg failed");
  }
}

BENCHMARK(BM_ServerDecode)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ffmpeg)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();


}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TheSong();
  vx::bench::TimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());

  const double ours = collector.RealMs("BM_ServerDecode");
  const double ffmpeg = collector.RealMs("BM_Ffmpeg");
  std::printf("\n%-34s %10s %10s %8s %6s\n", "60 s MS ADPCM, 100 ms chunks", "ours ms", "ffmpeg ms",
              "ratio", "goal");
  // Ratio = ffmpeg time / our time: 1.0 means as fast as ffmpeg decoding the file itself.
  std::printf("%-34s %10.2f %10.2f %8.2f %6s\n", "decode through vxacmsvr", ours, ffmpeg,
              ours > 0 ? ffmpeg / ours : 0.0, ">=0.8");
  return 0;
}
