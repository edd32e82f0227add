// Helpers of the wave device tests: a completion log that tests wait on, sample patterns,
// buffers, reading a tape back, and setting an environment variable for one test.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/riff/WaveFile.h"
#include "platform/wave/WaveTypes.h"

namespace vx::wave::test {

// Collects the buffers a device returns. Waits are bounded only to turn a hung device into
// a failure; they assert nothing about timing.
class DoneLog {
 public:
  WaveCallback Callback() {
    return [this](WaveMessage message, WaveHeader* header) {
      std::lock_guard lock(mutex_);
      if (message == WaveMessage::kDone) done_.push_back(header);
      if (message == WaveMessage::kOpened) ++opened_;
      if (message == WaveMessage::kClosed) ++closed_;
      changed_.notify_all();
    };
  }
  bool WaitForDone(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60),
                             [&] { return done_.size() >= count; });
  }
  std::vector<WaveHeader*> Done() const {
    std::lock_guard lock(mutex_);
    return done_;
  }
  int Opened() const {
    std::lock_guard lock(mutex_);
    return opened_;
  }
  int Closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<WaveHeader*> done_;
  int opened_ = 0;
  int closed_ = 0;
};

// Polls until the condition holds; false after 60 s.
template <typename Condition>
bool Eventually(Condition condition) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// A buffer with its own data.
struct TestBuffer {
  explicit TestBuffer(std::vector<std::uint8_t> bytes) : data(std::move(bytes)) {
    header.data = data.data();
    header.bufferLength = static_cast<std::uint32_t>(data.size());
  }
  std::vector<std::uint8_t> data;
  WaveHeader header;
};

// `frames` 16-bit stereo frames counting up from `first` (left = n, right = ~n), so any
// lost, repeated or reordered frame shows.
inline std::vector<std::uint8_t> CountingFrames(std::uint32_t first, std::uint32_t frames) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t n = first; n < first + frames; ++n) {
    const auto left = static_cast<std::uint16_t>(n);
    const auto right = static_cast<std::uint16_t>(~n);
    for (std::uint16_t value : {left, right}) {
      bytes.push_back(static_cast<std::uint8_t>(value));
      bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
  }
  return bytes;
}

// The format and sample bytes of a WAVE file; nothing when it is not a valid WAVE file or
// its stated data size disagrees with the file.
struct TapeContents {
  riff::WaveFormat format;
  std::vector<std::uint8_t> samples;
};
std::optional<TapeContents> ReadTape(const std::string& path);

// Writes a WAVE file.
void WriteWaveFile(const std::string& path, const riff::WaveFormat& format,
                   const std::vector<std::uint8_t>& samples);

// Sets (or, with nullptr, unsets) an environment variable until the end of the scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace vx::wave::test
