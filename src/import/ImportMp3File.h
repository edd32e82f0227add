// Wraps an MP3 file, unchanged, into a WAVE file of format MPEG Layer-3 under a temporary
// name ("VXM....tmp") in the library's Songs folder, for the import flow to move to the new
// song's name. The file is judged first (Mp3Probe); its ID3v1 tag proposes the song's details.
#pragma once

#include <string>

#include "import/Id3Tags.h"

namespace vx {

// What ImportMp3File hands back. The tag texts are set as soon as a valid ID3v1 tag has been
// read, even when a later check fails; without a tag they keep what the caller put there.
// The temporary path and the length text ("mm:ss:mmm") are set only on success.
struct Mp3Import {
  Id3v1Tag tag;
  std::string tempPath;
  std::string length;
};

// Judges and wraps fileName. False after a message that says why; no temporary file remains
// then, and the source is never changed. A source that cannot be opened at all is thrown as
// an unexpected error.
bool ImportMp3File(const std::string& fileName, const std::string& libraryFolder,
                   Mp3Import& result);

}  // namespace vx
