// The recorder's texts of the playlist editor.
#pragma once

namespace vx::text {

// Playlist selection.
inline constexpr const char* kPlaylistSelectTitle = "Playlist selection";
inline constexpr const char* kPlaylistNameLabel = "Playlist &name:";
inline constexpr const char* kPlaylistSelectButton = "&Select";
inline constexpr const char* kPlaylistDeleteButton = "&Delete";
inline constexpr const char* kPlaylistCancelButton = "&Cancel";
inline constexpr const char* kPlaylistExists =
    "Playlist %s already exists. Please choose another name to create a new playlist.";
inline constexpr const char* kConfirmDeletePlaylist =
    "Are you SURE you want to DELETE playlist [%s]? Click yes to permanently delete the "
    "playlist. This operation cannot be undone.";

// Playlist editing.
inline constexpr const char* kCreatePlaylistTitle = "Create Playlist %s:";
inline constexpr const char* kEditPlaylistTitle = "Edit Playlist %s:";
inline constexpr const char* kPlaylistNameColumn = "NAME";
inline constexpr const char* kPlaylistArtistColumn = "ARTIST";
inline constexpr const char* kPlaylistGenreColumn = "GENRE";
inline constexpr const char* kPlaylistBpmColumn = "BPM";
inline constexpr const char* kPlaylistLengthColumn = "LENGTH";
inline constexpr const char* kPlaylistBpmFormat = "%.2f";
inline constexpr const char* kChooserLineFormat = "%06.2f - %s (%s)";
inline constexpr const char* kChooseSongsLabel = "Choose So&ngs:\n %d selected";
inline constexpr const char* kAllGenres = "*ALL*";
inline constexpr const char* kChooserNameLabel = "Na&me:";
inline constexpr const char* kChooserArtistLabel = "A&rtist:";
inline constexpr const char* kChooserAttributesLabel = "A&ttributes:";
inline constexpr const char* kChooserGenreLabel = "&Genre:";
inline constexpr const char* kChooserBpmLabel = "&BPM:";
inline constexpr const char* kFindButton = "&Find";
inline constexpr const char* kSelectAllButton = "Select All";
inline constexpr const char* kClearAllButton = "Clear All";
inline constexpr const char* kAddEntryButton = "<< &Add";
inline constexpr const char* kDeleteEntryButton = "<< De&lete";
inline constexpr const char* kUpButton = "<< &Up";
inline constexpr const char* kDownButton = "<< &Down";
inline constexpr const char* kSaveButton = "Sa&ve";
// An entry whose song is no longer in the library.
inline constexpr const char* kMissingSong = "NO SONG INFO";
inline constexpr const char* kTrtFormat = "TRT: %02d:%02d:%02d";
inline constexpr const char* kAbandonPlaylistChanges =
    "The current playlist selection was changed. Do you really want to abort these changes? "
    "Clicking YES will abort the changes made, clicking NO will return you to the dialog box.";

}  // namespace vx::text
