// The conversion worker: converts one WAVE file at a time through a codec on its own thread,
// at below-normal priority, on command from the user-interface thread, and stays alive
// between files.
//
// Commands move through the states idle -> open -> convert ... -> finish -> idle, and quit
// ends the thread. The worker never holds the lock while it reads, converts or writes, so
// StartConversion, GetStatus and Stop answer at once whatever the disk does. A failure ends
// the conversion in hand only: its message goes to the owner's sink, the status reports
// done and failed, and the thread is idle again for the next request.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "compression/AcmConversion.h"

namespace vx {

// A failure the worker reports to the user.
struct AcmThreadMessage {
  enum class Kind { NoMemory, Code, Unexpected };
  Kind kind = Kind::Unexpected;
  int code = 0;  // Kind::Code only
};

struct AcmStatus {
  int percent = 0;      // of the conversion in hand, 0..100
  bool done = false;    // the last accepted conversion has ended
  bool failed = false;  // ... with a failure; its destination is incomplete
};

class CAcmThread {
 public:
  enum class Command { Idle = 0, Open = 1, Convert = 2, Finish = 3, Quit = 7 };

  // Called on the worker thread with the thread's lock held: it may only hand the message
  // on (post it to the user-interface thread), never show it or call into the thread.
  using MessageSink = std::function<void(const AcmThreadMessage&)>;

  // The code Run throws when the thread cannot be made.
  static constexpr int kCannotCreate = 1;

  explicit CAcmThread(MessageSink sink);
  // Stops the worker. If it is still busy (a step that hangs on the disk), it is let go: it
  // keeps what it uses, frees it when it ends, and reports to no one.
  ~CAcmThread();
  CAcmThread(const CAcmThread&) = delete;
  CAcmThread& operator=(const CAcmThread&) = delete;

  // Starts the worker thread, which lowers itself below normal priority. Throws kCannotCreate.
  void Run();

  // Accepted (true) only while idle: clears the done flag and starts opening the files.
  bool StartConversion(const ConversionRequest& request);
  AcmStatus GetStatus() const;
  // Asks the worker to close what it holds and end; answers at once.
  void Stop();
  // Waits for the worker to end; true when it has (or was never started).
  bool WaitForEnd(std::chrono::milliseconds timeout);
  // Waits for the done event: signalled when a conversion ends (finished, failed or
  // abandoned by Stop), reset by StartConversion.
  bool WaitForDone(std::chrono::milliseconds timeout);

  // Workers of this process whose thread has not ended yet (also those let go).
  static int RunningWorkers();

 private:
  struct Shared;
  static void Work(const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace vx
