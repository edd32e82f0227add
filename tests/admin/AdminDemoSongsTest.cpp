// The demo songs' generator: sizes, determinism, levels, sections, and a beat that an
// onset-energy autocorrelation finds at the stated tempo.
#include "admin/DemoSongs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "admin/DemoLibrary.h"
#include "library/SongLength.h"

namespace vx::admin {
namespace {

// Energy of the mono mix in hops of about a millisecond.
std::vector<double> HopEnergies(const std::vector<std::int16_t>& samples, int hop, int channels) {
  std::vector<double> energies;
  const std::size_t step = static_cast<std::size_t>(hop * channels);
  for (std::size_t start = 0; start + step <= samples.size(); start += step) {
    double sum = 0;
    for (std::size_t i = start; i < start + step; i += channels) {
      double mono = 0;
      for (int c = 0; c < channels; ++c) mono += samples[i + c];
      sum += mono * mono;
    }
    energies.push_back(sum);
  }
  return energies;
}

// The tempo between 80 and 160 BPM whose beat period best matches the song's onsets (rises
// of energy): the autocorrelation peak of the onset curve, refined by a parabola.
double EstimateBpm(const std::vector<std::int16_t>& samples, int rate, int channels) {
  const int hop = rate / 1000;
  const std::vector<double> energy = HopEnergies(samples, hop, channels);
  std::vector<double> onset(energy.size(), 0.0);
  for (std::size_t i = 1; i < energy.size(); ++i) onset[i] = std::max(0.0, energy[i] - energy[i - 1]);

  const double hopSeconds = static_cast<double>(hop) / rate;
  const auto lagOf = [&](double bpm) { return static_cast<std::size_t>(60.0 / bpm / hopSeconds); };
  const auto correlation = [&](std::size_t lag) {
    double sum = 0;
    for (std::size_t i = 0; i + lag < onset.size(); ++i) sum += onset[i] * onset[i + lag];
    return sum;
  };
  std::size_t best = lagOf(160);
  for (std::size_t lag = best; lag <= lagOf(80); ++lag) {
    if (correlation(lag) > correlation(best)) best = lag;
  }
  const double before = correlation(best - 1);
  const double peak = correlation(best);
  const double after = correlation(best + 1);
  const double shift = 0.5 * (before - after) / (before - 2 * peak + after);
  return 60.0 / ((best + shift) * hopSeconds);
}

double Rms(const std::vector<std::int16_t>& samples) {
  double sum = 0;
  for (std::int16_t s : samples) sum += double(s) * s;
  return std::sqrt(sum / samples.size());
}

TEST(AdminDemoSongs, SizeFollowsLengthRateAndChannels) {
  EXPECT_EQ(MakeDemoSamples(120, 20, 44100, 2, 1).size(), 20u * 44100 * 2);
  EXPECT_EQ(MakeDemoSamples(120, 20, 44100, 1, 1).size(), 20u * 44100);
  EXPECT_EQ(MakeDemoSamples(120, 20, 22050, 1, 1).size(), 20u * 22050);
}

TEST(AdminDemoSongs, SameSeedSameSongOtherSeedOtherSong) {
  const std::vector<std::int16_t> first = MakeDemoSamples(124, 20, 22050, 2, 7);
  EXPECT_EQ(first, MakeDemoSamples(124, 20, 22050, 2, 7));
  EXPECT_NE(first, MakeDemoSamples(124, 20, 22050, 2, 8));
}

TEST(AdminDemoSongs, LoudWithoutClippingAndStereoChannelsDiffer) {
  const std::vector<std::int16_t> samples = MakeDemoSamples(128, 20, 44100, 2, 3);
  std::vector<std::int16_t> left;
  std::vector<std::int16_t> right;
  for (std::size_t i = 0; i < samples.size(); i += 2) {
    left.push_back(samples[i]);
    right.push_back(samples[i + 1]);
  }
  const auto loudest = std::ranges::max(samples, {}, [](std::int16_t s) { return std::abs(s); });
  EXPECT_LT(std::abs(loudest), 32000);  // the generator's own limit was never reached
  EXPECT_GT(Rms(samples), 1500.0);
  EXPECT_NE(left, right);
  EXPECT_EQ(samples[0], 0);  // starts from silence, no click
}

TEST(AdminDemoSongs, BassPlaysBetweenDropAndOutro) {
  const double bpm = 120;  // a bar is 2 s: drop at 8 s, outro at 24 s of 32
  const DemoSections sections = DemoSectionStarts(bpm, 32);
  EXPECT_EQ(sections.dropMs, 8000u);
  EXPECT_EQ(sections.outroMs, 24000u);
  const std::vector<std::int16_t> samples = MakeDemoSamples(bpm, 32, 22050, 1, 5);
  const auto bar = [&](int index) {
    const auto begin = samples.begin() + index * 2 * 22050;
    return Rms(std::vector<std::int16_t>(begin, begin + 2 * 22050));
  };
  EXPECT_GT(bar(5), bar(2) * 1.05);  // the drop adds the bass
  EXPECT_GT(bar(11), bar(13) * 1.05);  // the outro takes it away
}

// The demo songs span 96 to 140 BPM in every stored format.
TEST(AdminDemoSongs, EveryDemoSongHasItsBeatAtItsBpm) {
  for (const DemoSong& song : DemoSongList()) {
    const std::vector<std::int16_t> samples =
        MakeDemoSamples(song.bpm, song.seconds, song.rate, song.channels, song.seed);
    EXPECT_NEAR(EstimateBpm(samples, song.rate, song.channels), song.bpm, song.bpm * 0.01)
        << song.name;
  }
}

TEST(AdminDemoSongs, SongLengthTextIsMinutesSecondsMilliseconds) {
  EXPECT_EQ(SongLengthText(0), "00:00.000");
  EXPECT_EQ(SongLengthText(83456), "01:23.456");
  EXPECT_EQ(SongLengthText(62003), "01:02.003");
  EXPECT_EQ(SongLengthText(100 * 60000 + 5), "100:00.005");
}

}  // namespace
}  // namespace vx::admin
