// What both drivers share: a medium's samples played by a PcmPlayer, with positions in
// medium units (unitFrames sample frames each) and the transport operations built on it.
// A derived driver says what its medium is (timeline, source, natural end of a play).
#pragma once

#include <memory>

#include "platform/mci/MciDriver.h"
#include "platform/mci/PcmPlayer.h"

namespace vx::mci {

class PlayerDriver : public MciDriver {
 public:
  unsigned Position(long& position) override;
  unsigned Play(std::optional<long> from, std::optional<long> to) override;
  unsigned Seek(long position) override;
  unsigned Pause() override;
  unsigned Stop() override;
  unsigned SetOutput(std::size_t output) override;

 protected:
  explicit PlayerDriver(long unitFrames) : unitFrames_(unitFrames) {}
  // The mode of the player: playing, paused or stopped.
  MciMode PlayerMode();
  // Stops and forgets the medium; the position becomes 0.
  void Unload();

  // The samples of the medium, or null when there is none (not ready).
  virtual std::shared_ptr<PcmSource> Source() = 0;
  // The end of a play that starts at `from` and gives no end; an MciError code when
  // playing cannot start there.
  virtual unsigned NaturalEnd(long from, long& end) = 0;

 private:
  long unitFrames_;
  PcmPlayer player_;
};

}  // namespace vx::mci
