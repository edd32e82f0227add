#include "platform/wave/BufferQueue.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace vx::wave {

unsigned BufferQueue::Prepare(WaveHeader& header) {
  std::lock_guard lock(state_);
  if (!bound_) return kInvalidHandle;
  if (header.data == nullptr && header.bufferLength > 0) return kInvalidParam;
  if ((header.flags & kHeaderInQueue) != 0) return kStillPlaying;
  header.flags |= kHeaderPrepared;
  return kOk;
}

unsigned BufferQueue::Unprepare(WaveHeader& header) {
  std::lock_guard lock(state_);
  if (!bound_) return kInvalidHandle;
  if ((header.flags & kHeaderInQueue) != 0) return kStillPlaying;
  header.flags &= ~kHeaderPrepared;
  return kOk;
}

unsigned BufferQueue::Enqueue(WaveHeader& header) {
  {
    std::lock_guard lock(state_);
    if (!bound_) return kInvalidHandle;
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

unsigned BufferQueue::SetPaused(bool paused) {
  {
    std::lock_guard lock(state_);
    if (!bound_) return kInvalidHandle;
    paused_ = paused;
  }
  wake_.notify_all();
  return kOk;
}

unsigned BufferQueue::SetStarted(bool started) {
  std::lock_guard delivery(delivery_);
  {
    std::lock_guard lock(state_);
    if (!bound_) return kInvalidHandle;
    started_ = started;
    inGap_ = false;
    if (!started && head_ != nullptr && head_->bytesRecorded > 0) FinishHead();
  }
  wake_.notify_all();
  DeliverFinished();
  return kOk;
}

unsigned BufferQueue::Reset() {
  std::lock_guard delivery(delivery_);
  {
    std::lock_guard lock(state_);
    if (!bound_) return kInvalidHandle;
    while (head_ != nullptr) FinishHead();
    started_ = paused_ = inGap_ = false;
    bytesMoved_ = 0;
    ++restarts_;
  }
  wake_.notify_all();
  DeliverFinished();
  return kOk;
}

unsigned BufferQueue::Position(std::uint64_t& frames) const {
  std::lock_guard lock(state_);
  if (!bound_) return kInvalidHandle;
  frames = bytesMoved_ / blockAlign_;
  return kOk;
}

std::uint64_t BufferQueue::Gaps() const {
  std::lock_guard lock(state_);
  return gaps_;
}

void BufferQueue::Bind(WaveCallback callback, std::uint32_t blockAlign) {
  assert(!bound_ && head_ == nullptr && finishedHead_ == nullptr);
  callback_ = std::move(callback);
  blockAlign_ = std::max<std::uint32_t>(1, blockAlign);
  bound_ = true;
  ++restarts_;
  started_ = paused_ = inGap_ = false;
  headOffset_ = 0;
  bytesMoved_ = gaps_ = 0;
}

WaveCallback BufferQueue::Unbind() {
  assert(bound_ && head_ == nullptr);
  bound_ = false;
  started_ = paused_ = false;
  WaveCallback callback = std::move(callback_);
  callback_ = nullptr;
  return callback;
}

void BufferQueue::CountPeriod(std::size_t moved, std::size_t bytes) {
  bytesMoved_ += moved;
  if (moved < bytes) {
    if (!inGap_) ++gaps_;
    inGap_ = true;
  } else {
    inGap_ = false;
  }
}

std::size_t BufferQueue::Take(std::uint8_t* data, std::size_t bytes) {
  std::size_t filled = 0;
  while (filled < bytes && head_ != nullptr) {
    const std::size_t count =
        std::min<std::size_t>(head_->bufferLength - headOffset_, bytes - filled);
    if (count > 0) std::memcpy(data + filled, head_->data + headOffset_, count);
    filled += count;
    headOffset_ += static_cast<std::uint32_t>(count);
    if (headOffset_ == head_->bufferLength) FinishHead();
  }
  CountPeriod(filled, bytes);
  return filled;
}

std::size_t BufferQueue::Fill(const std::uint8_t* data, std::size_t bytes) {
  std::size_t used = 0;
  while (used < bytes && head_ != nullptr) {
    const std::size_t count = std::min<std::size_t>(
        head_->bufferLength - head_->bytesRecorded, bytes - used);
    if (count > 0) std::memcpy(head_->data + head_->bytesRecorded, data + used, count);
    used += count;
    head_->bytesRecorded += static_cast<std::uint32_t>(count);
    if (head_->bytesRecorded == head_->bufferLength) FinishHead();
  }
  CountPeriod(used, bytes);
  return used;
}

void BufferQueue::FinishHead() {
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

void BufferQueue::DeliverFinished() {
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
