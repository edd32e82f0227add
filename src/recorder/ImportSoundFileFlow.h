// "Import Sound File...": the user picks a WAVE or MP3 file (with "Delete Source Audio File"),
// the file is checked through the wave device (WAVE) or judged and wrapped (MP3), the song
// editor (add mode) takes the song's details with what the file tells, and the audio is
// copied (WAVE) or moved (the wrapped MP3) into the Songs folder under the new song's name.
// The row and the file appear together or not at all. The source is deleted, when asked,
// only once the song is complete, and never when it lies in the Songs folder itself.
#pragma once

namespace vx {

class CRecorderMainWindow;

void RunImportSoundFile(CRecorderMainWindow& window);

}  // namespace vx
