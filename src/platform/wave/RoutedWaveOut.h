// One channel of another output, as a device of its own: every opener of the view opens the
// output routed to that channel (folded to mono). Two views, left and right, let two users
// that know only device numbers (the player's decks) share a stereo output as two mono ones.
// A view does not own its output, which must outlive it.
#pragma once

#include <string>

#include "platform/wave/WaveDevice.h"

namespace vx::wave {

class RoutedWaveOut : public WaveOutDevice {
 public:
  RoutedWaveOut(WaveOutDevice& output, ChannelRoute route) : output_(output), route_(route) {}

  // The output's capabilities, its name followed by " (left)" or " (right)".
  WaveCaps Caps() const override;
  // Opens the output on this view's channel; the route asked for is ignored.
  unsigned Open(const riff::WaveFormat& format, WaveCallback callback, ChannelRoute route,
                WaveOut*& handle) override;
  std::size_t OpenCount() const override { return output_.OpenCount(); }
  WaveOut* OpenerHandle(std::size_t place) const override { return output_.OpenerHandle(place); }
  std::optional<riff::WaveFormat> PlayingFormat() const override {
    return output_.PlayingFormat();
  }
  void SetMixFormat(std::optional<riff::WaveFormat> format) override {
    output_.SetMixFormat(std::move(format));
  }

 private:
  WaveOutDevice& output_;
  ChannelRoute route_;
};

}  // namespace vx::wave
