// Open of the two stream devices, and the handles an output gives its openers.
#include "platform/wave/StreamWaveIn.h"
#include "platform/wave/StreamWaveOut.h"

namespace vx::wave {

// One opener's handle: the WaveOut operations on its queue of the device's pump.
class StreamWaveOut::Handle : public WaveOut {
 public:
  Handle(BufferPump& pump, std::size_t opener) : pump_(pump), opener_(opener) {}

  unsigned Close() override { return pump_.Close(opener_); }
  unsigned Prepare(WaveHeader& header) override { return Queue().Prepare(header); }
  unsigned Unprepare(WaveHeader& header) override { return Queue().Unprepare(header); }
  unsigned Write(WaveHeader& header) override { return Queue().Enqueue(header); }
  unsigned Pause() override { return Queue().SetPaused(true); }
  unsigned Restart() override { return Queue().SetPaused(false); }
  unsigned Reset() override { return Queue().Reset(); }
  unsigned Position(std::uint64_t& frames) override { return Queue().Position(frames); }
  std::uint64_t Underruns() const override { return pump_.Queue(opener_).Gaps(); }

 private:
  BufferQueue& Queue() { return pump_.Queue(opener_); }

  BufferPump& pump_;
  std::size_t opener_;
};

StreamWaveOut::StreamWaveOut() {
  for (std::size_t i = 0; i < kMaxOpeners; ++i) {
    handles_.push_back(std::make_unique<Handle>(pump_, i));
  }
}

StreamWaveOut::~StreamWaveOut() = default;

WaveOut* StreamWaveOut::OpenerHandle(std::size_t place) const {
  return place < handles_.size() ? handles_[place].get() : nullptr;
}

unsigned StreamWaveOut::Open(const riff::WaveFormat& format, WaveCallback callback,
                             ChannelRoute route, WaveOut*& handle) {
  std::size_t opener = 0;
  const unsigned result = pump_.Open(
      format, route, std::move(callback),
      [this](const riff::WaveFormat& streamFormat, std::unique_ptr<WaveStream>& stream) {
        return OpenStream(streamFormat, stream);
      },
      opener);
  if (result == kOk) handle = handles_[opener].get();
  return result;
}

unsigned StreamWaveIn::Open(const riff::WaveFormat& format, WaveCallback callback) {
  std::size_t opener = 0;
  return pump_.Open(
      format, ChannelRoute::kAll, std::move(callback),
      [this](const riff::WaveFormat& streamFormat, std::unique_ptr<WaveStream>& stream) {
        return OpenStream(streamFormat, stream);
      },
      opener);
}

}  // namespace vx::wave
