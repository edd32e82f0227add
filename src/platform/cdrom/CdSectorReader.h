// Reading the audio sectors of one track for the ripper: through libcdio-paranoia for a
// real drive (verified, with retries), or plainly for an image.
#pragma once

#include <memory>

#include "platform/cdrom/CdDisc.h"

namespace vx::cdrom {

class CdSectorReader {
 public:
  virtual ~CdSectorReader() = default;
  // The track's sectors to copy; false when the reader cannot serve the track.
  virtual bool Begin(const CdTrack& track, long& firstLsn, long& sectors) = 0;
  // The next sector of the track (2352 bytes, little-endian samples) into out.
  virtual bool ReadNext(std::uint8_t* out) = 0;
};

// The right reader for the disc: paranoia for a drive, plain for an image. Every reader
// reads through its disc, which must outlive it.
std::unique_ptr<CdSectorReader> MakeSectorReader(const CdDisc& disc);
std::unique_ptr<CdSectorReader> MakeParanoiaReader(const CdDisc& disc);
std::unique_ptr<CdSectorReader> MakePlainReader(const CdDisc& disc);

}  // namespace vx::cdrom
