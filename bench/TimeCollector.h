// A console reporter that also keeps each benchmark's mean real and CPU time per iteration,
// in milliseconds, for the comparisons with peers that the programs print after their runs.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vx::bench {

class TimeCollector : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double realMs = 0;
    double cpuMs = 0;
  };

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const double toMs = ToMs(run.time_unit);
      times_[run.benchmark_name()] = {run.GetAdjustedRealTime() * toMs,
                                      run.GetAdjustedCPUTime() * toMs};
    }
  }

  // The first benchmark whose full name starts with prefix ("BM_Decode" finds
  // "BM_Decode/real_time"); zeros when none ran.
  Times Find(const std::string& prefix) const {
    for (const auto& [name, times] : times_) {
      if (name.rfind(prefix, 0) == 0) return times;
    }
    return {};
  }
  double RealMs(const std::string& prefix) const { return Find(prefix).realMs; }

 private:
  static double ToMs(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond: return 1e-6;
      case benchmark::kMicrosecond: return 1e-3;
      case benchmark::kMillisecond: return 1;
      case benchmark::kSecond: return 1000;
    }
    return 1;
  }

  std::map<std::string, Times> times_;
};

}  // namespace vx::bench
