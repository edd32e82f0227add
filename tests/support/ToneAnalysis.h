// Measures a recorded sine tone: its frequency (to a small fraction of a cent over a second
// of sound) and its THD+N, the power of everything that is not the tone (harmonics, noise,
// grit) against the tone's own power. Used to judge how cleanly a deck changes speed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx::test {

struct ToneFit {
  double frequency = 0;  // Hz
  double amplitude = 0;  // in sample units
  double thdnDb = 0;     // 10 log10(residual power / tone power); lower is cleaner
};

// The tone in one channel of interleaved 16-bit frames; guessHz must be within a few per
// cent of the tone. The frames analysed should hold a whole steady stretch of the tone
// (leave out any fade or start-up).
ToneFit FitTone(const std::vector<std::int16_t>& interleaved, int channels, int channel,
                double sampleRate, double guessHz);

// The deviation of frequency from reference in cents (1/100 of a semitone).
double Cents(double frequency, double reference);

// count frames of a sine of frequency Hz at amplitude (of 32767), every channel the same.
std::vector<std::int16_t> SineFrames(double frequency, double sampleRate, std::size_t count,
                                     int channels, double amplitude = 0.5);

}  // namespace vx::test
