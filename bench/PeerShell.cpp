#include "PeerShell.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vx::bench {
namespace {

// Runs the shell on a script; answers the wall time in ms, or -1.
double TimeShell(const std::string& script) {
  char path[] = "/tmp/vxbench-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return -1;
  close(fd);
  std::ofstream(path) << script;
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system((std::string("sqlite3 -batch < ") + path + " > /dev/null 2>&1").c_str());
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::remove(path);
  return status == 0 ? ms : -1;
}

}  // namespace

double ShellPerRunMs(const std::string& file, const std::string& sql, int repeats, bool reopen) {
  std::string work = ".open " + file + "\n";
  std::string baseline = ".open " + file + "\n";
  for (int i = 0; i < repeats; ++i) {
    if (reopen) work += ".open " + file + "\n";
    work += sql + ";\n";
    baseline += "SELECT 1;\n";
  }
  const double workMs = TimeShell(work);
  const double baselineMs = TimeShell(baseline);
  if (workMs < 0 || baselineMs < 0) return -1;
  return (workMs - baselineMs) / repeats;
}

}  // namespace vx::bench
