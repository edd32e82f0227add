// The badge that shows a song's media (WAV, ADPCM, MP3 or CD) as a small coloured picture
// with the media's name, and the tool tip that says it in words.
#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

namespace vx {

// The badge of a SongCompression code at the given size; a null icon for an unknown code.
QIcon MediaBadgeIcon(char code, QSize size);
// "WAV file", "Audio CD track", ...; empty for an unknown code.
QString MediaBadgeTip(char code);

}  // namespace vx
