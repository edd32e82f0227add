// A wave output whose queued buffers a BufferPump plays into a WaveStream that the concrete
// device opens for each Open: the virtual output (a clock and a tape) and the sound card
// output (a PortAudio stream).
#pragma once

#include <memory>

#include "platform/wave/BufferPump.h"
#include "platform/wave/WaveDevice.h"
#include "platform/wave/WaveStream.h"

namespace vx::wave {

class StreamWaveOut : public WaveOut {
 public:
  unsigned Open(const riff::WaveFormat& format, WaveCallback callback) override;
  unsigned Close() override { return pump_.Close(); }
  unsigned Prepare(WaveHeader& header) override { return pump_.Prepare(header); }
  unsigned Unprepare(WaveHeader& header) override { return pump_.Unprepare(header); }
  unsigned Write(WaveHeader& header) override { return pump_.Enqueue(header); }
  unsigned Pause() override { return pump_.SetPaused(true); }
  unsigned Restart() override { return pump_.SetPaused(false); }
  unsigned Reset() override { return pump_.Reset(); }
  unsigned Position(std::uint64_t& frames) override { return pump_.Position(frames); }
  std::uint64_t Underruns() const override { return pump_.Gaps(); }

 protected:
  // Opens the data end for a format; kBadFormat when the device cannot play it.
  virtual unsigned OpenStream(const riff::WaveFormat& format,
                              std::unique_ptr<WaveStream>& stream) = 0;

 private:
  BufferPump pump_{BufferPump::Direction::kOutput};
};

}  // namespace vx::wave
