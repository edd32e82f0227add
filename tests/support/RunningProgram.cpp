#include "support/RunningProgram.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>

#include <signal.h>

#include <cstdlib>

#include "support/TestFolder.h"

namespace vx::test {

RunningProgram::RunningProgram(const std::string& program,
                               const std::vector<std::pair<std::string, std::string>>& environment) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // The settings file the test's QSettings use, and the test's runtime folder (already set).
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(TestFolder() + "/config"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("VELUMIX_DEBUG"), QStringLiteral("1"));
  for (const auto& [name, value] : environment) {
    env.insert(QString::fromStdString(name), QString::fromStdString(value));
  }
  process_.setProcessEnvironment(env);
  // The programs are beside the test program (the test main records where).
  const char* folder = std::getenv("VX_BIN_DIR");
  process_.start(QString::fromStdString(std::string(folder ? folder : ".") + "/" + program), {});
  process_.waitForStarted();
}

RunningProgram::~RunningProgram() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished();
  }
}

bool RunningProgram::WaitForLog(const QString& text, std::chrono::seconds limit) {
  QElapsedTimer timer;
  timer.start();
  while (!log_.contains(text)) {
    if (timer.elapsed() > std::chrono::milliseconds(limit).count()) return false;
    if (process_.state() == QProcess::NotRunning) return false;
    process_.waitForReadyRead(100);
    log_ += QString::fromLocal8Bit(process_.readAllStandardError());
  }
  return true;
}

void RunningProgram::Signal(int number) {
  if (process_.processId() > 0) ::kill(static_cast<pid_t>(process_.processId()), number);
}

bool RunningProgram::WaitForEnd(std::chrono::seconds limit) {
  const bool ended = process_.waitForFinished(static_cast<int>(
      std::chrono::milliseconds(limit).count()));
  log_ += QString::fromLocal8Bit(process_.readAllStandardError());
  return ended;
}

bool RunningProgram::EndedNormally() const { return process_.exitStatus() == QProcess::NormalExit; }

int RunningProgram::ExitCode() const { return process_.exitCode(); }

}  // namespace vx::test
