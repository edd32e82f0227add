// The flows the main window's buttons run, and which of them this build has. A button
// whose flow is missing from BuiltFlows() stays disabled and its hint says so; switching a
// flow on is one line in BuiltFlows().
#pragma once

#include <functional>
#include <map>
#include <memory>

namespace vx {

class CRecorderMainWindow;
class SongEditorTools;

enum class RecorderFlow {
  RecordNewSong,
  ImportSoundFile,
  LogSongFromCd,
  Search,
  CompressSongs,
  SongTypes,
  Options,
  TechInfo,
  Playlist,
};

// Runs one flow for the window. Failures are exceptions; the window guards each run.
using FlowRunner = std::function<void(CRecorderMainWindow& window)>;
using FlowTable = std::map<RecorderFlow, FlowRunner>;

FlowTable BuiltFlows();

// Compress Songs: every uncompressed song to ADPCM, then the summary is counted again.
void RunCompressSongs(CRecorderMainWindow& window);
// Options: the CD-ROM drive, the MIDI output and the start-up tips.
void RunOptions(CRecorderMainWindow& window);
// Technical Information: builds the report and shows it.
void RunTechInfo(CRecorderMainWindow& window);
// Search: the song search with view, edit, delete and reports.
void RunSearch(CRecorderMainWindow& window);
// Playlist: picks or names a playlist, then edits its songs.
void RunPlaylist(CRecorderMainWindow& window);
// Song Types: the list of song types with New, Edit and Delete.
void RunSongTypes(CRecorderMainWindow& window);

// The BPM counter and cue point editor that the song editor opens from this window.
std::unique_ptr<SongEditorTools> MakeSongEditorTools(CRecorderMainWindow& window);

}  // namespace vx
