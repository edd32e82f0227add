// The "waveaudio" device: one WAVE file, played on wave output 0. Positions are sample
// frames; the only time format is milliseconds.
#pragma once

#include <memory>
#include <string>

#include "platform/mci/PlayerDriver.h"
#include "platform/mci/WaveFileSource.h"

namespace vx::mci {

class WaveAudioDriver : public PlayerDriver {
 public:
  // Opens the file; an MciError code on failure.
  static unsigned Open(const std::string& path, std::unique_ptr<MciDriver>& driver);

  MciMode Mode() override { return PlayerMode(); }
  unsigned GetTimeline(Timeline& timeline) override;
  bool UsesTimeFormat(TimeFormat format) const override {
    return format == TimeFormat::kMilliseconds;
  }
  unsigned StoredFormat(riff::WaveFormat& format) override;

 protected:
  std::shared_ptr<PcmSource> Source() override { return source_; }
  unsigned NaturalEnd(long from, long& end) override;

 private:
  explicit WaveAudioDriver(std::shared_ptr<WaveFileSource> source)
      : PlayerDriver(1), source_(std::move(source)) {}

  // Shared with the player's worker while it plays.
  std::shared_ptr<WaveFileSource> source_;
};

}  // namespace vx::mci
