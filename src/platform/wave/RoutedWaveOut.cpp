#include "platform/wave/RoutedWaveOut.h"

namespace vx::wave {

WaveCaps RoutedWaveOut::Caps() const {
  WaveCaps caps = output_.Caps();
  caps.name += route_ == ChannelRoute::kLeft    ? " (left)"
               : route_ == ChannelRoute::kRight ? " (right)"
                                                : "";
  return caps;
}

unsigned RoutedWaveOut::Open(const riff::WaveFormat& format, WaveCallback callback,
                             ChannelRoute /*route*/, WaveOut*& handle) {
  return output_.Open(format, std::move(callback), route_, handle);
}

}  // namespace vx::wave
