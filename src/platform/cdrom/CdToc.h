// The table of contents of a disc: its tracks and the lead-out, plus the disc's identity.
#pragma once

#include <string>
#include <vector>

namespace vx::cdrom {

struct CdTrack {
  int number = 0;           // the disc's own track number
  bool audio = false;       // false for data tracks
  long startLsn = 0;        // first sector of the track proper (index 1)
  long lengthFrames = 0;    // sectors up to the next track's start (or the lead-out)
  long pregapFrames = 0;    // sectors of pregap (index 0) before startLsn; 0 when unknown
};

struct CdToc {
  int firstTrack = 1;
  std::vector<CdTrack> tracks;  // in disc order
  long leadOutLsn = 0;

  // The track with that number, or nullptr.
  const CdTrack* Find(int number) const;
  int AudioTrackCount() const;

  // The disc's identity text, 26 upper-case hex digits:
  //   FF CC LLLLLL HHHHHHHHHHHHHHHH
  //   first track number (2), track count (2), lead-out LSN (6), and a 64-bit FNV-1a hash
  //   (16) of every track's number, start LSN and type.
  // The same disc always gives the same text; two discs differ unless their whole tables
  // of contents match. It fits the 32 characters that readers of identities keep, and uses
  // no character that needs quoting in a query.
  std::string Identity() const;
};

}  // namespace vx::cdrom
