// Open of the two stream devices: the pump checks that the device is free and asks the
// concrete device for its stream.
#include "platform/wave/StreamWaveIn.h"
#include "platform/wave/StreamWaveOut.h"

namespace vx::wave {

unsigned StreamWaveOut::Open(const riff::WaveFormat& format, WaveCallback callback) {
  return pump_.Open(format, std::move(callback), [&](std::unique_ptr<WaveStream>& stream) {
    return OpenStream(format, stream);
  });
}

unsigned StreamWaveIn::Open(const riff::WaveFormat& format, WaveCallback callback) {
  return pump_.Open(format, std::move(callback), [&](std::unique_ptr<WaveStream>& stream) {
    return OpenStream(format, stream);
  });
}

}  // namespace vx::wave
