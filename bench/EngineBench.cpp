// Playback engine figures on a virtual output:
//  - engine CPU per deck per second of audio, PCM and MS ADPCM (audio server included), at
//    pitch 0, +12 and -12 (goals: 0.5 % of one core for PCM, 2 % for compressed);
//  - cue-jump latency: device time from JumpToCueAndPlay to the first sample of the cue at
//    the output, at real-time speed (goal: 20 ms).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "library/SongStore.h"
#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveDeviceList.h"
#include "player/engine/CAudioServerClient.h"
#include "player/engine/CWavPlayerThread.h"

namespace {

using vx::player::CWavPlayerThread;
constexpr std::uint32_t kRate = 44100;

std::string MakeFolder() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "vxbench-engine-XXXXXX").string();
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// Frame k carries k (low 15 bits left, high bits right), so a tape shows where it jumped.
void WriteNumberedSong(const std::string& path, std::uint32_t frames) {
  std::vector<std::int16_t> samples;
  samples.reserve(frames * 2);
  for (std::uint32_t k = 0; k < frames; ++k) {
    samples.push_back(static_cast<std::int16_t>(k & 0x7fff));
    samples.push_back(static_cast<std::int16_t>(k >> 15));
  }
  vx::riff::WaveFileWriter writer;
  writer.Create(path, vx::riff::WaveFormat::Pcm16(2, kRate));
  writer.Append(samples.data(), samples.size() * 2);
  writer.Close();
}

double ProcessCpuSeconds(int pid) {
  if (pid <= 0) return 0;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  const auto close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::vector<std::string> fields;
  std::size_t at = close + 2;
  while (at < text.size()) {
    const auto space = text.find(' ', at);
    fields.push_back(text.substr(at, space - at));
    if (space == std::string::npos) break;
    at = space + 1;
  }
  if (fields.size() < 13) return 0;
  return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) /
         static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Rig {
  std::unique_ptr<vx::wave::WaveDeviceList> devices;
  std::unique_ptr<CWavPlayerThread> engine;
  vx::player::CAudioServerClient* client = nullptr;

  Rig(const std::string& tape, double speed) {
    vx::DeviceConfig config;
    config.virtualOnly = true;
    config.waveOutputs = {tape};
    config.speed = speed;
    devices = vx::wave::WaveDeviceList::Build(config, {});
    auto link = std::make_unique<vx::player::CAudioServerClient>();
    client = link.get();
    engine = std::make_unique<CWavPlayerThread>(*devices, std::move(link));
    engine->Start(0, 1, VX_BIN_DIR);
    engine->RunThread();
  }
  ~Rig() {
    engine->Close();
    engine->WaitForExit(std::chrono::seconds(15));
  }
  bool WaitForEnd() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    std::uint32_t end = 0;
    while (std::chrono::steady_clock::now() < until) {
      engine->GetReadPosition(end);
      if (end == 1) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
};

// CPU percent of one core per second of audio heard, engine thread plus server process.
double EngineCpuPercent(const std::string& folder, std::uint32_t songId, double seconds,
                        double pitch) {
  Rig rig(folder + "/tape-cpu.wav", 25);
  rig.engine->SetPitch(pitch);
  rig.engine->Load(folder, songId, "", "", {});
  if (!rig.WaitForEnd()) return -1;
  const double cpu = rig.engine->ThreadCpuSeconds() + ProcessCpuSeconds(rig.client->ServerProcessId());
  const double audioSeconds = seconds / (1.0 + pitch / 100.0);
  return 100.0 * cpu / audioSeconds;
}

// Latency of each jump at real-time speed, in ms: from the call to the moment the output has
// played the cue's first period (5 ms), read from the output's position, which restarts at 0
// when the jump resets the device. The tape confirms that every jump landed on its cue.
std::vector<double> CueJumpLatencies(const std::string& folder, std::uint32_t songId,
                                     bool& allLanded) {
  const std::vector<std::uint32_t> cueFrames = {200000, 60000, 400000, 120000,
                                                500000, 30000, 300000, 250000};
  std::vector<std::uint32_t> offsets;
  for (const auto frame : cueFrames) offsets.push_back(frame * 4);
  const std::string tape = folder + "/tape-jump.wav";
  std::vector<double> latencies;
  {
    Rig rig(tape, 1);
    rig.engine->Load(folder, songId, "", "", offsets);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    for (std::size_t k = 0; k < cueFrames.size(); ++k) {
      const int taken = rig.engine->CommandsTaken();
      const auto start = std::chrono::steady_clock::now();
      rig.engine->JumpToCueAndPlay(static_cast<std::int32_t>(k));
      while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
        std::uint64_t played = 0;
        rig.devices->Output(0)->OpenerHandle(0)->Position(played);
        if (rig.engine->CommandsTaken() > taken && played > 0 && played < kRate / 10) {
          latencies.push_back(std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - start).count());
          break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
  }
  vx::riff::RiffFile file;
  vx::riff::WaveLayout layout;
  std::vector<std::int16_t> samples;
  if (file.Open(tape, vx::riff::RiffFile::Mode::Read) &&
      vx::riff::ReadWaveLayout(file, layout) == vx::riff::WaveError::kNone) {
    samples.resize(layout.AvailableDataBytes() / 2);
    file.Read(samples.data(), samples.size() * 2);
  }
  std::size_t landed = 0;
  std::uint32_t previous = 0;
  for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
    const std::uint32_t frame = static_cast<std::uint16_t>(samples[i]) |
                                static_cast<std::uint32_t>(samples[i + 1]) << 15;
    if (i > 0 && frame != previous + 1 && landed < cueFrames.size() &&
        frame == cueFrames[landed]) {
      ++landed;
    }
    previous = frame;
  }
  allLanded = landed == cueFrames.size();
  return latencies;
}

}  // namespace

int main() {
  const std::string folder = MakeFolder();
  const double seconds = 60;
  const std::string pcm = vx::SongFileNameInFolder(folder, 1);
  WriteNumberedSong(pcm, static_cast<std::uint32_t>(seconds * kRate));
  const std::string adpcm = vx::SongFileNameInFolder(folder, 2);
  const std::string encode = "ffmpeg -v error -y -i " + pcm + " -c:a adpcm_ms -f wav " + adpcm;
  const bool haveAdpcm = std::system(encode.c_str()) == 0;

  std::printf("engine CPU per deck, %% of one core per second of audio (goal PCM 0.5, ADPCM 2)\n");
  std::printf("%-8s %8s %8s %8s\n", "song", "0 %", "+12 %", "-12 %");
  for (const auto& [name, id] : {std::pair{"PCM", 1u}, std::pair{"MS ADPCM", 2u}}) {
    if (id == 2 && !haveAdpcm) continue;
    std::printf("%-8s", name);
    for (const double pitch : {0.0, 12.0, -12.0}) {
      std::printf(" %8.3f", EngineCpuPercent(folder, id, seconds, pitch));
    }
    std::printf("\n");
  }

  bool allLanded = false;
  std::vector<double> latencies = CueJumpLatencies(folder, 1, allLanded);
  std::sort(latencies.begin(), latencies.end());
  if (!latencies.empty()) {
    std::printf("cue jump latency to the first 5 ms heard (goal 20 ms): median %.1f ms, max "
                "%.1f ms over %zu jumps; every jump landed on its cue: %s\n",
                latencies[latencies.size() / 2], latencies.back(), latencies.size(),
                allLanded ? "yes" : "NO");
  }
  std::filesystem::remove_all(folder);
  return 0;
}
