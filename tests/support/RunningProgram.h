// One of our programs running in a child process for a test, with the test's settings and
// runtime folder and VELUMIX_DEBUG=1, so that its debug log (standard error) tells when it
// is ready. Killed at the end of the test if it is still running.
#pragma once

#include <QProcess>
#include <QString>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace vx::test {

class RunningProgram {
 public:
  // Starts `program` (a file in the build's bin folder) with extra environment variables.
  RunningProgram(const std::string& program,
                 const std::vector<std::pair<std::string, std::string>>& environment);
  ~RunningProgram();

  // Waits until standard error holds `text`; false after `limit` or when the program ended.
  bool WaitForLog(const QString& text, std::chrono::seconds limit = std::chrono::seconds(60));
  // Sends a signal (SIGTERM, SIGINT).
  void Signal(int number);
  // Waits for the end; false after `limit`.
  bool WaitForEnd(std::chrono::seconds limit = std::chrono::seconds(60));
  // How it ended: normally with an exit code, or by a signal.
  bool EndedNormally() const;
  int ExitCode() const;
  QString Log() const { return log_; }

 private:
  QProcess process_;
  QString log_;
};

}  // namespace vx::test
