// What the live-player benchmarks share: a private folder and application to run in, running
// the event loop until something holds, and the latency line they print.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "BenchEnv.h"
#include "platform/wave/virtual/DeviceClock.h"
#include "support/TestFolder.h"

namespace vx::bench {

// Runs posted events and polls until condition holds; answers the monotonic time in ns when
// it was first seen to hold, or -1 after the limit.
inline std::int64_t PollUntil(const std::function<bool()>& condition,
                              std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const std::int64_t until = wave::DeviceClock::NowNs() +
                             std::chrono::duration_cast<std::chrono::nanoseconds>(limit).count();
  while (true) {
    if (condition()) return wave::DeviceClock::NowNs();
    if (wave::DeviceClock::NowNs() > until) return -1;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
}

// Keeps the event loop running for a while of real time.
inline void Spin(int ms) {
  const std::int64_t until = wave::DeviceClock::NowNs() + std::int64_t{ms} * 1000000;
  PollUntil([&] { return wave::DeviceClock::NowNs() >= until; },
            std::chrono::milliseconds(ms + 1000));
}

// Prints median and max of latencies in ms against the goal (negative entries are keys that
// never sounded).
inline void PrintLatency(const char* what, std::vector<double> ms, double goalMs) {
  const auto failed = std::count_if(ms.begin(), ms.end(), [](double v) { return v < 0; });
  ms.erase(std::remove_if(ms.begin(), ms.end(), [](double v) { return v < 0; }), ms.end());
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) {
    std::printf("%-32s no sound after any key (goal <= %.0f ms)\n", what, goalMs);
    return;
  }
  const std::size_t n = ms.size();
  const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
  std::printf("%-32s median %6.2f ms  max %6.2f ms  (n=%zu%s)  goal <= %.0f ms: %s\n", what,
              median, ms.back(), n, failed ? ", some keys never sounded" : "", goalMs,
              ms.back() <= goalMs && failed == 0 ? "met" : "MISSED");
}

// Runs measure with a QApplication in a temporary folder of its own for settings, runtime
// files, songs and tapes, which is removed afterwards; answers measure's exit code, 1 when it
// threw (the error printed after the program's name).
inline int RunInPrivateFolder(int argc, char** argv, const char* program,
                              const std::function<int()>& measure) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  test::ResetTestFolder();
  std::filesystem::permissions(test::TestFolder() + "/run", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  setenv("XDG_CONFIG_HOME", (test::TestFolder() + "/config").c_str(), 1);
  int result = 0;
  {
    QApplication application(argc, argv);
    try {
      result = measure();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s: %s\n", program, error.what());
      result = 1;
    }
  }
  test::RemoveTestFolder();
  return result;
}

}  // namespace vx::bench
