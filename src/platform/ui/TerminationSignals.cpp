#include "platform/ui/TerminationSignals.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cassert>

namespace vx {
namespace {

int wakeFds[2] = {-1, -1};
std::atomic<bool> received{false};

extern "C" void OnTerminationSignal(int number) {
  received.store(true);
  // From now on the default action applies: a second signal ends the program at once.
  signal(number == SIGINT ? SIGTERM : SIGINT, SIG_DFL);
  signal(number, SIG_DFL);
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(wakeFds[1], &byte, 1);
}

// Cancels the innermost modal window, a tick at a time so that each one's exec returns and
// its caller finishes before the next; runs `end` once none is left.
void CloseModalWindowsThenEnd(const std::function<void()>& end) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, end] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      popup->close();
      return;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
      } else {
        modal->close();
      }
      return;
    }
    timer->stop();
    timer->deleteLater();
    if (end) end();
  });
  timer->start();
}

}  // namespace

void TerminationSignals::Install(std::function<void()> end) {
  assert(wakeFds[0] < 0 && qApp != nullptr);
  if (pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [notifier, end = std::move(end)] {
    char bytes[16];
    while (read(wakeFds[0], bytes, sizeof bytes) > 0) {
    }
    notifier->setEnabled(false);
    CloseModalWindowsThenEnd(end);
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool TerminationSignals::Received() { return received.load(); }

}  // namespace vx
