// A wave input whose queued buffers a BufferPump fills from a WaveStream that the concrete
// device opens for each Open: the virtual input (a clock and a signal source) and the sound
// card input (a PortAudio stream).
#pragma once

#include <memory>

#include "platform/wave/BufferPump.h"
#include "platform/wave/WaveDevice.h"
#include "platform/wave/WaveStream.h"

namespace vx::wave {

class StreamWaveIn : public WaveIn {
 public:
  unsigned Open(const riff::WaveFormat& format, WaveCallback callback) override;
  unsigned Close() override { return pump_.Close(0); }
  unsigned Prepare(WaveHeader& header) override { return Queue().Prepare(header); }
  unsigned Unprepare(WaveHeader& header) override { return Queue().Unprepare(header); }
  unsigned AddBuffer(WaveHeader& header) override { return Queue().Enqueue(header); }
  unsigned Start() override { return Queue().SetStarted(true); }
  unsigned Stop() override { return Queue().SetStarted(false); }
  unsigned Reset() override { return Queue().Reset(); }
  unsigned Position(std::uint64_t& frames) override { return Queue().Position(frames); }
  std::uint64_t Overruns() const override { return pump_.Queue(0).Gaps(); }

 protected:
  // Opens the data end for a format; kBadFormat when the device cannot record it.
  virtual unsigned OpenStream(const riff::WaveFormat& format,
                              std::unique_ptr<WaveStream>& stream) = 0;

 private:
  BufferQueue& Queue() { return pump_.Queue(0); }

  BufferPump pump_{BufferPump::Direction::kInput, 1};
};

}  // namespace vx::wave
