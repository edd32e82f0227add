// Key lock as a deck uses it: fed a tenth of a second at a time with room for one and a half
// times that, the input it did not take offered again. The tone must keep its key at every
// tempo, the output must stand for exactly the input taken at the tempo it was taken at, and
// after a reset the first output frame must be the first input frame.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "PitchFeed.h"
#include "platform/riff/WaveFile.h"
#include "player/engine/KeyLockPitch.h"
#include "support/ToneAnalysis.h"

namespace vx::player {
namespace {

// What one run through the processor gave.
struct Played {
  std::vector<std::int16_t> frames;  // interleaved, the flushed tail included
  double inputFrames = 0;            // the input frames the output stands for (sum of n * f)
  std::size_t consumed = 0;          // input frames taken
  std::size_t silentCalls = 0;       // calls given a tenth of a second that wrote nothing
  double lagLow = 1e18;              // consumed - inputFrames over the run, after the first second
  double lagHigh = -1e18;
};

// Feeds input through processor as the engine does; pitchAt answers the pitch of the
// call that starts at a given input frame.
Played Play(PitchProcessor& processor, const std::vector<std::int16_t>& input, int channels,
            int rate, const std::function<double(std::size_t)>& pitchAt) {
  Played played;
  const auto tenth = static_cast<std::size_t>(rate / 10);
  played.frames = player::test::FeedLikeTheEngine(
      processor, input, channels, pitchAt, rate, [&](const player::test::FeedCall& call) {
        if (call.offeredFrames >= tenth && call.writtenFrames == 0) ++played.silentCalls;
        played.consumed += call.takenFrames;
        // A flush plays at the tempo of the last call.
        played.inputFrames += static_cast<double>(call.writtenFrames) * (1 + call.pitch / 100);
        if (call.offeredFrames > 0 && played.consumed > static_cast<std::size_t>(rate)) {
          const double lag = static_cast<double>(played.consumed) - played.inputFrames;
          played.lagLow = std::min(played.lagLow, lag);
          played.lagHigh = std::max(played.lagHigh, lag);
        }
      });
  return played;
}

std::function<double(std::size_t)> Steady(double pitch) {
  return [pitch](std::size_t) { return pitch; };
}

// The output frame where the loudest sample of channel 0 lies within [from, to).
std::size_t PeakFrame(const std::vector<std::int16_t>& frames, int channels, std::size_t from,
                      std::size_t to) {
  std::size_t best = from;
  for (std::size_t f = from; f < to && f * channels < frames.size(); ++f) {
    if (std::abs(frames[f * channels]) > std::abs(frames[best * channels])) best = f;
  }
  return best;
}

constexpr int kRate = 44100;

}  // namespace

TEST(KeyLockPitch, TheToneKeepsItsKeyAtEveryTempoWithoutGrit) {
  const auto tone = vx::test::SineFrames(1000, kRate, 4 * kRate, 2);
  // Steady tempos, and a DJ nudging the deck: -1, 0, +1 % in turn every tenth of a second
  // (a click at a change would show as noise).
  constexpr double kBending = 100;
  for (const double pitch : {-12.0, -6.0, 6.0, 12.0, kBending}) {
    SCOPED_TRACE(pitch);
    KeyLockPitch processor(2, kRate);
    const auto bend = [](std::size_t at) { return static_cast<double>(at / 4410 % 3) - 1; };
    const Played played = Play(processor, tone, 2, kRate, pitch == kBending ? bend : Steady(pitch));
    // A steady second well after the start, both channels.
    const std::vector<std::int16_t> steady(played.frames.begin() + 2 * kRate,
                                           played.frames.begin() + 4 * kRate);
    for (const int channel : {0, 1}) {
      const vx::test::ToneFit fit = vx::test::FitTone(steady, 2, channel, kRate, 1000);
      EXPECT_NEAR(vx::test::Cents(fit.frequency, 1000), 0, 1.0);
      EXPECT_LT(fit.thdnDb, -30);
      if (channel == 0) {
        const std::string tempo =
            pitch == kBending ? "bending" : std::to_string(static_cast<int>(pitch)) + " %";
        RecordProperty("thdn " + tempo, std::to_string(fit.thdnDb));
        std::printf("key lock %s: %+.3f cents, THD+N %.1f dB\n", tempo.c_str(),
                    vx::test::Cents(fit.frequency, 1000), fit.thdnDb);
      }
    }
  }
}

TEST(KeyLockPitch, TheOutputStandsForExactlyTheInputTakenAtItsTempo) {
  // Mono at 48 kHz and stereo at 44.1 kHz; ten seconds at a steady tempo, then with the pitch
  // changed half-way and bent back and forth as a DJ nudges a deck.
  struct Format {
    int channels;
    int rate;
  };
  for (const Format format : {Format{1, 48000}, Format{2, kRate}}) {
    const auto tone = vx::test::SineFrames(440, format.rate, 10 * format.rate, format.channels);
    const std::size_t half = 5 * static_cast<std::size_t>(format.rate);
    const std::vector<std::function<double(std::size_t)>> schedules = {
        Steady(6), Steady(-12), Steady(0),
        [half](std::size_t at) { return at < half ? 8.0 : -4.0; },
        [](std::size_t at) { return (at / 4800) % 2 == 0 ? 3.0 : -2.5; }};
    for (std::size_t s = 0; s < schedules.size(); ++s) {
      SCOPED_TRACE(testing::Message()
                   << format.channels << " ch " << format.rate << " Hz, schedule " << s);
      KeyLockPitch processor(format.channels, format.rate);
      const Played played = Play(processor, tone, format.channels, format.rate, schedules[s]);
      EXPECT_EQ(played.consumed, tone.size() / format.channels);
      EXPECT_EQ(played.silentCalls, 0U);
      // In the whole run, flushed tail included, one output frame per 1 + p / 100 input frames.
      EXPECT_NEAR(played.inputFrames, static_cast<double>(played.consumed), 12);
      // While playing, the stretcher holds a bounded amount and never drifts away.
      EXPECT_LT(played.lagHigh - played.lagLow, 1500);
      EXPECT_LT(played.lagHigh, 0.2 * format.rate);
    }
  }
}

TEST(KeyLockPitch, ClicksLandInTimeFromTheFirstFrameAfterAResetToTheFlushedTail) {
  // A quiet signal with clicks at the first frame, every half second, and 1,000 frames
  // before the end (in the sound the stretcher still holds when the input ends).
  const std::size_t length = 3 * kRate;
  std::vector<std::size_t> at;
  for (std::size_t f = 0; f < length; f += kRate / 2) at.push_back(f);
  at.push_back(length - 1000);
  std::vector<std::int16_t> clicks(length * 2, 0);
  for (const std::size_t f : at) clicks[f * 2] = clicks[f * 2 + 1] = 30000;
  const auto tone = vx::test::SineFrames(1000, kRate, kRate, 2);
  for (const double pitch : {-12.0, 0.0, 6.0, 12.0}) {
    SCOPED_TRACE(pitch);
    KeyLockPitch processor(2, kRate);
    // Something else played first, then a cue jump.
    Play(processor, tone, 2, kRate, Steady(-5));
    processor.Reset();
    const Played played = Play(processor, clicks, 2, kRate, Steady(pitch));
    const double factor = 1 + pitch / 100;
    for (const std::size_t f : at) {
      const double expected = static_cast<double>(f) / factor;
      const auto from = static_cast<std::size_t>(std::max(0.0, expected - 400));
      const std::size_t peak = PeakFrame(played.frames, 2, from, from + 800);
      // Within a millisecond of where the tempo puts it (the stretcher lands within about
      // 25 frames), and loud.
      EXPECT_NEAR(static_cast<double>(peak), expected, 44) << "click at " << f;
      EXPECT_GT(std::abs(played.frames[peak * 2]), 10000) << "click at " << f;
    }
  }
}

TEST(KeyLockPitch, AfterTheFlushTheNextSongStartsAfresh) {
  KeyLockPitch processor(2, kRate);
  const auto tone = vx::test::SineFrames(1000, kRate, kRate / 2, 2);
  const Played first = Play(processor, tone, 2, kRate, Steady(10));
  EXPECT_NEAR(first.inputFrames, static_cast<double>(first.consumed), 12);
  // Flushing again gives nothing more.
  std::vector<std::uint8_t> out(17640);
  EXPECT_EQ(processor.Flush(out.data(), out.size()), 0U);
  // No Reset: the processor starts on its own, its count from zero again.
  const Played second = Play(processor, tone, 2, kRate, Steady(-10));
  EXPECT_NEAR(second.inputFrames, static_cast<double>(second.consumed), 12);
  EXPECT_EQ(second.silentCalls, 0U);
}

TEST(KeyLockPitch, SixteenBitPcmAtTheStretchersRatesPlaysKeyLockAnyOtherClassic) {
  for (const riff::WaveFormat& format :
       {riff::WaveFormat::Pcm16(2, 44100), riff::WaveFormat::Pcm16(1, 48000),
        riff::WaveFormat::Pcm16(2, 8000)}) {
    EXPECT_EQ(MakePitchProcessor(PitchQuality::kKeyLock, format)->Quality(),
              PitchQuality::kKeyLock);
  }
  riff::WaveFormat eightBit = riff::WaveFormat::Pcm16(1, 22050);
  eightBit.bitsPerSample = 8;
  eightBit.blockAlign = 1;
  for (const riff::WaveFormat& format :
       {eightBit, riff::WaveFormat::Pcm16(2, 4000), riff::WaveFormat::Pcm16(2, 384000)}) {
    EXPECT_EQ(MakePitchProcessor(PitchQuality::kKeyLock, format)->Quality(),
              PitchQuality::kClassic);
  }
}

}  // namespace vx::player
