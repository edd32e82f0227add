// Finds a song's tempo on a worker thread, so the window that asked stays responsive.
// progress and done are called on the worker thread; the owner hands them on to its own
// thread. Destroying the analysis stops the work and waits for the thread; after that no
// callback runs.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace vx {

class TempoAnalysis {
 public:
  using Progress = std::function<void(int percent)>;
  using Done = std::function<void(std::optional<double> tempo)>;

  TempoAnalysis(std::string path, Progress progress, Done done);
  ~TempoAnalysis();
  TempoAnalysis(const TempoAnalysis&) = delete;
  TempoAnalysis& operator=(const TempoAnalysis&) = delete;

 private:
  void Run(const std::string& path, const Progress& progress, const Done& done);

  std::atomic<bool> stop_{false};
  std::thread worker_;
};

}  // namespace vx
