#include "curation/tempo/TempoAnalysis.h"

#include "curation/tempo/TempoTracker.h"
#include "platform/process/ThreadPriority.h"

namespace vx {

TempoAnalysis::TempoAnalysis(std::string path, Progress progress, Done done)
    : worker_([this, path = std::move(path), progress = std::move(progress),
               done = std::move(done)] { Run(path, progress, done); }) {}

TempoAnalysis::~TempoAnalysis() {
  stop_ = true;
  worker_.join();
}

void TempoAnalysis::Run(const std::string& path, const Progress& progress, const Done& done) {
  // Below the player and the metronome: the analysis may take its time.
  LowerCallingThreadBelowNormal();
  int shown = -1;
  const std::optional<double> tempo = TempoOfFile(path, [&](double share) {
    const int percent = static_cast<int>(share * 100);
    if (percent != shown) {
      shown = percent;
      progress(percent);
    }
    return !stop_;
  });
  if (!stop_) done(tempo);
}

}  // namespace vx
