// The disc scan of the CDDB client: the table of contents of the disc in the "cdplay" alias,
// read through the media control layer, turned into the standard CDDB disc identifier, the
// query path for the server and the table of audio tracks.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cd/CMciDevice.h"

namespace vx::cd {

struct CddbDiscScan {
  int trackCount = 0;              // all tracks of the disc, audio and data
  std::vector<int> audioTracks;    // the disc's track number of each audio track, disc order
  std::uint32_t discId = 0;        // the standard CDDB disc identifier
  std::string queryPath;           // "/~cddb/cddb.cgi?cmd=cddb+query+..." ready to send
};

// A table of contents as the scan reads it: the absolute start frame (2-second lead-in
// included) and the kind of each track, and the exact length of the last track in frames.
struct CddbToc {
  std::vector<long> startFrames;
  std::vector<bool> audio;
  long lastLengthFrames = 0;
};

// The identifier, query path and audio track table of a complete table of contents.
CddbDiscScan BuildDiscScan(const CddbToc& toc, const std::string& userAddress);

// The user address as the hello's "user+host" pair: its first at sign (unless it comes
// first) becomes "+"; characters a URL cannot carry are percent-encoded.
std::string CddbHelloUser(const std::string& userAddress);

// The disc scan over the open "cdplay" alias of `mci` (time format msf, tracks, types,
// starts, last length; back to tmsf). Each failing command goes to statusLine as
// "MCI ERROR: %s". An empty audioTracks means no audio track.
CddbDiscScan ScanDisc(CMciDevice& mci, const std::function<void(const QString&)>& statusLine,
                      const std::string& userAddress);

}  // namespace vx::cd
