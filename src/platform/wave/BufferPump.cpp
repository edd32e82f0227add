#include "platform/wave/BufferPump.h"

#include <algorithm>
#include <cassert>

namespace vx::wave {
namespace {

// The stream's format for a first opener: a one-channel route needs two channels.
riff::WaveFormat FirstStreamFormat(const riff::WaveFormat& format, ChannelRoute route) {
  if (route == ChannelRoute::kAll || format.channels != 1) return format;
  riff::WaveFormat stereo = format;
  stereo.channels = 2;
  stereo.blockAlign = static_cast<std::uint16_t>(format.blockAlign * 2);
  stereo.avgBytesPerSec = format.avgBytesPerSec * 2;
  return stereo;
}

}  // namespace

BufferPump::BufferPump(Direction direction, std::size_t maxOpeners) : direction_(direction) {
  assert(maxOpeners >= 1);
  for (std::size_t i = 0; i < maxOpeners; ++i) {
    openers_.push_back(std::make_unique<Opener>(direction, state_, wake_));
  }
}

BufferPump::~BufferPump() {
  for (std::size_t i = 0; i < openers_.size(); ++i) {
    if (openers_[i]->queue.Reset() == kOk) Close(i);
  }
}

std::uint32_t BufferPump::PeriodFrames(const riff::WaveFormat& format) {
  return std::max<std::uint32_t>(1, format.samplesPerSec / 200);
}

BufferQueue& BufferPump::Queue(std::size_t opener) {
  assert(opener < openers_.size());
  return openers_[opener]->queue;
}

const BufferQueue& BufferPump::Queue(std::size_t opener) const {
  assert(opener < openers_.size());
  return openers_[opener]->queue;
}

std::size_t BufferPump::OpenCount() const {
  std::lock_guard lock(state_);
  return static_cast<std::size_t>(std::count_if(
      openers_.begin(), openers_.end(), [](const auto& o) { return o->queue.IsBound(); }));
}

void BufferPump::SetMixFormat(std::optional<riff::WaveFormat> format) {
  std::lock_guard lifecycle(lifecycle_);
  mixFormat_ = std::move(format);
}

std::optional<riff::WaveFormat> BufferPump::StreamFormat() const {
  std::lock_guard lock(state_);
  return streamFormat_;
}

unsigned BufferPump::Open(const riff::WaveFormat& format, ChannelRoute route,
                          WaveCallback callback, const StreamOpener& openStream,
                          std::size_t& opener) {
  std::lock_guard lifecycle(lifecycle_);
  std::size_t free = openers_.size();
  bool streamOpen = false;
  {
    std::lock_guard lock(state_);
    for (std::size_t i = openers_.size(); i-- > 0;) {
      if (openers_[i]->queue.IsBound()) {
        streamOpen = true;
      } else {
        free = i;
      }
    }
  }
  if (free == openers_.size()) return kAllocated;
  if (!streamOpen) {
    const unsigned result = OpenStream(format, route, openStream);
    if (result != kOk) return result;
  } else if (!IsPlainPcm(format)) {
    return kBadFormat;
  }

  Opener& chosen = *openers_[free];
  if (callback) callback(WaveMessage::kOpened, nullptr);
  {
    std::lock_guard delivery(chosen.queue.Delivery());
    if (direction_ == Direction::kOutput) {
      chosen.converter.Setup(format, format_, route);
      chosen.staging.assign(
          chosen.converter.MostFramesNeeded(periodFrames_) * std::size_t{format.blockAlign}, 0);
    }
    std::lock_guard lock(state_);
    chosen.queue.Bind(std::move(callback), format.blockAlign);
  }
  opener = free;
  return kOk;
}

// Opens the stream for a first opener: in the mix format when one is set and the device
// plays it, otherwise in the opener's format. Starts the device thread.
unsigned BufferPump::OpenStream(const riff::WaveFormat& format, ChannelRoute route,
                                const StreamOpener& openStream) {
  riff::WaveFormat streamFormat = FirstStreamFormat(format, route);
  std::unique_ptr<WaveStream> stream;
  unsigned result = kBadFormat;
  if (direction_ == Direction::kOutput && mixFormat_) {
    result = openStream(*mixFormat_, stream);
    if (result == kOk) streamFormat = *mixFormat_;
  }
  if (result == kBadFormat) result = openStream(streamFormat, stream);
  if (result != kOk) return result;
  stream_ = std::move(stream);
  format_ = streamFormat;
  periodFrames_ = PeriodFrames(streamFormat);
  period_.assign(std::size_t{periodFrames_} * std::max<std::uint16_t>(1, format_.blockAlign), 0);
  {
    std::lock_guard lock(state_);
    quit_ = false;
    streamFormat_ = streamFormat;
  }
  thread_ = std::thread([this] { ThreadBody(); });
  return kOk;
}

unsigned BufferPump::Close(std::size_t opener) {
  assert(opener < openers_.size());
  std::lock_guard lifecycle(lifecycle_);
  BufferQueue& queue = openers_[opener]->queue;
  WaveCallback callback;
  bool last = false;
  {
    std::lock_guard delivery(queue.Delivery());
    std::lock_guard lock(state_);
    if (!queue.IsBound()) return kInvalidHandle;
    if (queue.HasQueued()) return kStillPlaying;
    callback = queue.Unbind();
    last = std::none_of(openers_.begin(), openers_.end(),
                        [](const auto& o) { return o->queue.IsBound(); });
    if (last) quit_ = true;
  }
  if (last) {
    wake_.notify_all();
    thread_.join();
    stream_.reset();
    std::lock_guard lock(state_);
    streamFormat_.reset();
  }
  if (callback) callback(WaveMessage::kClosed, nullptr);
  return kOk;
}

bool BufferPump::AnyRunning() const {
  return std::any_of(openers_.begin(), openers_.end(),
                     [](const auto& o) { return o->queue.Running(); });
}

void BufferPump::ThreadBody() {
  bool running = false;
  while (true) {
    {
      std::unique_lock lock(state_);
      if (running && (quit_ || !AnyRunning())) {
        lock.unlock();
        stream_->Suspend();
        running = false;
        continue;
      }
      wake_.wait(lock, [this] { return quit_ || AnyRunning(); });
      if (quit_) break;
    }
    if (!running) {
      stream_->Resume();
      running = true;
    }
    if (direction_ == Direction::kOutput) {
      RunOutputPeriod();
    } else {
      RunInputPeriod();
    }
  }
}

// One turn of an output: wait for the period's deadline, take each playing opener's share
// and play the sum. A lone opener in the stream's format goes straight through, so what it
// plays reaches the device byte for byte. A period that found fewer samples than it holds
// plays only those (a sound card pads them with silence).
void BufferPump::RunOutputPeriod() {
  stream_->AwaitPeriod();
  std::vector<Opener*> playing;
  {
    std::lock_guard lock(state_);
    if (quit_) return;
    for (const auto& opener : openers_) {
      if (opener->queue.Running()) playing.push_back(opener.get());
    }
  }
  bus_.Begin(format_, periodFrames_);
  bool played = false;
  bool direct = false;
  std::size_t frames = 0;
  for (Opener* opener : playing) {
    const Share share = MoveOutput(*opener, playing.size() == 1);
    played = played || share.played;
    direct = share.direct;
    frames = std::max(frames, share.frames);
  }
  if (!played) return;
  if (!direct) bus_.Write(frames, period_.data());
  stream_->Play(period_.data(), frames * format_.blockAlign);
}

BufferPump::Share BufferPump::MoveOutput(Opener& opener, bool alone) {
  std::lock_guard delivery(opener.queue.Delivery());
  Share share;
  const std::uint32_t align = opener.queue.BlockAlign();
  std::size_t taken = 0;
  {
    std::lock_guard lock(state_);
    if (quit_ || !opener.queue.Running()) return share;
    share.played = true;
    share.direct = alone && opener.converter.PassesThrough();
    if (opener.restartsSeen != opener.queue.Restarts()) {
      opener.restartsSeen = opener.queue.Restarts();
      opener.converter.Restart();
    }
    taken = share.direct ? opener.queue.Take(period_.data(), period_.size())
                         : opener.queue.Take(opener.staging.data(),
                                             opener.converter.FramesNeeded(periodFrames_) * align);
  }
  share.frames = share.direct ? taken / align
                              : opener.converter.AddTo(opener.staging.data(), taken / align,
                                                       bus_.Samples(), periodFrames_);
  opener.queue.DeliverFinished();
  return share;
}

// One turn of an input: capture a period and spread it over the opener's queued buffers.
void BufferPump::RunInputPeriod() {
  stream_->Capture(period_.data(), period_.size());
  Opener& opener = *openers_.front();
  std::lock_guard delivery(opener.queue.Delivery());
  {
    std::lock_guard lock(state_);
    if (quit_ || !opener.queue.Running()) return;
    opener.queue.Fill(period_.data(), period_.size());
  }
  opener.queue.DeliverFinished();
}

}  // namespace vx::wave
