// A wave output device whose openers' buffers a BufferPump plays into a WaveStream that
// the concrete device opens when its first opener arrives: the virtual output (a clock and
// a tape) and the sound card output (a PortAudio stream). Each opener gets one of the
// device's handles.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/wave/BufferPump.h"
#include "platform/wave/WaveDevice.h"
#include "platform/wave/WaveStream.h"

namespace vx::wave {

class StreamWaveOut : public WaveOutDevice {
 public:
  // Two decks, the CD deck and a click on one output leave room to spare.
  static constexpr std::size_t kMaxOpeners = 8;

  StreamWaveOut();
  ~StreamWaveOut() override;

  unsigned Open(const riff::WaveFormat& format, WaveCallback callback, ChannelRoute route,
                WaveOut*& handle) override;
  std::size_t OpenCount() const override { return pump_.OpenCount(); }
  WaveOut* OpenerHandle(std::size_t place) const override;
  std::optional<riff::WaveFormat> PlayingFormat() const override { return pump_.StreamFormat(); }
  void SetMixFormat(std::optional<riff::WaveFormat> format) override {
    pump_.SetMixFormat(std::move(format));
  }

 protected:
  // Opens the data end for a format; kBadFormat when the device cannot play it.
  virtual unsigned OpenStream(const riff::WaveFormat& format,
                              std::unique_ptr<WaveStream>& stream) = 0;

 private:
  class Handle;

  BufferPump pump_{BufferPump::Direction::kOutput, kMaxOpeners};
  std::vector<std::unique_ptr<Handle>> handles_;
};

}  // namespace vx::wave
