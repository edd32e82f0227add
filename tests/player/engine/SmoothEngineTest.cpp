// The engine playing through the smooth pitch processor, on a virtual output: the song's
// time, cue jumps, seeks, pitch changes and the end of the song come out as with the classic
// frame drop/repeat, only without its grit.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "EngineTestKit.h"
#include "player/engine/CWavPlayerThread.h"

namespace vx::player::test {
namespace {

constexpr std::uint32_t kRate = 44100;
// A song whose place can be read back from any resampled frame: the left channel is the sine,
// the right the cosine of one slow turn per kTurn frames, so a frame's angle tells where in
// the song it was taken, to a fraction of a frame. Songs here stay shorter than one turn.
constexpr double kTurn = 131072;
constexpr double kAmplitude = 30000;

std::vector<std::int16_t> TurnFrames(std::uint32_t frames) {
  std::vector<std::int16_t> samples;
  samples.reserve(2 * frames);
  for (std::uint32_t k = 0; k < frames; ++k) {
    const double angle = 2 * std::numbers::pi * k / kTurn;
    samples.push_back(static_cast<std::int16_t>(std::lrint(kAmplitude * std::sin(angle))));
    samples.push_back(static_cast<std::int16_t>(std::lrint(kAmplitude * std::cos(angle))));
  }
  return samples;
}

// The song frame each tape frame was taken at.
std::vector<double> Places(const std::vector<std::int16_t>& tape) {
  std::vector<double> places;
  for (std::size_t i = 0; i + 1 < tape.size(); i += 2) {
    double angle = std::atan2(tape[i], tape[i + 1]);
    if (angle < -0.25) angle += 2 * std::numbers::pi;  // a little before 0 is still 0
    places.push_back(angle / (2 * std::numbers::pi) * kTurn);
  }
  return places;
}

// Indexes of the tape frames where the place jumps instead of moving on at the speed. One
// frame's place is good to about a frame (the angle of 16-bit samples); jumps are far longer.
std::vector<std::size_t> Jumps(const std::vector<double>& places) {
  std::vector<std::size_t> jumps;
  for (std::size_t i = 1; i < places.size(); ++i) {
    const double step = places[i] - places[i - 1];
    if (step < -3 || step > 5) jumps.push_back(i);
  }
  return jumps;
}

// The place of tape frame `at` read from the line through the places of the `span` frames from
// it on (or up to it, when span is negative): good to a small fraction of a frame.
double PlaceAt(const std::vector<double>& places, std::size_t at, int span = 400) {
  const int n = std::abs(span);
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int k = 0; k < n; ++k) {
    const int x = span > 0 ? k : -k;
    const double y = places.at(static_cast<std::size_t>(static_cast<long>(at) + x));
    sx += x;
    sy += y;
    sxx += double{1} * x * x;
    sxy += x * y;
  }
  const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
  return (sy - slope * sx) / n;
}

struct Played {
  std::vector<double> places;
  PitchQuality quality = PitchQuality::kClassic;
  long heardMs = 0;
};

// A song of `frames` played through once at a steady pitch, in the given quality.
Played PlayThrough(PitchQuality quality, std::uint32_t frames, double pitch) {
  EngineRig rig(40);
  WriteSong(rig.SongsFolder(), 1, TurnFrames(frames), 2, kRate);
  EXPECT_EQ(rig.Engine().Start(0, 1, ""), 0);
  rig.Engine().RunThread();
  EXPECT_TRUE(rig.Engine().SetPitchQuality(quality));
  EXPECT_TRUE(rig.Engine().SetPitch(pitch));
  EXPECT_TRUE(rig.Engine().Load(rig.SongsFolder(), 1, "", "", {}));
  EXPECT_TRUE(rig.WaitForEnd());
  Played played;
  played.quality = rig.Engine().PlayingQuality();
  rig.Close();
  played.places = Places(ReadSamples(rig.Tape()));
  EXPECT_EQ(rig.Engine().FailureCount(), 0);
  return played;
}

TEST(SmoothEngine, ASongPlaysAtTheSpeedOfClassicToItsLastFrame) {
  // Lengths that end on a read chunk and off it.
  for (const std::uint32_t frames : {kRate, kRate + 1234}) {
    for (const double pitch : {12.0, -6.0, 0.0}) {
      SCOPED_TRACE(testing::Message() << frames << " frames at " << pitch << " %");
      const Played classic = PlayThrough(PitchQuality::kClassic, frames, pitch);
      const Played smooth = PlayThrough(PitchQuality::kSmooth, frames, pitch);
      EXPECT_EQ(classic.quality, PitchQuality::kClassic);
      EXPECT_EQ(smooth.quality, PitchQuality::kSmooth);
      ASSERT_FALSE(smooth.places.empty());
      // As long on the tape (a frame or two either way), from the first frame to the last,
      // every frame on from the one before by the speed.
      EXPECT_NEAR(static_cast<double>(smooth.places.size()),
                  static_cast<double>(classic.places.size()), 2);
      EXPECT_NEAR(PlaceAt(smooth.places, 0), 0, 0.3);
      EXPECT_NEAR(PlaceAt(smooth.places, smooth.places.size() - 1, -400), frames - 1,
                  1 + pitch / 100);
      EXPECT_TRUE(Jumps(smooth.places).empty());
      const double speed = (smooth.places[kRate / 2] - smooth.places[0]) / (kRate / 2);
      EXPECT_NEAR(speed, 1 + pitch / 100, 1e-4);
    }
  }
}

TEST(SmoothEngine, KeyLockPlaysTheWholeSongInClassicsTime) {
  // The stretcher holds a good part of a buffer when the data runs out: all of it is heard,
  // however full the last buffer already was (lengths ending early and late in a chunk).
  for (const std::uint32_t frames : {kRate, kRate + 1234, kRate + 4000}) {
    for (const double pitch : {12.0, -12.0}) {
      SCOPED_TRACE(testing::Message() << frames << " frames at " << pitch << " %");
      const Played classic = PlayThrough(PitchQuality::kClassic, frames, pitch);
      const Played keyLock = PlayThrough(PitchQuality::kKeyLock, frames, pitch);
      EXPECT_EQ(keyLock.quality, PitchQuality::kKeyLock);
      EXPECT_NEAR(static_cast<double>(keyLock.places.size()),
                  static_cast<double>(classic.places.size()), 16);
    }
  }
}

TEST(SmoothEngine, JumpsSeeksHeardTimeAndPitchChangesAsInClassic) {
  EngineRig rig(5);  // slow enough for the pitch change to land before the song's end
  const std::uint32_t frames = 2 * kRate + kRate / 2;
  WriteSong(rig.SongsFolder(), 1, TurnFrames(frames), 2, kRate);
  ASSERT_EQ(rig.Engine().Start(0, 1, ""), 0);
  rig.Engine().RunThread();
  CWavPlayerThread& engine = rig.Engine();
  ASSERT_TRUE(engine.SetPitch(-12.0));
  ASSERT_TRUE(engine.Load(rig.SongsFolder(), 1, "", "", {40000 * 4}));
  ASSERT_EQ(engine.PlayingQuality(), PitchQuality::kClassic);
  // The kind chosen while a song plays takes over at the next jump.
  ASSERT_TRUE(engine.SetPitchQuality(PitchQuality::kSmooth));
  EXPECT_EQ(engine.PlayingQuality(), PitchQuality::kClassic);
  ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.GetPlayedMs() >= 300; }));
  const int taken = engine.CommandsTaken();
  ASSERT_TRUE(engine.JumpToCueAndPlay(0));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.CommandsTaken() > taken; }));
  EXPECT_EQ(engine.PlayingQuality(), PitchQuality::kSmooth);
  ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.GetPlayedMs() >= 1200; }));
  ASSERT_TRUE(engine.SeekTo(1000));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.GetPlayedMs() == 1000; }));
  ASSERT_TRUE(engine.Play());
  // The ring holds a second of the song: the change is heard from two seconds on.
  ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.GetPlayedMs() >= 1050; }));
  ASSERT_TRUE(engine.SetPitch(12.0));  // passes through 0 on the way, as a bend would
  ASSERT_TRUE(rig.WaitForEnd());
  EXPECT_EQ(engine.FailureCount(), 0);
  rig.Close();

  const std::vector<double> places = Places(ReadSamples(rig.Tape()));
  const std::vector<std::size_t> jumps = Jumps(places);
  ASSERT_EQ(jumps.size(), 2u);
  // Each jump starts at its own frame: the cue's, then one second's.
  EXPECT_NEAR(PlaceAt(places, jumps[0]), 40000, 0.3);
  EXPECT_NEAR(PlaceAt(places, jumps[1]), kRate, 0.3);
  // -12 % after the seek, +12 % from the change on, and the song to its last frame.
  EXPECT_NEAR(PlaceAt(places, jumps[1] + 1000) - PlaceAt(places, jumps[1]), 880, 0.3);
  const std::size_t last = places.size() - 1;
  EXPECT_NEAR(PlaceAt(places, last, -400) - PlaceAt(places, last - 1000, -400), 1120, 0.3);
  EXPECT_NEAR(PlaceAt(places, last, -400), frames - 1, 1.2);
}

TEST(SmoothEngine, TheHeardTimeIsTheSongsTime) {
  EngineRig rig(20);
  WriteSong(rig.SongsFolder(), 1, TurnFrames(2 * kRate + kRate / 2), 2, kRate);
  ASSERT_EQ(rig.Engine().Start(0, 1, ""), 0);
  rig.Engine().RunThread();
  CWavPlayerThread& engine = rig.Engine();
  ASSERT_TRUE(engine.SetPitchQuality(PitchQuality::kSmooth));
  ASSERT_TRUE(engine.SetPitch(-12.0));
  ASSERT_TRUE(engine.Load(rig.SongsFolder(), 1, "", "", {}));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.GetPlayedMs() >= 1500; }));
  ASSERT_TRUE(engine.Pause());
  long heard = -1;
  ASSERT_TRUE(EngineRig::WaitFor([&] {
    const long before = engine.GetPlayedMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    heard = engine.GetPlayedMs();
    return heard == before;
  }));
  rig.Close();
  // Counted 0.6 % short, as the engine always counts (its margin for the card's clock).
  const std::vector<double> places = Places(ReadSamples(rig.Tape()));
  ASSERT_FALSE(places.empty());
  EXPECT_NEAR(heard, 0.994 * (PlaceAt(places, places.size() - 1, -400) + 1) * 1000.0 / kRate,
              2.0);
}

}  // namespace
}  // namespace vx::player::test
