// Times SQL in the sqlite3 command-line shell, the peer the library benchmarks are compared
// with. The statement runs `repeats` times in one shell process with its output discarded;
// the same shell running "SELECT 1" as often is timed too and subtracted, so neither process
// start-up nor the shell's own per-statement overhead beyond the work is counted.
#pragma once

#include <string>

namespace vx::bench {

// Milliseconds per run of sql on file; with reopen, the file is opened afresh before each run.
// Negative when the shell could not be run.
double ShellPerRunMs(const std::string& file, const std::string& sql, int repeats,
                     bool reopen = false);

}  // namespace vx::bench
