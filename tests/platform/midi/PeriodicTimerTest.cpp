#include "platform/midi/PeriodicTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <regex>
#include <vector>

#include "platform/midi/MidiOutDevices.h"
#include "support/TestFolder.h"

namespace vx::midi {
namespace {

using Clock = std::chrono::steady_clock;

// Collects the ticks a timer delivers and lets the test wait for a number of them.
class TickRecorder {
 public:
  void Record(std::uint64_t tick) {
    std::lock_guard lock(mutex_);
    ticks_.push_back(tick);
    times_.push_back(Clock::now());
    changed_.notify_all();
  }
  void WaitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ticks_.size() >= count; });
  }
  std::vector<std::uint64_t> Ticks() {
    std::lock_guard lock(mutex_);
    return ticks_;
  }
  std::vector<Clock::time_point> Times() {
    std::lock_guard lock(mutex_);
    return times_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::uint64_t> ticks_;
  std::vector<Clock::time_point> times_;
};

}  // namespace

TEST(MidiTimer, TicksNeverEarlyAndStopEndsThem) {
  PeriodicTimer timer;
  TickRecorder recorder;
  const auto started = Clock::now();
  // 500 ms of device time at speed 100: 5 ms of real time per tick.
  ASSERT_TRUE(timer.Start(500, [&](std::uint64_t tick) { recorder.Record(tick); }, 100.0));
  EXPECT_TRUE(timer.IsRunning());
  recorder.WaitFor(5);
  timer.Stop();
  EXPECT_FALSE(timer.IsRunning());

  const auto ticks = recorder.Ticks();
  const auto times = recorder.Times();
  ASSERT_GE(ticks.size(), 5u);
  EXPECT_GE(ticks.front(), 1u);
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    if (i > 0) {
      EXPECT_GT(ticks[i], ticks[i - 1]);
    }
    // Tick k comes no sooner than k periods after Start.
    EXPECT_GE(times[i] - started, std::chrono::microseconds(5000) * ticks[i]);
  }
  // Once Stop has returned no callback runs any more.
  const std::size_t seen = ticks.size();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(recorder.Ticks().size(), seen);
  timer.Stop();  // stopping twice is harmless
}

TEST(MidiTimer, BadArgumentsRestartAndStopFromTheCallback) {
  PeriodicTimer timer;
  EXPECT_FALSE(timer.Start(0, [](std::uint64_t) {}));
  EXPECT_FALSE(timer.Start(10, [](std::uint64_t) {}, 0.0));
  EXPECT_FALSE(timer.IsRunning());

  TickRecorder first;
  ASSERT_TRUE(timer.Start(1, [&](std::uint64_t tick) { first.Record(tick); }));
  first.WaitFor(2);
  TickRecorder second;
  ASSERT_TRUE(timer.Start(1, [&](std::uint64_t tick) { second.Record(tick); }));  // restart
  const std::size_t firstCount = first.Ticks().size();
  second.WaitFor(1);
  EXPECT_EQ(second.Ticks().front(), 1u);  // counting starts again
  EXPECT_EQ(first.Ticks().size(), firstCount);

  // A callback that stops its own timer ends the ticking after that tick.
  TickRecorder self;
  bool startedFromCallback = true;
  ASSERT_TRUE(timer.Start(1, [&](std::uint64_t tick) {
    startedFromCallback = timer.Start(1, [](std::uint64_t) {});
    timer.Stop();
    self.Record(tick);
  }));
  self.WaitFor(1);
  timer.Stop();  // joins the thread that stopped itself
  EXPECT_EQ(self.Ticks().size(), 1u);
  EXPECT_FALSE(startedFromCallback);
}

TEST(MidiTimer, MetronomeClicksOnTheVirtualOutputInDeviceTime) {
  const std::string log = test::TestFolder() + "/midi.log";
  const DeviceConfig config = DeviceConfig::Parse(("midi=" + log).c_str(), "50");
  const MidiOutDevices devices(config);
  std::unique_ptr<MidiOut> out;
  ASSERT_EQ(devices.Open(0, out), kOk);
  TickRecorder recorder;
  PeriodicTimer timer;
  ASSERT_TRUE(timer.Start(
      600,
      [&](std::uint64_t tick) {
        out->ShortMessage(0x00002589);
        out->ShortMessage(0x007F2599);
        recorder.Record(tick);
      },
      config.speed));
  recorder.WaitFor(3);
  timer.Stop();
  out->Close();

  std::ifstream in(log);
  const std::regex line(R"((\d+) ([0-9A-F]{8}))");
  const auto ticks = recorder.Ticks();
  for (std::uint64_t tick : ticks) {
    std::string off, on;
    ASSERT_TRUE(std::getline(in, off) && std::getline(in, on));
    std::smatch match;
    ASSERT_TRUE(std::regex_match(off, match, line)) << off;
    EXPECT_EQ(match[2], "00002589");
    EXPECT_GE(std::stol(match[1]), static_cast<long>(tick) * 600);  // device milliseconds
    ASSERT_TRUE(std::regex_match(on, match, line)) << on;
    EXPECT_EQ(match[2], "007F2599");
  }
  std::string extra;
  EXPECT_FALSE(std::getline(in, extra));
}

}  // namespace vx::midi
