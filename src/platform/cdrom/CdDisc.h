// One open disc, read through libcdio: a cue/bin image or the disc in a real drive. Both
// open the same way (the cue driver for a .cue file, the device driver otherwise), so the
// same table of contents and the same sector reads serve virtual and real drives.
#pragma once

#include <memory>
#include <string>

#include "platform/cdrom/CdToc.h"

struct _CdIo;

namespace vx::cdrom {

class CdDisc {
 public:
  // Opens the disc: a path ending in ".cue" (any case) is an image, anything else a drive
  // device. Answers nullptr when nothing can be opened or the disc has no readable table of
  // contents (no disc, unreadable image).
  static std::unique_ptr<CdDisc> Open(const std::string& source);
  CdDisc(const CdDisc&) = delete;
  CdDisc& operator=(const CdDisc&) = delete;

  const CdToc& Toc() const { return toc_; }
  bool IsImage() const { return image_; }
  const std::string& Source() const { return source_; }

  // Reads count raw audio sectors from lsn into out (count * 2352 bytes: 588 stereo
  // frames of 16-bit little-endian samples each). False when the range leaves the disc or
  // the read fails.
  bool ReadAudioSectors(long lsn, unsigned count, void* out) const;

  // The libcdio handle, for the library's own readers (paranoia).
  _CdIo* Native() const { return cdio_.get(); }

 private:
  struct Closer {
    void operator()(_CdIo* cdio) const;
  };
  using Handle = std::unique_ptr<_CdIo, Closer>;

  CdDisc(Handle cdio, std::string source, bool image);
  bool LoadToc();

  Handle cdio_;
  std::string source_;
  bool image_;
  CdToc toc_;
};

bool IsCueImagePath(const std::string& path);

}  // namespace vx::cdrom
