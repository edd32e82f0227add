#include "compression/CAcmThread.h"

#include <atomic>
#include <cassert>
#include <new>
#include <system_error>

#include "platform/process/ThreadPriority.h"

namespace vx {
namespace {

std::atomic<int> g_runningWorkers{0};

}  // namespace

// What the worker and its owner share. The worker holds its own reference, so a worker that
// outlives its owner never touches freed memory.
struct CAcmThread::Shared {
  mutable std::mutex mutex;
  std::condition_variable wake;     // the state left idle, or quit
  std::condition_variable changed;  // done or ended
  Command state = Command::Idle;
  ConversionRequest request;
  int percent = 0;
  bool done = false;
  bool failed = false;
  bool doneEvent = false;
  bool ended = false;
  MessageSink sink;
};

CAcmThread::CAcmThread(MessageSink sink) : shared_(std::make_shared<Shared>()) {
  shared_->sink = std::move(sink);
}

CAcmThread::~CAcmThread() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->sink = nullptr;
  }
  Stop();
  if (!thread_.joinable()) return;
  if (WaitForEnd(std::chrono::milliseconds(0))) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

void CAcmThread::Run() {
  assert(!thread_.joinable());
  try {
    ++g_runningWorkers;
    thread_ = std::thread([shared = shared_]() mutable {
      Work(shared);
      shared.reset();  // a worker let go frees the shared state itself
      --g_runningWorkers;
    });
  } catch (const std::system_error&) {
    --g_runningWorkers;
    throw kCannotCreate;
  }
}

bool CAcmThread::StartConversion(const ConversionRequest& request) {
  std::lock_guard lock(shared_->mutex);
  if (shared_->state != Command::Idle || shared_->ended) return false;
  shared_->done = false;
  shared_->failed = false;
  shared_->doneEvent = false;
  shared_->percent = 0;
  shared_->request = request;
  shared_->state = Command::Open;
  shared_->wake.notify_one();
  return true;
}

AcmStatus CAcmThread::GetStatus() const {
  std::lock_guard lock(shared_->mutex);
  return {shared_->percent, shared_->done, shared_->failed};
}

void CAcmThread::Stop() {
  std::lock_guard lock(shared_->mutex);
  shared_->state = Command::Quit;
  shared_->wake.notify_one();
}

bool CAcmThread::WaitForEnd(std::chrono::milliseconds timeout) {
  if (!thread_.joinable()) return true;
  std::unique_lock lock(shared_->mutex);
  return shared_->changed.wait_for(lock, timeout, [&] { return shared_->ended; });
}

bool CAcmThread::WaitForDone(std::chrono::milliseconds timeout) {
  std::unique_lock lock(shared_->mutex);
  return shared_->changed.wait_for(lock, timeout, [&] { return shared_->doneEvent; });
}

int CAcmThread::RunningWorkers() { return g_runningWorkers.load(); }

// The worker's loop. Each command's work runs with the lock released; afterwards, under the
// lock, the state moves on unless Stop changed it meanwhile.
void CAcmThread::Work(const std::shared_ptr<Shared>& shared) {
  LowerCallingThreadBelowNormal();
  AcmConversion conversion;
  ConversionRequest request;
  std::unique_lock lock(shared->mutex);
  for (;;) {
    shared->wake.wait(lock, [&] { return shared->state != Command::Idle; });
    const Command command = shared->state;
    if (command == Command::Quit) break;
    if (command == Command::Open) request = shared->request;
    lock.unlock();

    bool more = false;
    std::optional<AcmThreadMessage> failure;
    try {
      switch (command) {
        case Command::Open: conversion.Open(request); break;
        case Command::Convert: more = conversion.Step(); break;
        case Command::Finish:
          conversion.Finish(request);
          conversion.Close();
          break;
        case Command::Idle:
        case Command::Quit: assert(false); break;
      }
    } catch (const std::bad_alloc&) {
      failure = AcmThreadMessage{AcmThreadMessage::Kind::NoMemory, 0};
    } catch (int code) {
      failure = AcmThreadMessage{AcmThreadMessage::Kind::Code, code};
    } catch (...) {
      failure = AcmThreadMessage{AcmThreadMessage::Kind::Unexpected, 0};
    }
    if (failure) conversion.Close();
    const int percent = conversion.IsOpen() ? conversion.ProgressPercent() : 100;

    lock.lock();
    // A conversion abandoned by Stop ends quietly: the owner is closing.
    if (shared->state == Command::Quit) continue;
    if (failure && shared->sink) shared->sink(*failure);
    assert(shared->state == command);
    shared->percent = failure ? shared->percent : percent;
    if (failure || command == Command::Finish) {
      shared->done = true;
      shared->failed = failure.has_value();
      shared->doneEvent = true;
      shared->state = Command::Idle;
      shared->changed.notify_all();
    } else if (command == Command::Open) {
      shared->state = Command::Convert;
    } else {
      shared->state = more ? Command::Convert : Command::Finish;
    }
  }
  lock.unlock();
  conversion.Close();
  lock.lock();
  // Whatever was in hand has been let go: the done event is signalled at every close.
  shared->doneEvent = true;
  shared->ended = true;
  shared->changed.notify_all();
}

}  // namespace vx
