// "Record New Song...": records a take with the recording dialog into a temporary file in
// the Songs folder, lets the user describe it in the song editor (add mode), and moves the
// take to the new song's file. The song's row and its file appear together or not at all:
// the row is written inside a transaction that is committed only once the file is in place.
// The take is deleted whenever it does not become a song.
#pragma once

namespace vx {

class CRecorderMainWindow;

void RunRecordNewSong(CRecorderMainWindow& window);

}  // namespace vx
