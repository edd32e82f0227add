// "Log Song from CD...": the CD dialog on the chosen drive, then what it ended with. Log
// Track offers the current track to the song editor as a song that stays on the CD (media
// 'C', no file). Ripping offers each copied track, once it passes the WAVE check, to the
// song editor with the disc's CDDB names, and moves it under the new song's name; a track
// that fails the check, is cancelled in the editor or cannot be moved loses its file, and
// the others are still offered. After a cancelled dialog every copied file is deleted.
#pragma once

namespace vx {

class CRecorderMainWindow;

void RunLogSongFromCd(CRecorderMainWindow& window);

}  // namespace vx
