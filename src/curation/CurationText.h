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

// Song search and deletion.
inline constexpr const char* kSearchTitle = "Search Song Database";
inline constexpr const char* kSearchTypeLabel = "&Type:";
inline constexpr const char* kSearchNameLabel = "&Name:";
inline constexpr const char* kSearchArtistLabel = "&Artist:";
inline constexpr const char* kSearchAlbumLabel = "Alb&um:";
inline constexpr const char* kSearchLabelLabel = "Label:";
inline constexpr const char* kSearchMediaLabel = "&Media:";
inline constexpr const char* kSearchMediaAll = "A&ll";
inline constexpr const char* kSearchMediaWav = "&WAV";
inline constexpr const char* kSearchMediaCd = "C&D";
inline constexpr const char* kSearchBpmLabel = "&BPM:";
inline constexpr const char* kSearchBpmAll = "All";
inline constexpr const char* kSearchBpmEqual = "=";
inline constexpr const char* kSearchBpmGreater = ">";
inline constexpr const char* kSearchBpmLess = "<";
inline constexpr const char* kSearchBpmBetween = "Between";
inline constexpr const char* kSearchAllTypes = "*ALL*";
inline constexpr const char* kSearchListLabel = "Choose a S&ong:";
inline constexpr const char* kSearchNameColumn = "NAME";
inline constexpr const char* kSearchArtistColumn = "ARTIST";
inline constexpr const char* kSearchGenreColumn = "GENRE";
inline constexpr const char* kSearchBpmColumn = "BPM";
inline constexpr const char* kSearchIdColumn = "ID";
inline constexpr const char* kSearchBpmFormat = "%06.2f";
inline constexpr const char* kSearchIdFormat = "%ld";
inline constexpr const char* kSearchButton = "&Search";
inline constexpr const char* kViewButton = "&View";
inline constexpr const char* kSearchEditButton = "&Edit";
inline constexpr const char* kSearchDeleteButton = "Delete";
inline constexpr const char* kCloseButton = "&Close";
inline constexpr const char* kReportsGroup = "&Reports";
inline constexpr const char* kReportTitleLabel = "T&itle:";
inline constexpr const char* kPrintButton = "&Print";
inline constexpr const char* kReportSummary = "Summary";
inline constexpr const char* kReportDetail = "Detail";
inline constexpr const char* kReportCueList = "CueList";
inline constexpr const char* kReportPreviewTitle = "Velumix Report Preview";
inline constexpr const char* kConfirmDeleteSong =
    "The selected song will be erased FOREVER. You will NOT be able to undo this. Are you "
    "SURE you want to delete the selected song? ";
inline constexpr const char* kDeleteSongFailed =
    "An error occurred while trying to delete the requested song. The song will not be "
    "removed from the database.";

}  // namespace vx::text
