// Accuracy of the analysed tempo of the BPM counter (not a timing): every demo library song,
// and generated kick patterns at 70 to 180 BPM with swung off-beats, syncopated kicks and
// noise (steady white noise of the given deviation, the kick peaking at 0.7), with the share
// of songs within 1 % and the share off by a factor of two. The number
// of generated tempos follows VX_BENCH_TEMPO_STEP (BPM between patterns, default 5).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "BenchEnv.h"
#include "admin/DemoLibrary.h"
#include "admin/DemoSongs.h"
#include "curation/tempo/TempoTracker.h"

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 30;
constexpr double kPi = 3.14159265358979;

// A kick: a sine falling from 120 to 50 Hz under a fast decay.
void AddKick(std::vector<float>& out, double at, float level) {
  const auto start = static_cast<std::size_t>(at * kRate);
  double phase = 0;
  for (std::size_t i = 0; i < kRate / 5 && start + i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    phase += 2 * kPi * (50 + 70 * std::exp(-t * 30)) / kRate;
    out[start + i] += level * static_cast<float>(std::sin(phase) * std::exp(-t * 18));
  }
}

// A hi-hat: a short burst of noise.
void AddHat(std::vector<float>& out, double at, float level, std::mt19937& random) {
  std::uniform_real_distribution<float> noise(-1, 1);
  const auto start = static_cast<std::size_t>(at * kRate);
  for (std::size_t i = 0; i < kRate / 30 && start + i < out.size(); ++i) {
    out[start + i] += level * noise(random) * static_cast<float>(std::exp(-double(i) / 300));
  }
}

struct Pattern {
  double bpm;
  double swing;  // where the off-beat falls within the beat: 0.5 straight, 0.67 full swing
  float noise;   // level of steady white noise
};

std::vector<std::int16_t> MakePattern(const Pattern& p, std::uint32_t seed) {
  std::vector<float> out(static_cast<std::size_t>(kSeconds * kRate));
  std::mt19937 random(seed);
  const double beat = 60.0 / p.bpm;
  int index = 0;
  for (double at = 0.05; at < kSeconds - 0.3; at += beat, ++index) {
    AddKick(out, at, 0.7f);
    AddHat(out, at + beat * p.swing, 0.25f, random);
    // A syncopated extra kick before the last beat of every second bar.
    if (index % 8 == 6) AddKick(out, at + beat * p.swing, 0.5f);
  }
  std::normal_distribution<float> noise(0, p.noise);
  std::vector<std::int16_t> samples(out.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    const float v = std::clamp(out[i] + noise(random), -1.0f, 1.0f);
    samples[i] = static_cast<std::int16_t>(v * 32767);
  }
  return samples;
}

}  // namespace

int main() {
  std::printf("Demo songs (goal: within 0.5 BPM)\n%-22s %8s %9s %8s\n", "song", "BPM", "analysed",
              "off");
  int demoWithin = 0;
  const auto demo = vx::admin::DemoSongList();
  for (const vx::admin::DemoSong& song : demo) {
    const std::vector<std::int16_t> samples = vx::admin::MakeDemoSamples(
        song.bpm, song.seconds, song.rate, song.channels, song.seed);
    const std::optional<double> found =
        vx::TempoOfSamples(samples.data(), samples.size() / static_cast<std::size_t>(song.channels),
                           song.channels, static_cast<unsigned>(song.rate));
    const double off = found ? *found - song.bpm : 0;
    if (found && std::fabs(off) <= 0.5) ++demoWithin;
    std::printf("%-22s %8.2f %9.2f %+8.2f\n", song.name, song.bpm, found.value_or(0), off);
  }
  std::printf("within 0.5 BPM: %d of %zu\n\n", demoWithin, demo.size());

  const double step = vx::bench::EnvNumber("VX_BENCH_TEMPO_STEP", 5);
  const Pattern variants[] = {
      {0, 0.5, 0.0f}, {0, 0.58, 0.05f}, {0, 0.66, 0.05f}, {0, 0.5, 0.12f}, {0, 0.66, 0.12f}};
  struct Count {
    int total = 0, within = 0, doubled = 0, halved = 0;
  };
  Count all;
  Count byVariant[std::size(variants)];
  std::uint32_t seed = 1;
  std::printf("Kick patterns, 70-180 BPM\n%8s %6s %6s %9s\n", "BPM", "swing", "noise", "analysed");
  for (double bpm = 70; bpm <= 180; bpm += step) {
    for (std::size_t v = 0; v < std::size(variants); ++v) {
      Pattern p = variants[v];
      p.bpm = bpm;
      const std::vector<std::int16_t> samples = MakePattern(p, seed++);
      const std::optional<double> found = vx::TempoOfSamples(samples.data(), samples.size(), 1, kRate);
      const double value = found.value_or(0);
      for (Count* count : {&all, &byVariant[v]}) {
        ++count->total;
        if (std::fabs(value - bpm) <= bpm * 0.01) ++count->within;
        if (std::fabs(value - 2 * bpm) <= bpm * 0.02) ++count->doubled;
        if (std::fabs(value - bpm / 2) <= bpm * 0.005) ++count->halved;
      }
      std::printf("%8.1f %6.2f %6.2f %9.2f\n", bpm, p.swing, static_cast<double>(p.noise), value);
    }
  }
  const auto print = [](const std::string& what, const Count& c) {
    std::printf("%-26s %3d patterns: within 1 %%: %5.1f %%, twice: %4.1f %%, half: %4.1f %%\n",
                what.c_str(), c.total, 100.0 * c.within / c.total, 100.0 * c.doubled / c.total,
                100.0 * c.halved / c.total);
  };
  std::printf("\n");
  for (std::size_t v = 0; v < std::size(variants); ++v) {
    char what[64];
    std::snprintf(what, sizeof what, "swing %.2f, noise %.2f", variants[v].swing,
                  static_cast<double>(variants[v].noise));
    print(what, byVariant[v]);
  }
  print("all", all);
  return 0;
}
