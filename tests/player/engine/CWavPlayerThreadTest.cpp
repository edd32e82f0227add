// The playback engine on a virtual output, checked on the output's tape frame by frame.
#include "player/engine/CWavPlayerThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "EngineTestKit.h"
#include "library/SongStore.h"
#include "platform/riff/WaveFile.h"

namespace vx::player::test {
namespace {

constexpr std::uint32_t kRate = 44100;

class EngineTest : public testing::Test {
 protected:
  void StartEngine(EngineRig& rig) {
    ASSERT_EQ(rig.Engine().Start(0, 1, "/nonexistent"), 0);
    rig.Engine().RunThread();
  }
  long PlayedMs(EngineRig& rig) { return rig.Engine().GetPlayedMs(); }
};

TEST_F(EngineTest, PcmAtPitchZeroComesOutUnchangedThenRewindsPaused) {
  EngineRig rig;
  WriteSong(rig.SongsFolder(), 1, NumberedFrames(2 * kRate, 2), 2, kRate);
  StartEngine(rig);
  ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 1, "", "", {}));
  ASSERT_TRUE(rig.WaitForEnd());
  std::uint32_t end = 0;
  rig.Engine().GetReadPosition(end);
  EXPECT_EQ(end, 1u);
  // Back at the start, paused: nothing more is heard.
  ASSERT_TRUE(EngineRig::WaitFor([&] { return PlayedMs(rig) == 0; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(PlayedMs(rig), 0);
  ASSERT_TRUE(rig.Engine().Play());
  rig.Engine().GetReadPosition(end);
  EXPECT_EQ(end, 0u);  // Play clears the end flag
  ASSERT_TRUE(rig.WaitForEnd());  // and the song plays once more from its start
  rig.Close();

  const std::vector<std::uint32_t> frames = FrameNumbers(ReadSamples(rig.Tape()));
  ASSERT_EQ(frames.size(), 4 * kRate);
  // Each pass is the whole song, frame for frame, to its last frame.
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i], i % (2 * kRate)) << "at tape frame " << i;
  }
  EXPECT_EQ(rig.Engine().FailureCount(), 0);
}

TEST_F(EngineTest, ChunksAfterTheSampleDataAreNeverPlayed) {
  // A song whose data ends off a chunk boundary, followed by a LIST of texts.
  EngineRig rig;
  const std::uint32_t frames = kRate + 1234;
  const std::string path = WriteSong(rig.SongsFolder(), 1, NumberedFrames(frames, 2), 2, kRate);
  AppendInfoList(path);
  StartEngine(rig);
  // A cue on the song's last frame still lands there.
  ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 1, "", "", {(frames - 1) * 4}));
  ASSERT_TRUE(rig.WaitForEnd());
  ASSERT_TRUE(rig.Engine().JumpToCueAndPlay(0));
  ASSERT_TRUE(rig.WaitForEnd());
  rig.Close();
  const std::vector<std::uint32_t> tape = FrameNumbers(ReadSamples(rig.Tape()));
  ASSERT_EQ(tape.size(), frames + 1);
  for (std::uint32_t i = 0; i < frames; ++i) ASSERT_EQ(tape[i], i) << "at tape frame " << i;
  EXPECT_EQ(tape[frames], frames - 1);
  EXPECT_EQ(rig.Engine().FailureCount(), 0);
}

// Waits until the engine has read the whole song and some of what it queued has played
// since: the ring is draining, in the song's last second.
bool WaitUntilDraining(EngineRig& rig, std::uint32_t dataEnd, long heardMs) {
  return EngineRig::WaitFor([&] {
    std::uint32_t end = 0;
    return rig.Engine().GetReadPosition(end) == long(dataEnd) && end == 0 &&
           rig.Engine().GetPlayedMs() >= heardMs;
  });
}

TEST_F(EngineTest, ASeekOrJumpInTheLastSecondRefillsTheWholeRing) {
  EngineRig rig(1);  // real time: the last second lasts a second
  const std::uint32_t frames = 3 * kRate;
  const std::string path = WriteSong(rig.SongsFolder(), 1, NumberedFrames(frames, 2), 2, kRate);
  riff::WaveLayout layout;
  ASSERT_EQ(riff::ReadWaveLayout(path, layout), riff::WaveError::kNone);
  const auto dataEnd = static_cast<std::uint32_t>(layout.dataOffset + frames * 4);
  StartEngine(rig);
  CWavPlayerThread& engine = rig.Engine();
  ASSERT_TRUE(engine.Load(rig.SongsFolder(), 1, "", "", {kRate * 4}));

  // Paused seeks and jumps: the ten buffers are queued again and stay queued.
  ASSERT_TRUE(WaitUntilDraining(rig, dataEnd, 2300));
  ASSERT_TRUE(engine.SeekTo(500));
  EXPECT_TRUE(EngineRig::WaitFor([&] { return engine.BuffersQueued() == 10; },
                                 std::chrono::seconds(5)))
      << engine.BuffersQueued();
  ASSERT_TRUE(engine.Play());
  ASSERT_TRUE(WaitUntilDraining(rig, dataEnd, 2300));
  ASSERT_TRUE(engine.JumpToCue(0));
  EXPECT_TRUE(EngineRig::WaitFor([&] { return engine.BuffersQueued() == 10; },
                                 std::chrono::seconds(5)))
      << engine.BuffersQueued();
  EXPECT_EQ(engine.FailureCount(), 0);
}

// Frame numbers of a tape as steps between neighbours.
std::vector<int> Steps(const std::vector<std::uint32_t>& frames, std::size_t count) {
  std::vector<int> steps;
  for (std::size_t i = 1; i < std::min(count, frames.size()); ++i) {
    steps.push_back(static_cast<int>(frames[i]) - static_cast<int>(frames[i - 1]));
  }
  return steps;
}

// Checks that neighbouring frames on the tape step by 1 except for `special` steps (2: a
// dropped frame, 0: a repeated one), with 7 or 8 plain steps between two special ones.
void ExpectPitchPattern(double pitch, int special) {
  EngineRig rig(40);
  WriteSong(rig.SongsFolder(), 1, NumberedFrames(3 * kRate, 2), 2, kRate);
  ASSERT_EQ(rig.Engine().Start(0, 1, ""), 0);
  rig.Engine().RunThread();
  ASSERT_TRUE(rig.Engine().SetPitch(pitch));
  ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 1, "", "", {}));
  ASSERT_TRUE(rig.WaitForEnd());
  rig.Close();
  const std::vector<std::uint32_t> frames = FrameNumbers(ReadSamples(rig.Tape()));
  ASSERT_GT(frames.size(), 30000u);
  ASSERT_EQ(frames[0], 0u);
  const std::size_t span = 30000;  // well inside the first pass
  const std::vector<int> steps = Steps(frames, span);
  int sinceSpecial = 0;
  int specials = 0;
  for (const int step : steps) {
    if (step == 1) {
      ++sinceSpecial;
      continue;
    }
    ASSERT_EQ(step, special);
    if (specials > 0) {
      EXPECT_TRUE(sinceSpecial == 7 || sinceSpecial == 8) << sinceSpecial;
    }
    ++specials;
    sinceSpecial = 0;
  }
  const double factor = static_cast<double>(frames[span - 1] - frames[0]) / (span - 1);
  EXPECT_NEAR(factor, 1.0 + pitch / 100.0, 0.0005);
}

TEST_F(EngineTest, PitchDropsOrRepeatsWholeFramesAtTheExactRate) {
  // +12 %: one frame dropped after every 8 or 9 copied.
  ExpectPitchPattern(12.0, 2);
  // -12 %: one frame repeated after every 7 or 8 copied.
  ExpectPitchPattern(-12.0, 0);
}

// The last song frame a pitched pass plays: the song's own last frame, or the one before it
// when a higher pitch drops the last frame as the one after its final run.
std::uint32_t LastFrameOf(std::uint32_t songFrames, double pitch) {
  EngineRig rig(40);
  WriteSong(rig.SongsFolder(), 1, NumberedFrames(songFrames, 2), 2, kRate);
  EXPECT_EQ(rig.Engine().Start(0, 1, ""), 0);
  rig.Engine().RunThread();
  EXPECT_TRUE(rig.Engine().SetPitch(pitch));
  EXPECT_TRUE(rig.Engine().Load(rig.SongsFolder(), 1, "", "", {}));
  EXPECT_TRUE(rig.WaitForEnd());
  rig.Close();
  const std::vector<std::uint32_t> frames = FrameNumbers(ReadSamples(rig.Tape()));
  return frames.empty() ? 0 : frames.back();
}

TEST_F(EngineTest, OffPitchSongsPlayToTheirLastFrame) {
  // Lengths that end on a read chunk (17640 bytes) and just off it, so the resampler holds
  // back different parts of a run when the data runs out.
  for (const std::uint32_t frames : {kRate / 2, kRate / 2 + 3, kRate / 2 + 6, kRate / 2 - 4}) {
    for (const double pitch : {12.0, 7.3, -5.1, -12.0}) {
      SCOPED_TRACE(testing::Message() << frames << " frames at " << pitch << " %");
      const std::uint32_t last = LastFrameOf(frames, pitch);
      if (pitch > 0) {
        EXPECT_GE(last + 1, frames - 1);
      } else {
        EXPECT_EQ(last, frames - 1);
      }
    }
  }
}

TEST_F(EngineTest, APitchChangedWhilePlayingTakesOverFromTheNextBufferOn) {
  EngineRig rig(20);
  const std::uint32_t frames = 6 * kRate;
  WriteSong(rig.SongsFolder(), 1, NumberedFrames(frames, 2), 2, kRate);
  StartEngine(rig);
  CWavPlayerThread& engine = rig.Engine();
  ASSERT_TRUE(engine.Load(rig.SongsFolder(), 1, "", "", {}));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return PlayedMs(rig) >= 1000; }));
  const long changedAt = PlayedMs(rig);
  ASSERT_TRUE(engine.SetPitch(12.0));
  ASSERT_TRUE(rig.WaitForEnd());
  rig.Close();

  // One pass over the song in whole frames: plain until the change, then one frame dropped
  // after every 7 or 8, never a jump or a repeat where the pitch changed, to the last frame.
  const std::vector<std::uint32_t> tape = FrameNumbers(ReadSamples(rig.Tape()));
  ASSERT_GT(tape.size(), frames / 2);
  EXPECT_EQ(tape.front(), 0u);
  EXPECT_GE(tape.back() + 1, frames - 1);  // see LastFrameOf
  const std::vector<int> steps = Steps(tape, tape.size());
  const auto firstDrop = std::find(steps.begin(), steps.end(), 2);
  ASSERT_NE(firstDrop, steps.end());
  const std::uint32_t droppedAt = tape[firstDrop - steps.begin()];
  EXPECT_GE(droppedAt, static_cast<std::uint32_t>(changedAt * kRate / 1000));
  int sinceDrop = 0;
  for (auto step = firstDrop + 1; step != steps.end(); ++step) {
    ASSERT_TRUE(*step == 1 || *step == 2) << "at tape frame " << step - steps.begin();
    if (*step == 1) {
      ++sinceDrop;
      continue;
    }
    ASSERT_TRUE(sinceDrop == 7 || sinceDrop == 8) << "at tape frame " << step - steps.begin();
    sinceDrop = 0;
  }
  EXPECT_EQ(engine.Pitch(), 12.0);
  EXPECT_EQ(engine.FailureCount(), 0);
}

// Waits until the engine has stopped where it is: the heard time holds still.
bool WaitUntilStill(CWavPlayerThread& engine) {
  return EngineRig::WaitFor([&] {
    const long before = engine.GetPlayedMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return engine.GetPlayedMs() == before;
  });
}

TEST_F(EngineTest, TheHeardTimeAtAPitchIsTheSongsTimeNotTheDevicesTime) {
  EngineRig rig(20);
  WriteSong(rig.SongsFolder(), 1, NumberedFrames(8 * kRate, 2), 2, kRate);
  StartEngine(rig);
  CWavPlayerThread& engine = rig.Engine();
  ASSERT_TRUE(engine.SetPitch(-12.0));
  ASSERT_TRUE(engine.Load(rig.SongsFolder(), 1, "", "", {}));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return PlayedMs(rig) >= 1500; }));
  ASSERT_TRUE(engine.Pause());
  ASSERT_TRUE(WaitUntilStill(engine));
  const long firstHeard = PlayedMs(rig);
  // A seek starts the count again from the place sought to.
  ASSERT_TRUE(engine.SeekTo(3000));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return PlayedMs(rig) == 3000; }));
  ASSERT_TRUE(engine.Play());
  ASSERT_TRUE(EngineRig::WaitFor([&] { return PlayedMs(rig) >= 4500; }));
  ASSERT_TRUE(engine.Pause());
  ASSERT_TRUE(WaitUntilStill(engine));
  const long secondHeard = PlayedMs(rig);
  rig.Close();

  // The tape: the song from its start, then from 3 s. The heard time is the time of the song
  // heard last, counted 0.6 % short (the engine's margin for the card's clock).
  const std::vector<std::uint32_t> tape = FrameNumbers(ReadSamples(rig.Tape()));
  const std::vector<int> steps = Steps(tape, tape.size());
  const auto seek = std::max_element(steps.begin(), steps.end()) - steps.begin();
  ASSERT_EQ(tape[seek + 1], 3 * kRate);
  const auto songMs = [](std::uint32_t from, std::uint32_t last) {
    return 0.994 * (last + 1 - from) * 1000.0 / kRate;
  };
  EXPECT_NEAR(firstHeard, songMs(0, tape[seek]), 2.0);
  EXPECT_NEAR(secondHeard, 3000 + songMs(3 * kRate, tape.back()), 2.0);
  EXPECT_EQ(engine.FailureCount(), 0);
}

TEST_F(EngineTest, SetPitchIgnoresTinyValues) {
  EngineRig rig;
  auto& engine = rig.Engine();
  engine.SetPitch(0.05);
  EXPECT_EQ(engine.Pitch(), 0.0);
  engine.SetPitch(-0.1);
  EXPECT_EQ(engine.Pitch(), -0.1);
  engine.SetPitch(-0.09);
  EXPECT_EQ(engine.Pitch(), 0.0);
  engine.SetPitch(12.0);
  EXPECT_EQ(engine.Pitch(), 12.0);
}

// The frame each jump on the tape lands on, in order.
std::vector<std::uint32_t> JumpTargets(const std::vector<std::uint32_t>& frames) {
  std::vector<std::uint32_t> targets;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    if (frames[i] != frames[i - 1] + 1) targets.push_back(frames[i]);
  }
  return targets;
}

TEST_F(EngineTest, CueJumpsLandOnTheirFramesAndUnreadableCuesDropOut) {
  EngineRig rig;
  const std::uint32_t frames = 3 * kRate;
  WriteSong(rig.SongsFolder(), 1, NumberedFrames(frames, 2), 2, kRate);
  StartEngine(rig);
  const std::uint32_t dataSize = frames * 4;
  // beyond the data -> the data start; at the very end -> nothing readable, no entry;
  // inside frame 2000 -> frame 2000; frame 40000.
  const std::vector<std::uint32_t> cues = {dataSize + 400, dataSize, 2000 * 4 + 2, 40000 * 4};
  CWavPlayerThread& engine = rig.Engine();
  // Gives a command, waits until the engine took it, then lets `ms` of it be heard.
  auto issue = [&](const std::function<bool()>& command, long ms) {
    const int taken = engine.CommandsTaken();
    ASSERT_TRUE(command());
    ASSERT_TRUE(EngineRig::WaitFor([&] { return engine.CommandsTaken() > taken; }));
    const long start = PlayedMs(rig);
    ASSERT_TRUE(EngineRig::WaitFor([&] { return PlayedMs(rig) > start + ms; }));
  };
  issue([&] { return engine.Load(rig.SongsFolder(), 1, "", "", cues); }, 100);
  issue([&] { return engine.JumpToCueAndPlay(2); }, 300);  // the third entry: frame 40000
  issue([&] { return engine.JumpToCueAndPlay(1); }, 300);  // frame 2000
  issue([&] { return engine.JumpToCueAndPlay(0); }, 300);  // the data start
  issue([&] { return engine.SeekToAndPlay(1000000); }, 300);  // beyond the end: the start
  issue([&] { return engine.SeekToAndPlay(1000); }, 300);     // one second: frame 44100
  rig.Close();
  EXPECT_EQ(JumpTargets(FrameNumbers(ReadSamples(rig.Tape()))),
            (std::vector<std::uint32_t>{40000, 2000, 0, 0, 44100}));
  EXPECT_EQ(rig.Engine().FailureCount(), 0);
}

TEST_F(EngineTest, LevelsOfStereoAndMono) {
  for (const int channels : {2, 1}) {
    EngineRig rig;
    std::vector<std::int16_t> samples;
    for (std::uint32_t k = 0; k < kRate; ++k) {
      samples.push_back(1000);
      if (channels == 2) samples.push_back(-2000);
    }
    WriteSong(rig.SongsFolder(), 1, samples, channels, kRate);
    StartEngine(rig);
    ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 1, "", "", {}));
    std::uint32_t lp = 0, rp = 0, la = 0, ra = 0;
    ASSERT_TRUE(EngineRig::WaitFor([&] {
      rig.Engine().GetLevels(lp, rp, la, ra);
      return lp != 0;
    }));
    if (channels == 2) {
      EXPECT_EQ(lp, 1000u);
      EXPECT_EQ(rp, 2000u);
      EXPECT_EQ(la, 250u);  // sum of the channel / all samples x 0.5
      EXPECT_EQ(ra, 500u);
    } else {
      EXPECT_EQ(lp, 1000u);
      EXPECT_EQ(rp, 1000u);
      EXPECT_EQ(la, 1000u);
      EXPECT_EQ(ra, 1000u);
    }
  }
}

TEST_F(EngineTest, ASongWithoutSamplesEndsAtOnce) {
  EngineRig rig;
  WriteSong(rig.SongsFolder(), 3, {}, 2, kRate);
  StartEngine(rig);
  ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 3, "", "", {0}));
  ASSERT_TRUE(rig.WaitForEnd());
  // Played or moved again, it ends again; nothing is ever heard.
  ASSERT_TRUE(rig.Engine().Play());
  ASSERT_TRUE(rig.WaitForEnd());
  ASSERT_TRUE(rig.Engine().JumpToCueAndPlay(0));
  ASSERT_TRUE(rig.WaitForEnd());
  EXPECT_EQ(rig.Engine().GetPlayedMs(), 0);
  rig.Close();
  EXPECT_TRUE(ReadSamples(rig.Tape()).empty());
  EXPECT_EQ(rig.Engine().FailureCount(), 0);
}

TEST_F(EngineTest, OneCommandSlotAndFailuresEndOnlyTheStep) {
  EngineRig rig;
  WriteSong(rig.SongsFolder(), 2, NumberedFrames(kRate / 2, 2), 2, kRate);
  ASSERT_EQ(rig.Engine().Start(0, 1, ""), 0);
  // Both commands before the thread runs: the Pause replaces the Load.
  ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 2, "", "", {}));
  ASSERT_TRUE(rig.Engine().Pause());
  rig.Engine().RunThread();
  ASSERT_TRUE(EngineRig::WaitFor([&] { return rig.Engine().FailureCount() == 1; }));
  EXPECT_EQ(rig.Engine().LastFailure(), 10);  // pausing with nothing loaded
  std::uint32_t end = 0;
  EXPECT_EQ(rig.Engine().GetReadPosition(end), 0);

  // A missing song fails its load (code 1); the next load works.
  ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 99, "", "", {}));
  ASSERT_TRUE(EngineRig::WaitFor([&] { return rig.Engine().FailureCount() == 2; }));
  EXPECT_EQ(rig.Engine().LastFailure(), 1);
  ASSERT_TRUE(rig.Engine().Load(rig.SongsFolder(), 2, "", "", {}));
  ASSERT_TRUE(rig.WaitForEnd());
  EXPECT_EQ(rig.Engine().FailureCount(), 2);
}

}  // namespace
}  // namespace vx::player::test
