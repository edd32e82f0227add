// The steps every flow of the recorder that adds a song ends with: the song editor (add mode)
// describes the song and writes its row, then the audio is placed (library/SongAdding.h).
#pragma once

#include <optional>
#include <string>

#include "curation/CSongInfoDlg.h"
#include "library/SongAdding.h"

namespace vx {

class CRecorderMainWindow;
struct RecorderState;

// The editor set up to add a song of this media, whose audio is filePath, with the window's
// MIDI and CD settings.
SongInfoSetup AddSongSetup(const RecorderState& state, char media, const std::string& filePath);

// Runs the editor and places the audio. Answers the song's file once the song is complete;
// nothing when the editor was cancelled, or when the audio could not be placed (then the user
// has been told and no row is left).
std::optional<std::string> AddSongWithAudio(CRecorderMainWindow& window, const SongInfoSetup& setup,
                                            const SongAudioPlacement& audio);

// Tells the user the song's file was created and refreshes the window's library summary.
void AnnounceNewSong(CRecorderMainWindow& window, const std::string& songFile);

}  // namespace vx
