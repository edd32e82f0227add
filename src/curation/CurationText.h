// The recorder's texts of song curation: the song editor and the song types.
#pragma once

namespace vx::text {

// Song editor.
inline constexpr const char* kSongInfoTitle = "Enter Song Information";
inline constexpr const char* kSongTitleFormat = "%s Song %ld";
inline constexpr const char* kViewWord = "View";
inline constexpr const char* kUpdateWord = "Update";
inline constexpr const char* kAddNewSongTitle = "Add new song";
inline constexpr const char* kSongTypeLabel = "Song &Type:";
inline constexpr const char* kSongNameLabel = "&Name:";
inline constexpr const char* kArtistLabel = "&Artist:";
inline constexpr const char* kAlbumLabel = "A&lbum:";
inline constexpr const char* kLabelLabel = "Label:";
inline constexpr const char* kAttributesLabel = "Attributes:";
inline constexpr const char* kRecDateLabel = "Rec Date:";
inline constexpr const char* kBpmLabel = "&BPM:";
inline constexpr const char* kSongDateLabel = "Song Date:";
inline constexpr const char* kLengthLabel = "Length:";
inline constexpr const char* kCdTrackIdLabel = "CD Track/ID:";
inline constexpr const char* kCommentsLabel = "Co&mments:";
inline constexpr const char* kSetBpmButton = "<< &Set";
inline constexpr const char* kEditCueListButton = "Edit C&ue List";
inline constexpr const char* kNeedSongName = "You MUST enter the name of the song before saving.";
inline constexpr const char* kNeedArtistName =
    "You MUST enter the name of the artist before saving.";
inline constexpr const char* kBadSongDate = "Please enter a valid date in MM/DD/YYYY format";
inline constexpr const char* kBpmFormat = "%.2f";
inline constexpr const char* kCdTrackFormat = "%u";
inline constexpr const char* kCddbFormat = "%lu";
inline constexpr const char* kSongTrackFormat = "%d";
// The media button's tool tip, by media code.
inline constexpr const char* kMediaWave = "WAV file";
inline constexpr const char* kMediaAdpcm = "ADPCM compressed WAV file";
inline constexpr const char* kMediaMp3 = "MP3 file";
inline constexpr const char* kMediaCd = "Audio CD track";
// Said on the main window's status line while a tool of the song editor is not built in.
inline constexpr const char* kBpmCounterNotAvailable = "Setting the BPM is not available yet.";
inline constexpr const char* kCueEditorNotAvailable = "Editing cue points is not available yet.";

// Song types.
inline constexpr const char* kSongTypeListTitle = "Update song type list";
inline constexpr const char* kSongTypeTitle = "Enter Song Type Information";
inline constexpr const char* kSongTypeColumn = "SONG TYPE";
inline constexpr const char* kTypeDescColumn = "TYPE DESC";
inline constexpr const char* kNewButton = "&New";
inline constexpr const char* kOkButton = "OK";
inline constexpr const char* kEditButton = "&Edit";
inline constexpr const char* kDeleteButton = "&Delete";
inline constexpr const char* kTypeCodeLabel = "Song &Type:";
inline constexpr const char* kTypeDescriptionLabel = "&Description:";
inline constexpr const char* kSongTypeMissing =
    "Song Type does not exist. It may have been deleted by another user.";
inline constexpr const char* kSongTypeExists =
    "Song Type already exists. Please choose a different Song Type that does not exist.";
inline constexpr const char* kConfirmDeleteType = "Are you sure you want to delete type %1?";

}  // namespace vx::text
