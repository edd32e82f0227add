// The "cdaudio" device: the disc in one CD drive, played by reading its audio sectors and
// streaming them to a wave output (output 0 unless another was set). Positions are sectors
// from the start of the program area (LSN). The drive is looked at on every command, so a tray opened or closed by hand,
// or a disc swapped, is noticed at the next command: mode "open" with the tray open or
// empty, "not ready" when the drive cannot be reached.
#pragma once

#include <memory>

#include "platform/cdrom/CdDrive.h"
#include "platform/mci/PlayerDriver.h"

namespace vx::mci {

class CdAudioDriver : public PlayerDriver {
 public:
  explicit CdAudioDriver(cdrom::CdDrive drive);
  ~CdAudioDriver() override;

  MciMode Mode() override;
  unsigned GetTimeline(Timeline& timeline) override;
  bool UsesTimeFormat(TimeFormat) const override { return true; }
  unsigned SetDoor(bool closed) override;
  unsigned Identity(std::string& identity) override;

 protected:
  std::shared_ptr<PcmSource> Source() override;
  unsigned NaturalEnd(long from, long& end) override;

 private:
  // Brings the loaded disc in line with the drive; false when there is no disc.
  bool Refresh();

  cdrom::CdDrive drive_;
  std::shared_ptr<const cdrom::CdDisc> disc_;
  std::shared_ptr<const cdrom::CdToc> toc_;
  std::string identity_;
};

}  // namespace vx::mci
