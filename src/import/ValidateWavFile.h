// The rule a WAVE file must pass to become a song: uncompressed PCM of at least 22050 samples
// per second and 16 bits, asked of the wave audio device (never parsed here), so whatever that
// device can open and describe is judged alike. The player and the compressor take at most 16
// bits and two channels, so files beyond those are refused too.
#pragma once

#include <QString>

#include <functional>
#include <string>

namespace vx {

class CMciDevice;

// Shows a text on the owner's status line.
using StatusLine = std::function<void(const QString& text)>;

// Opens fileName under the wave alias, checks it, learns its length and closes the alias
// again. True when the file may be imported; then lengthMs holds the length in milliseconds as
// the device wrote it. Every reason for false has been shown (one file may show several); a
// failed command is reported on the status line and in a message box. The file is never
// changed.
bool ValidateWavFile(CMciDevice& mci, const StatusLine& statusLine, const std::string& fileName,
                     std::string& lengthMs);

}  // namespace vx
