#include "platform/mci/PcmPlayer.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/mci/MciErrors.h"
#include "platform/sync/TimedRecursiveMutex.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::mci {

// The worker thread's state. The thread holds a reference of its own, so a worker that is
// stuck in a device call when its player goes away still finds its state when it returns.
class PcmPlayer::Worker {
 public:
  enum class Kind { kNone, kPlay, kPause, kResume, kStop, kReset };
  struct Request {
    Kind kind = Kind::kNone;
    std::shared_ptr<PcmSource> source;
    std::uint64_t from = 0, to = 0;
  };

  explicit Worker(std::chrono::milliseconds timeout) : timeout_(timeout) {}

  // Hands a request to the worker and waits, within the timeout, for it to be carried out.
  unsigned Submit(Request request);
  // Asks the worker to stop playing and end; answers whether it ended within the timeout.
  bool Quit();
  void Run();

  void SetOutput(std::size_t output);
  State CurrentState();
  unsigned Position(std::uint64_t& frame);

 private:
  // What became of one request: written by the worker, read by the submitter.
  struct Outcome {
    bool done = false;
    unsigned result = kMciOk;
  };
  struct Buffer {
    std::vector<std::uint8_t> bytes;
    wave::WaveHeader header;
  };

  unsigned Execute(const Request& request);
  unsigned StartPlaying(const Request& request);
  unsigned StopPlaying();
  void Refill();
  // Closes the output, keeping `stoppedAt` as the position. Worker thread only.
  void CloseOutput(std::uint64_t stoppedAt);
  std::uint64_t PlayedLocked();

  const std::chrono::milliseconds timeout_;

  // Guards the request slot, the returned-buffer count, the quit flag and the state below.
  std::mutex mutex_;
  std::condition_variable wake_;  // a request, a returned buffer or quit
  std::condition_variable done_;  // a request carried out, the slot free, the worker ended
  Request request_;
  std::shared_ptr<Outcome> outcome_;
  unsigned returned_ = 0;
  bool quit_ = false;
  bool ended_ = false;
  State state_ = State::kStopped;
  std::uint64_t stoppedAt_ = 0;
  std::size_t outputId_ = 0;

  // Guards the output and the playing range; taken by the worker around device calls and
  // by Position (within the timeout). Never taken while mutex_ is held.
  TimedRecursiveMutex deviceMutex_;
  wave::WaveOut* output_ = nullptr;
  std::uint64_t start_ = 0;  // frame at which the output was opened
  std::uint64_t next_ = 0;   // next frame to queue
  std::uint64_t end_ = 0;
  std::shared_ptr<PcmSource> source_;
  std::array<Buffer, 4> buffers_;
  bool sourceDone_ = false;
};

PcmPlayer::PcmPlayer(std::chrono::milliseconds commandTimeout)
    : worker_(std::make_shared<Worker>(commandTimeout)),
      thread_([worker = worker_] { worker->Run(); }) {}

PcmPlayer::~PcmPlayer() {
  if (worker_->Quit()) {
    thread_.join();
  } else {
    thread_.detach();  // stalled in a device call; it ends by itself once that returns
  }
}

unsigned PcmPlayer::Play(std::shared_ptr<PcmSource> source, std::uint64_t from,
                         std::uint64_t to) {
  return worker_->Submit({Worker::Kind::kPlay, std::move(source), from, to});
}
unsigned PcmPlayer::Pause() { return worker_->Submit({Worker::Kind::kPause, nullptr, 0, 0}); }
unsigned PcmPlayer::Resume() { return worker_->Submit({Worker::Kind::kResume, nullptr, 0, 0}); }
unsigned PcmPlayer::Stop() { return worker_->Submit({Worker::Kind::kStop, nullptr, 0, 0}); }
unsigned PcmPlayer::Reset(std::uint64_t position) {
  return worker_->Submit({Worker::Kind::kReset, nullptr, position, 0});
}

void PcmPlayer::SetOutput(std::size_t output) { worker_->SetOutput(output); }

PcmPlayer::State PcmPlayer::CurrentState() { return worker_->CurrentState(); }

unsigned PcmPlayer::Position(std::uint64_t& frame) { return worker_->Position(frame); }

void PcmPlayer::Worker::SetOutput(std::size_t output) {
  std::lock_guard lock(mutex_);
  outputId_ = output;
}

PcmPlayer::State PcmPlayer::Worker::CurrentState() {
  std::lock_guard lock(mutex_);
  return state_;
}

unsigned PcmPlayer::Worker::Position(std::uint64_t& frame) {
  std::unique_lock device(deviceMutex_, std::defer_lock);
  if (!device.try_lock_for(timeout_)) return kDeviceTimeout;
  if (output_ != nullptr) {
    frame = PlayedLocked();
    return kMciOk;
  }
  std::lock_guard lock(mutex_);
  frame = stoppedAt_;
  return kMciOk;
}

std::uint64_t PcmPlayer::Worker::PlayedLocked() {
  std::uint64_t frames = 0;
  if (output_ == nullptr || output_->Position(frames) != wave::kOk) frames = 0;
  return std::min(start_ + frames, end_);
}

unsigned PcmPlayer::Worker::Submit(Request request) {
  const auto deadline = std::chrono::steady_clock::now() + timeout_;
  std::unique_lock lock(mutex_);
  if (!done_.wait_until(lock, deadline, [&] { return request_.kind == Kind::kNone; })) {
    return kDeviceTimeout;  // an earlier request is still being carried out
  }
  const auto outcome = std::make_shared<Outcome>();
  request_ = std::move(request);
  outcome_ = outcome;
  wake_.notify_all();
  if (!done_.wait_until(lock, deadline, [&] { return outcome->done; })) return kDeviceTimeout;
  return outcome->result;
}

bool PcmPlayer::Worker::Quit() {
  std::unique_lock lock(mutex_);
  quit_ = true;
  wake_.notify_all();
  return done_.wait_for(lock, timeout_, [&] { return ended_; });
}

void PcmPlayer::Worker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return request_.kind != Kind::kNone || returned_ > 0 || quit_; });
    if (request_.kind != Kind::kNone) {
      const Request request = std::move(request_);
      const std::shared_ptr<Outcome> outcome = std::move(outcome_);
      lock.unlock();
      const unsigned result = Execute(request);
      lock.lock();
      request_ = {};
      outcome->result = result;
      outcome->done = true;
      done_.notify_all();
      continue;
    }
    if (quit_) break;
    returned_ = 0;
    lock.unlock();
    Refill();
    lock.lock();
  }
  lock.unlock();
  StopPlaying();
  lock.lock();
  ended_ = true;
  done_.notify_all();
}

unsigned PcmPlayer::Worker::Execute(const Request& request) {
  switch (request.kind) {
    case Kind::kPlay:
      return StartPlaying(request);
    case Kind::kPause:
    case Kind::kResume: {
      std::lock_guard device(deviceMutex_);
      if (output_ == nullptr) return kMciOk;
      const bool pause = request.kind == Kind::kPause;
      if (pause) {
        output_->Pause();
      } else {
        output_->Restart();
      }
      std::lock_guard lock(mutex_);
      state_ = pause ? State::kPaused : State::kPlaying;
      return kMciOk;
    }
    case Kind::kStop:
      return StopPlaying();
    case Kind::kReset: {
      StopPlaying();
      std::lock_guard device(deviceMutex_);
      source_.reset();
      std::lock_guard lock(mutex_);
      stoppedAt_ = request.from;
      return kMciOk;
    }
    case Kind::kNone:
      break;
  }
  return kMciOk;
}

unsigned PcmPlayer::Worker::StopPlaying() {
  std::uint64_t at;
  {
    std::lock_guard device(deviceMutex_);
    if (output_ == nullptr) return kMciOk;
    output_->Pause();  // hold the count still, so the position is what was heard
    at = PlayedLocked();
  }
  CloseOutput(at);
  return kMciOk;
}

unsigned PcmPlayer::Worker::StartPlaying(const Request& request) {
  StopPlaying();
  if (!request.source) return kDeviceNotReady;
  if (!request.source->Seek(request.from)) return kBadPosition;
  const riff::WaveFormat& format = request.source->Format();
  wave::WaveOut* output = nullptr;
  std::size_t outputId = 0;
  {
    std::lock_guard lock(mutex_);
    outputId = outputId_;
  }
  const unsigned opened = wave::WaveDeviceList::System().OpenOutput(
      outputId, format,
      [this](wave::WaveMessage message, wave::WaveHeader*) {
        if (message != wave::WaveMessage::kDone) return;
        {
          std::lock_guard lock(mutex_);
          ++returned_;
        }
        wake_.notify_all();
      },
      output);
  if (opened != wave::kOk) return kOutputFailed;

  const std::size_t bufferFrames = std::max<std::size_t>(format.samplesPerSec / 20, 1);
  {
    std::lock_guard device(deviceMutex_);
    output_ = output;
    source_ = request.source;
    start_ = next_ = request.from;
    end_ = std::max(request.from, request.to);
    sourceDone_ = false;
    for (Buffer& buffer : buffers_) {
      buffer.bytes.assign(bufferFrames * format.blockAlign, 0);
      buffer.header.data = buffer.bytes.data();
      buffer.header.bufferLength = static_cast<std::uint32_t>(buffer.bytes.size());
      buffer.header.flags = 0;
      output_->Prepare(buffer.header);
    }
  }
  {
    std::lock_guard lock(mutex_);
    state_ = State::kPlaying;
  }
  Refill();
  return kMciOk;
}

void PcmPlayer::Worker::Refill() {
  std::uint64_t finishedAt = 0;
  {
    std::lock_guard device(deviceMutex_);
    if (output_ == nullptr) return;
    bool anyQueued = false;
    for (Buffer& buffer : buffers_) {
      if ((buffer.header.flags & wave::kHeaderInQueue) != 0) {
        anyQueued = true;
        continue;
      }
      if (sourceDone_ || next_ >= end_) continue;
      const std::size_t frameBytes = source_->Format().blockAlign;
      const std::size_t want = static_cast<std::size_t>(
          std::min<std::uint64_t>(buffer.bytes.size() / frameBytes, end_ - next_));
      const std::size_t got = source_->Read(buffer.bytes.data(), want);
      if (got == 0) {
        sourceDone_ = true;
        continue;
      }
      next_ += got;
      buffer.header.bufferLength = static_cast<std::uint32_t>(got * frameBytes);
      if (output_->Write(buffer.header) == wave::kOk) anyQueued = true;
    }
    if (anyQueued) return;
    // Everything queued has been played: the range (or the source) is at its end.
    finishedAt = next_;
  }
  CloseOutput(finishedAt);
}

void PcmPlayer::Worker::CloseOutput(std::uint64_t stoppedAt) {
  {
    std::lock_guard device(deviceMutex_);
    if (output_ != nullptr) {
      output_->Reset();
      for (Buffer& buffer : buffers_) output_->Unprepare(buffer.header);
      output_->Close();
      output_ = nullptr;
    }
  }
  std::lock_guard lock(mutex_);
  state_ = State::kStopped;
  stoppedAt_ = stoppedAt;
  returned_ = 0;
}

}  // namespace vx::mci
