#include "support/ToneAnalysis.h"

#include <cassert>
#include <cmath>
#include <complex>
#include <numbers>

namespace vx::test {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

std::vector<double> Channel(const std::vector<std::int16_t>& interleaved, int channels,
                            int channel) {
  assert(channels > 0 && channel >= 0 && channel < channels);
  std::vector<double> samples;
  samples.reserve(interleaved.size() / static_cast<std::size_t>(channels));
  for (std::size_t i = static_cast<std::size_t>(channel); i < interleaved.size();
       i += static_cast<std::size_t>(channels)) {
    samples.push_back(interleaved[i]);
  }
  return samples;
}

// The power of the Hann-windowed signal at one frequency (cycles per sample). The tone's
// phasor and the window turn by one complex multiplication per sample rather than by sine and
// cosine calls: the analysis runs hundreds of these over a second of sound.
double PowerAt(const std::vector<double>& x, double cyclesPerSample) {
  const double n = static_cast<double>(x.size());
  const std::complex<double> toneStep = std::polar(1.0, -kTwoPi * cyclesPerSample);
  const std::complex<double> windowStep = std::polar(1.0, kTwoPi / n);
  std::complex<double> tone = 1;
  std::complex<double> window = 1;
  std::complex<double> sum = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    sum += (0.5 - 0.5 * window.real()) * x[i] * tone;
    tone *= toneStep;
    window *= windowStep;
    if ((i & 1023) == 1023) {  // keep the rounding of the long products from building up
      tone /= std::abs(tone);
      window /= std::abs(window);
    }
  }
  return std::norm(sum);
}

// Golden-section search for the peak of PowerAt in [low, high].
double PeakBetween(const std::vector<double>& x, double low, double high) {
  const double ratio = (std::sqrt(5.0) - 1) / 2;
  double a = low;
  double b = high;
  double c = b - ratio * (b - a);
  double d = a + ratio * (b - a);
  double pc = PowerAt(x, c);
  double pd = PowerAt(x, d);
  for (int i = 0; i < 60 && b - a > 1e-12; ++i) {
    if (pc > pd) {
      b = d;
      d = c;
      pd = pc;
      c = b - ratio * (b - a);
      pc = PowerAt(x, c);
    } else {
      a = c;
      c = d;
      pc = pd;
      d = a + ratio * (b - a);
      pd = PowerAt(x, d);
    }
  }
  return (a + b) / 2;
}

}  // namespace

ToneFit FitTone(const std::vector<std::int16_t>& interleaved, int channels, int channel,
                double sampleRate, double guessHz) {
  const std::vector<double> x = Channel(interleaved, channels, channel);
  ToneFit fit;
  if (x.size() < 16 || sampleRate <= 0 || guessHz <= 0) return fit;
  // A coarse scan over +-15 % finds the peak's neighbourhood; the search then refines it.
  const double guess = guessHz / sampleRate;
  constexpr int kSteps = 300;
  double best = guess;
  double bestPower = -1;
  for (int k = 0; k <= kSteps; ++k) {
    const double f = guess * (0.85 + 0.30 * k / kSteps);
    const double p = PowerAt(x, f);
    if (p > bestPower) {
      bestPower = p;
      best = f;
    }
  }
  const double step = guess * 0.30 / kSteps;
  const double f = PeakBetween(x, best - step, best + step);

  // Least squares of a cos + b sin + c at that frequency; the rest is the THD+N residual.
  double scc = 0, sss = 0, ssc = 0, sc = 0, ss = 0, sxc = 0, sxs = 0, sx = 0;
  const double n = static_cast<double>(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double phase = kTwoPi * f * static_cast<double>(i);
    const double c = std::cos(phase);
    const double s = std::sin(phase);
    scc += c * c;
    sss += s * s;
    ssc += s * c;
    sc += c;
    ss += s;
    sxc += x[i] * c;
    sxs += x[i] * s;
    sx += x[i];
  }
  // Solve the 3x3 normal equations by Cramer's rule.
  const double m[3][3] = {{scc, ssc, sc}, {ssc, sss, ss}, {sc, ss, n}};
  const double r[3] = {sxc, sxs, sx};
  auto det = [](const double a[3][3]) {
    return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
           a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
           a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  };
  const double d = det(m);
  if (d == 0) return fit;
  double coefficients[3];
  for (int k = 0; k < 3; ++k) {
    double mk[3][3];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) mk[i][j] = j == k ? r[i] : m[i][j];
    }
    coefficients[k] = det(mk) / d;
  }
  double tonePower = 0;
  double residualPower = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double phase = kTwoPi * f * static_cast<double>(i);
    const double tone = coefficients[0] * std::cos(phase) + coefficients[1] * std::sin(phase);
    const double rest = x[i] - tone - coefficients[2];
    tonePower += tone * tone;
    residualPower += rest * rest;
  }
  fit.frequency = f * sampleRate;
  fit.amplitude = std::hypot(coefficients[0], coefficients[1]);
  fit.thdnDb = tonePower > 0 ? 10 * std::log10(std::max(residualPower, 1e-30) / tonePower) : 0;
  return fit;
}

double Cents(double frequency, double reference) {
  return 1200 * std::log2(frequency / reference);
}

std::vector<std::int16_t> SineFrames(double frequency, double sampleRate, std::size_t count,
                                     int channels, double amplitude) {
  std::vector<std::int16_t> frames;
  frames.reserve(count * static_cast<std::size_t>(channels));
  for (std::size_t i = 0; i < count; ++i) {
    const double v =
        amplitude * 32767 * std::sin(kTwoPi * frequency * static_cast<double>(i) / sampleRate);
    const auto sample = static_cast<std::int16_t>(std::lround(v));
    for (int c = 0; c < channels; ++c) frames.push_back(sample);
  }
  return frames;
}

}  // namespace vx::test
