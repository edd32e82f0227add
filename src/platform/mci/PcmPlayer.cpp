#include "platform/mci/PcmPlayer.h"

#include <algorithm>

#include "platform/mci/MciErrors.h"
#include "platform/wave/WaveDeviceList.h"

namespace vx::mci {

PcmPlayer::PcmPlayer() : worker_([this] { Run(); }) {}

PcmPlayer::~PcmPlayer() {
  Submit(Request{Kind::kQuit, nullptr, 0, 0});
  worker_.join();
}

unsigned PcmPlayer::Play(std::shared_ptr<PcmSource> source, std::uint64_t from,
                         std::uint64_t to) {
  return Submit({Kind::kPlay, std::move(source), from, to});
}
void PcmPlayer::Pause() { Submit(Request{Kind::kPause, nullptr, 0, 0}); }
void PcmPlayer::Resume() { Submit(Request{Kind::kResume, nullptr, 0, 0}); }
void PcmPlayer::Stop() { Submit(Request{Kind::kStop, nullptr, 0, 0}); }
void PcmPlayer::Reset(std::uint64_t position) {
  Submit(Request{Kind::kReset, nullptr, position, 0});
}

void PcmPlayer::SetOutput(std::size_t output) {
  std::lock_guard lock(mutex_);
  outputId_ = output;
}

PcmPlayer::State PcmPlayer::CurrentState() {
  std::lock_guard lock(mutex_);
  return state_;
}

std::uint64_t PcmPlayer::Position() {
  std::lock_guard device(deviceMutex_);
  if (output_ != nullptr) return PlayedLocked();
  std::lock_guard lock(mutex_);
  return stoppedAt_;
}

std::uint64_t PcmPlayer::PlayedLocked() {
  std::uint64_t frames = 0;
  if (output_ == nullptr || output_->Position(frames) != wave::kOk) frames = 0;
  return std::min(start_ + frames, end_);
}

unsigned PcmPlayer::Submit(Request request) {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return request_.kind == Kind::kNone; });
  request_ = std::move(request);
  const std::uint64_t seq = ++requestSeq_;
  wake_.notify_all();
  done_.wait(lock, [&] { return doneSeq_ >= seq; });
  return result_;
}

void PcmPlayer::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return request_.kind != Kind::kNone || returned_ > 0; });
    if (request_.kind != Kind::kNone) {
      const Request request = std::move(request_);
      lock.unlock();
      const unsigned result = Execute(request);
      lock.lock();
      request_ = {};
      result_ = result;
      ++doneSeq_;
      done_.notify_all();
      if (request.kind == Kind::kQuit) return;
      continue;
    }
    returned_ = 0;
    lock.unlock();
    Refill();
    lock.lock();
  }
}

unsigned PcmPlayer::Execute(const Request& request) {
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
    case Kind::kQuit: {
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
    case Kind::kReset: {
      Execute(Request{Kind::kStop, nullptr, 0, 0});
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

unsigned PcmPlayer::StartPlaying(const Request& request) {
  Execute(Request{Kind::kStop, nullptr, 0, 0});
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

void PcmPlayer::Refill() {
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

void PcmPlayer::CloseOutput(std::uint64_t stoppedAt) {
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
