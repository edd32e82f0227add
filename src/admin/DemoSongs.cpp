// Synthesis of the demo songs: every voice is a function of the time since its last trigger
// (beat, off-beat, eighth note, bar), so a frame needs no history except the hi-hat noise.
// Those functions are sampled once per song and oscillators read one sine table, which keeps
// a whole library's worth of music well under a second of work.
#include "admin/DemoSongs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vx::admin {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kLowestBassHz = 41.2;  // E1; roots above an octave of it drop an octave

struct Chord {
  double bassHz = 0;
  std::array<double, 3> padHz{};
};

// Four chords of a major key; the seed picks the key and the order of the chords.
std::array<Chord, 4> ChordsFor(std::uint32_t seed) {
  static constexpr int kProgressions[][4] = {{0, 7, 9, 5}, {9, 5, 0, 7}, {0, 5, 7, 5}, {0, 9, 5, 7}};
  const int key = static_cast<int>(seed % 12);
  const int* degrees = kProgressions[(seed / 12) % 4];
  std::array<Chord, 4> chords;
  for (std::size_t i = 0; i < chords.size(); ++i) {
    const int degree = degrees[i];
    const int third = degree == 9 ? 3 : 4;  // the sixth degree is a minor chord
    double root = kLowestBassHz * std::exp2((key + degree) / 12.0);
    if (root >= 2 * kLowestBassHz) root /= 2;
    chords[i].bassHz = root;
    chords[i].padHz = {root * 4, root * 4 * std::exp2(third / 12.0), root * 4 * std::exp2(7 / 12.0)};
  }
  return chords;
}

// xorshift32: white noise in [-1, 1] that depends only on the seed.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed * 2654435761u | 1u) {}
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_ / 2147483647.5 - 1.0;
  }

 private:
  std::uint32_t state_;
};

// One period of a sine, read with linear interpolation (error below 1e-6).
class SineTable {
 public:
  SineTable() {
    for (std::size_t i = 0; i < table_.size(); ++i) table_[i] = std::sin(kTwoPi * i / kSize);
  }
  double operator()(double cycles) const {
    const double position = (cycles - std::floor(cycles)) * kSize;
    const auto index = std::min(static_cast<std::size_t>(position), kSize - 1);
    return table_[index] + (position - index) * (table_[index + 1] - table_[index]);
  }

 private:
  static constexpr std::size_t kSize = 4096;
  std::array<double, kSize + 1> table_{};
};

// A function of the time since a trigger, sampled at every frame of its span; read back at
// the nearest frame, and held at its last value beyond the span.
class Curve {
 public:
  template <typename F>
  Curve(double span, int rate, F f) : rate_(rate) {
    const auto frames = static_cast<std::size_t>(std::ceil(span * rate)) + 1;
    values_.reserve(frames);
    for (std::size_t i = 0; i < frames; ++i) values_.push_back(f(static_cast<double>(i) / rate));
  }
  double operator()(double since) const {
    const auto index = static_cast<std::size_t>(std::lround(since * rate_));
    return values_[std::min(index, values_.size() - 1)];
  }

 private:
  int rate_;
  std::vector<double> values_;
};

struct Frame {
  double left = 0;
  double right = 0;
};

class Groove {
 public:
  Groove(double bpm, double seconds, int rate, std::uint32_t seed)
      : beat_(60.0 / bpm), bar_(beat_ * kDemoBeatsPerBar), length_(seconds),
        chords_(ChordsFor(seed)), noise_(seed), kick_(beat_, rate, Kick),
        hatEnvelope_(beat_ / 2, rate, [](double since) { return 0.08 * std::exp(-since / 0.02); }),
        bassEnvelope_(beat_ / 2, rate, [](double since) {
          return 0.18 * (1.0 - std::exp(-since / 0.004)) * std::exp(-since / 0.18);
        }),
        padSwell_(bar_, rate, [this](double since) {
          return 0.045 * (1.0 - std::exp(-since / 0.12)) * std::min(1.0, (bar_ - since) / 0.05);
        }) {
    const DemoSections sections = DemoSectionStarts(bpm, seconds);
    drop_ = sections.dropMs / 1000.0;
    outro_ = sections.outroMs / 1000.0;
  }

  // Frames must be asked for in order: the hi-hat's noise runs on.
  Frame At(double t) {
    const double sinceBeat = std::fmod(t, beat_);
    const double sinceBar = std::fmod(t, bar_);
    const Chord& chord = chords_[static_cast<std::size_t>(t / bar_) % chords_.size()];
    const double kick = kick_(sinceBeat);
    const double hat = Hat(sinceBeat - beat_ / 2);
    const double bass = (t >= drop_ && t < outro_) ? Bass(t, sinceBeat, chord) : 0.0;
    const std::array<double, 3> pad = Pad(t, sinceBar, chord);
    const double centre = kick + bass + pad[1];
    const double fade = Fade(t);
    return {fade * (centre + 0.3 * hat + pad[0]), fade * (centre + 0.7 * hat + pad[2])};
  }

 private:
  // A sine that falls from 155 Hz to 45 Hz within a few tens of milliseconds; sampled once.
  static double Kick(double since) {
    constexpr double kSweep = 0.035;
    const double phase = kTwoPi * (45.0 * since + 110.0 * kSweep * (1.0 - std::exp(-since / kSweep)));
    return 0.5 * std::exp(-since / 0.16) * std::sin(phase);
  }

  // High-passed noise with a short decay; silent before the off-beat.
  double Hat(double since) {
    const double white = noise_.Next();
    const double bright = white - lastNoise_;
    lastNoise_ = white;
    return since < 0 ? 0.0 : hatEnvelope_(since) * bright;
  }

  // Eighth notes alternating between the chord's root and its octave.
  double Bass(double t, double sinceBeat, const Chord& chord) const {
    const double eighth = beat_ / 2;
    const bool upper = sinceBeat >= eighth;
    const double since = upper ? sinceBeat - eighth : sinceBeat;
    const double cycles = chord.bassHz * (upper ? 2 : 1) * t;
    return bassEnvelope_(since) * (sine_(cycles) + 0.35 * sine_(2 * cycles));
  }

  // The three notes of the bar's chord, each rising in and falling out at the bar lines.
  std::array<double, 3> Pad(double t, double sinceBar, const Chord& chord) const {
    const double swell = padSwell_(sinceBar);
    std::array<double, 3> notes;
    for (std::size_t i = 0; i < notes.size(); ++i) notes[i] = swell * sine_(chord.padHz[i] * t);
    return notes;
  }

  // A short fade-in against a click and a fade-out over the last two seconds.
  double Fade(double t) const {
    return std::clamp(std::min(t / 0.01, (length_ - t) / 2.0), 0.0, 1.0);
  }

  double beat_;
  double bar_;
  double length_;
  double drop_ = 0;
  double outro_ = 0;
  std::array<Chord, 4> chords_;
  Noise noise_;
  double lastNoise_ = 0;
  SineTable sine_;
  Curve kick_;
  Curve hatEnvelope_;
  Curve bassEnvelope_;
  Curve padSwell_;
};

std::int16_t ToSample(double value) {
  return static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32000.0));
}

}  // namespace

DemoSections DemoSectionStarts(double bpm, double seconds) {
  const double bar = 60.0 / bpm * kDemoBeatsPerBar;
  const double wholeBars = std::floor(seconds / bar);
  return {static_cast<std::uint32_t>(std::lround(kDemoIntroBars * bar * 1000.0)),
          static_cast<std::uint32_t>(std::lround((wholeBars - kDemoOutroBars) * bar * 1000.0))};
}

std::vector<std::int16_t> MakeDemoSamples(double bpm, double seconds, int rate, int channels,
                                          std::uint32_t seed) {
  const long frames = std::lround(seconds * rate);
  std::vector<std::int16_t> samples;
  samples.reserve(static_cast<std::size_t>(frames * channels));
  Groove groove(bpm, seconds, rate, seed);
  for (long i = 0; i < frames; ++i) {
    const Frame frame = groove.At(static_cast<double>(i) / rate);
    if (channels == 1) {
      samples.push_back(ToSample((frame.left + frame.right) / 2));
    } else {
      samples.push_back(ToSample(frame.left));
      samples.push_back(ToSample(frame.right));
    }
  }
  return samples;
}

}  // namespace vx::admin
