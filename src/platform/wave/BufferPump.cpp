#include "platform/wave/BufferPump.h"

#include <algorithm>
#include <cstring>

namespace vx::wave {

BufferPump::~BufferPump() {
  if (!IsOpen()) return;
  Reset();
  Close();
}

bool BufferPump::IsOpen() const {
  std::lock_guard lock(state_);
  return open_;
}

std::uint32_t BufferPump::PeriodFrames(const riff::WaveFormat& format) {
  return std::max<std::uint32_t>(1, format.samplesPerSec / 200);
}

unsigned BufferPump::Open(const riff::WaveFormat& format, WaveCallback callback,
                          const StreamOpener& openStream) {
  std::lock_guard lifecycle(lifecycle_);
  if (IsOpen()) return kAllocated;
  std::unique_ptr<WaveStream> stream;
  const unsigned result = openStream(stream);
  if (result != kOk) return result;
  callback_ = std::move(callback);
  stream_ = std::move(stream);
  blockAlign_ = std::max<std::uint32_t>(1, format.blockAlign);
  staging_.assign(std::size_t{PeriodFrames(format)} * blockAlign_, 0);
  {
    std::lock_guard lock(state_);
    open_ = true;
    quit_ = started_ = paused_ = inGap_ = false;
    head_ = tail_ = nullptr;
    headOffset_ = 0;
    bytesMoved_ = gaps_ = 0;
  }
  thread_ = std::thread([this] { ThreadBody(); });
  if (callback_) callback_(WaveMessage::kOpened, nullptr);
  return kOk;
}

unsigned BufferPump::Close() {
  std::lock_guard lifecycle(lifecycle_);
  {
    std::lock_guard lock(state_);
    if (!open_) return kInvalidHandle;
    if (head_ != nullptr) return kStillPlaying;
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
  stream_.reset();
  {
    std::lock_guard lock(state_);
    open_ = false;
  }
  WaveCallback callback = std::move(callback_);
  callback_ = nullptr;
  if (callback) callback(WaveMessage::kClosed, nullptr);
  return kOk;
}

unsigned BufferPump::Prepare(WaveHeader& header) {
  std::lock_guard lock(state_);
  if (!open_) return kInvalidHandle;
  if (header.data == nullptr && header.bufferLength > 0) return kInvalidParam;
  if ((header.flags & kHeaderInQueue) != 0) return kStillPlaying;
  header.flags |= kHeaderPrepared;
  return kOk;
}

unsigned BufferPump::Unprepare(WaveHeader& header) {
  std::lock_guard lock(state_);
  if (!open_) return kInvalidHandle;
  if ((header.flags & kHeaderInQueue) != 0) return kStillPlaying;
  header.flags &= ~kHeaderPrepared;
  return kOk;
}

unsigned BufferPump::Enqueue(WaveHeader& header) {
  {
    std::lock_guard lock(state_);
    if (!open_) return kInvalidHandle;
    const std::uint32_t flags = header.flags;
    if ((flags & kHeaderPrepared) == 0) return kUnprepared;
    if ((flags & kHeaderInQueue) != 0) return kStillPlaying;
    header.flags = (flags & ~kHeaderDone) | kHeaderInQueue;
    header.next = nullptr;
    if (direction_ == Direction::kInput) header.bytesRecorded = 0;
    if (tail_ != nullptr) {
      tail_->next = &header;
    } else {
      head_ = &header;
    }
    tail_ = &header;
    if (direction_ == Direction::kOutput) started_ = true;
  }
  wake_.notify_all();
  return kOk;
}

unsigned BufferPump::SetPaused(bool paused) {
  {
    std::lock_guard lock(state_);
    if (!open_) return kInvalidHandle;
    paused_ = paused;
  }
  wake_.notify_all();
  return kOk;
}

unsigned BufferPump::SetStarted(bool started) {
  std::lock_guard delivery(delivery_);
  {
    std::lock_guard lock(state_);
    if (!open_) return kInvalidHandle;
    started_ = started;
    inGap_ = false;
    if (!started && head_ != nullptr && head_->bytesRecorded > 0) FinishHead();
  }
  wake_.notify_all();
  DeliverFinished();
  return kOk;
}

unsigned BufferPump::Reset() {
  std::lock_guard delivery(delivery_);
  {
    std::lock_guard lock(state_);
    if (!open_) return kInvalidHandle;
    while (head_ != nullptr) FinishHead();
    started_ = paused_ = inGap_ = false;
    bytesMoved_ = 0;
  }
  wake_.notify_all();
  DeliverFinished();
  return kOk;
}

unsigned BufferPump::Position(std::uint64_t& frames) {
  std::lock_guard lock(state_);
  if (!open_) return kInvalidHandle;
  frames = bytesMoved_ / blockAlign_;
  return kOk;
}

std::uint64_t BufferPump::Gaps() const {
  std::lock_guard lock(state_);
  return gaps_;
}

void BufferPump::ThreadBody() {
  bool running = false;
  while (true) {
    {
      std::unique_lock lock(state_);
      if (running && (quit_ || !Running())) {
        lock.unlock();
        stream_->Suspend();
        running = false;
        continue;
      }
      wake_.wait(lock, [this] { return quit_ || Running(); });
      if (quit_) break;
    }
    if (!running) {
      stream_->Resume();
      running = true;
    }
    RunPeriod();
  }
}

// One turn: an output waits for the period's deadline, takes its samples from the queue
// and plays them; an input captures a period and spreads it over the queued buffers. A
// turn whose device stopped meanwhile moves nothing.
void BufferPump::RunPeriod() {
  const bool output = direction_ == Direction::kOutput;
  if (output) {
    stream_->AwaitPeriod();
  } else {
    stream_->Capture(staging_.data(), staging_.size());
  }
  std::size_t taken = 0;
  {
    std::lock_guard delivery(delivery_);
    {
      std::lock_guard lock(state_);
      if (quit_ || !Running()) return;
      const std::size_t moved = output ? TakeOutput() : FillInput();
      bytesMoved_ += moved;
      if (moved < staging_.size()) {
        if (!inGap_) ++gaps_;
        inGap_ = true;
      } else {
        inGap_ = false;
      }
      taken = moved;
    }
    DeliverFinished();
  }
  if (output) stream_->Play(staging_.data(), taken);
}

std::size_t BufferPump::TakeOutput() {
  std::size_t filled = 0;
  while (filled < staging_.size() && head_ != nullptr) {
    const std::size_t count =
        std::min<std::size_t>(head_->bufferLength - headOffset_, staging_.size() - filled);
    if (count > 0) std::memcpy(staging_.data() + filled, head_->data + headOffset_, count);
    filled += count;
    headOffset_ += static_cast<std::uint32_t>(count);
    if (headOffset_ == head_->bufferLength) FinishHead();
  }
  return filled;
}

std::size_t BufferPump::FillInput() {
  std::size_t used = 0;
  while (used < staging_.size() && head_ != nullptr) {
    const std::size_t count = std::min<std::size_t>(
        head_->bufferLength - head_->bytesRecorded, staging_.size() - used);
    if (count > 0) {
      std::memcpy(head_->data + head_->bytesRecorded, staging_.data() + used, count);
    }
    used += count;
    head_->bytesRecorded += static_cast<std::uint32_t>(count);
    if (head_->bytesRecorded == head_->bufferLength) FinishHead();
  }
  return used;
}

void BufferPump::FinishHead() {
  WaveHeader* header = head_;
  head_ = header->next;
  if (head_ == nullptr) tail_ = nullptr;
  headOffset_ = 0;
  header->next = nullptr;
  if (finishedTail_ != nullptr) {
    finishedTail_->next = header;
  } else {
    finishedHead_ = header;
  }
  finishedTail_ = header;
}

void BufferPump::DeliverFinished() {
  WaveHeader* header = finishedHead_;
  finishedHead_ = finishedTail_ = nullptr;
  while (header != nullptr) {
    // Read the link first: once done, the header belongs to the program again.
    WaveHeader* next = header->next;
    header->next = nullptr;
    header->flags = (header->flags & ~kHeaderInQueue) | kHeaderDone;
    if (callback_) callback_(WaveMessage::kDone, header);
    header = next;
  }
}

}  // namespace vx::wave
