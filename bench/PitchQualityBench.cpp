// How each kind of speed change sounds and costs, all kinds in one run (a kind that is not
// built here plays Classic and is marked so):
//  - THD+N of a 1 kHz tone (half full scale, 44.1 kHz stereo) at -12, -6, +6, +12 % through
//    the processor fed as the engine feeds it, and where the tone lands: its frequency, and for
//    Key lock its deviation in cents from 1000 Hz, which it must keep (goals: Smooth <= -60 dB,
//    Key lock within 1 cent);
//  - engine CPU per deck: the engine thread's CPU time per second of song played, 30 s of a
//    44.1 kHz stereo song on a virtual output running 25 times faster than real time (so CPU
//    per second of audio played), and the processor alone per second of audio (goals: Smooth
//    <= 1 %, Key lock <= 15 % of one core);
//  - keypress-to-sound at real-time speed: from JumpToCueAndPlay, and from Play after a pause,
//    to the output having played the first frames of the new sound, against the engine's own
//    cue-jump goal of 20 ms (the same measure as bench_engine's).
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "LiveBenchKit.h"
#include "platform/riff/WaveFile.h"
#include "player/engine/CWavPlayerThread.h"
#include "player/engine/PitchProcessor.h"
#include "player/engine/EngineTestKit.h"
#include "player/engine/PitchFeed.h"
#include "support/ToneAnalysis.h"

namespace {

using vx::player::MakePitchProcessor;
using vx::player::PitchQuality;
using vx::player::test::EngineRig;

constexpr int kRate = 44100;
constexpr double kPitches[] = {-12, -6, 6, 12};

struct Kind {
  const char* name;
  PitchQuality quality;
};
constexpr Kind kKinds[] = {{"Classic", PitchQuality::kClassic},
                           {"Smooth", PitchQuality::kSmooth},
                           {"Key lock", PitchQuality::kKeyLock}};

bool Built(PitchQuality quality) {
  return MakePitchProcessor(quality, vx::riff::WaveFormat::Pcm16(2, kRate))->Quality() ==
         quality;
}

double ThreadCpuNow() {
  timespec used{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
  return static_cast<double>(used.tv_sec) + used.tv_nsec / 1e9;
}

void PrintTone(const Kind& kind) {
  const std::vector<std::int16_t> tone = vx::test::SineFrames(1000, kRate, 3 * kRate, 2);
  std::printf("%-9s", kind.name);
  for (const double pitch : kPitches) {
    const auto processor = MakePitchProcessor(kind.quality, vx::riff::WaveFormat::Pcm16(2, kRate));
    const std::vector<std::int16_t> played =
        vx::player::test::FeedLikeTheEngine(*processor, tone, 2, pitch);
    // A steady second from half a second on.
    const std::size_t from = kRate;  // samples: half a second of stereo frames
    if (played.size() < from + 2 * kRate) {
      std::printf(" %22s", "too short");
      continue;
    }
    const std::vector<std::int16_t> steady(played.begin() + from, played.begin() + from + 2 * kRate);
    const bool keepsKey = kind.quality == PitchQuality::kKeyLock;
    const double expected = keepsKey ? 1000 : 1000 * (1 + pitch / 100);
    const vx::test::ToneFit fit = vx::test::FitTone(steady, 2, 0, kRate, expected);
    if (keepsKey) {
      std::printf("  %7.1f dB %+7.3f ct", fit.thdnDb, vx::test::Cents(fit.frequency, 1000));
    } else {
      std::printf("  %7.1f dB %7.2f Hz", fit.thdnDb, fit.frequency);
    }
  }
  std::printf("\n");
}

// The processor alone: CPU per second of 44.1 kHz stereo audio it turned out, at +6 %.
double ProcessorCpuPercent(PitchQuality quality) {
  const std::vector<std::int16_t> song = vx::test::SineFrames(440, kRate, 60 * kRate, 2, 0.3);
  const auto processor = MakePitchProcessor(quality, vx::riff::WaveFormat::Pcm16(2, kRate));
  const double before = ThreadCpuNow();
  const std::vector<std::int16_t> played =
      vx::player::test::FeedLikeTheEngine(*processor, song, 2, 6.0);
  const double cpu = ThreadCpuNow() - before;
  return 100.0 * cpu / (static_cast<double>(played.size()) / 2 / kRate);
}

// The engine thread: CPU per second of device time, a 30 s song played through at pitch.
double EngineCpuPercent(PitchQuality quality, double pitch) {
  EngineRig rig(25);
  const double seconds = 30;
  vx::player::test::WriteSong(rig.SongsFolder(), 1,
                              vx::test::SineFrames(440, kRate, seconds * kRate, 2, 0.3), 2, kRate);
  auto& engine = rig.Engine();
  if (engine.Start(0, 1, "") != 0) return -1;
  engine.RunThread();
  engine.SetPitchQuality(quality);
  engine.SetPitch(pitch);
  engine.Load(rig.SongsFolder(), 1, "", "", {});
  if (!rig.WaitForEnd()) return -1;
  const double cpu = engine.ThreadCpuSeconds();
  rig.Close();
  return 100.0 * cpu / (seconds / (1 + pitch / 100));
}

// Keypress-to-sound at real time, in ms: each cue jump (the output restarts its count at the
// jump), then Play after a pause of each.
void Latencies(PitchQuality quality, std::vector<double>& jumps, std::vector<double>& plays) {
  EngineRig rig(1);
  vx::player::test::WriteSong(rig.SongsFolder(), 1,
                              vx::test::SineFrames(1000, kRate, 30 * kRate, 2), 2, kRate);
  std::vector<std::uint32_t> cues;
  for (const std::uint32_t frame : {200000u, 60000u, 400000u, 120000u, 500000u, 30000u}) {
    cues.push_back(frame * 4);
  }
  auto& engine = rig.Engine();
  if (engine.Start(0, 1, "") != 0) return;
  engine.RunThread();
  engine.SetPitchQuality(quality);
  engine.SetPitch(6);
  engine.Load(rig.SongsFolder(), 1, "", "", cues);
  vx::wave::WaveOut* output = nullptr;
  EngineRig::WaitFor([&] {
    output = rig.Devices().Output(0)->OpenerHandle(0);
    return output != nullptr;
  });
  if (output == nullptr) return;
  const auto played = [&] {
    std::uint64_t frames = 0;
    output->Position(frames);
    return frames;
  };
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto since = [](std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  for (std::size_t k = 0; k < cues.size(); ++k) {
    const int taken = engine.CommandsTaken();
    const auto start = std::chrono::steady_clock::now();
    engine.JumpToCueAndPlay(static_cast<std::int32_t>(k));
    if (EngineRig::WaitFor([&] {
          const std::uint64_t frames = played();
          return engine.CommandsTaken() > taken && frames > 0 && frames < kRate / 10;
        }, std::chrono::seconds(2))) {
      jumps.push_back(since(start));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    engine.Pause();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::uint64_t pausedAt = played();
    const auto resumed = std::chrono::steady_clock::now();
    engine.Play();
    if (EngineRig::WaitFor([&] { return played() > pausedAt; }, std::chrono::seconds(2))) {
      plays.push_back(since(resumed));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  rig.Close();
}

int Measure() {
  std::printf("THD+N of a 1 kHz tone and where it lands (goal Smooth <= -60 dB, Key lock "
              "within 1 cent)\n%-9s", "kind");
  for (const double pitch : kPitches) std::printf("%21.0f %%", pitch);
  std::printf("\n");
  for (const Kind& kind : kKinds) {
    if (!Built(kind.quality)) {
      std::printf("%-9s  not built here (plays Classic)\n", kind.name);
      continue;
    }
    PrintTone(kind);
  }

  std::printf("\nCPU per deck, %% of one core per second of 44.1 kHz stereo audio (goal Smooth "
              "<= 1, Key lock <= 15)\n%-9s %14s %14s %14s %14s\n", "kind", "engine 0 %",
              "engine +6 %", "engine -12 %", "processor +6 %");
  for (const Kind& kind : kKinds) {
    if (!Built(kind.quality)) continue;
    std::printf("%-9s %14.3f %14.3f %14.3f %14.3f\n", kind.name,
                EngineCpuPercent(kind.quality, 0), EngineCpuPercent(kind.quality, 6),
                EngineCpuPercent(kind.quality, -12), ProcessorCpuPercent(kind.quality));
  }

  std::printf("\nkeypress-to-sound at real time, +6 %% (goal: the engine's cue-jump goal)\n");
  for (const Kind& kind : kKinds) {
    if (!Built(kind.quality)) continue;
    std::vector<double> jumps;
    std::vector<double> plays;
    Latencies(kind.quality, jumps, plays);
    const std::string name = kind.name;
    vx::bench::PrintLatency((name + ": cue jump and play").c_str(), jumps, 20);
    vx::bench::PrintLatency((name + ": play after pause").c_str(), plays, 20);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return vx::bench::RunInPrivateFolder(argc, argv, "bench_pitch_quality", Measure);
}
