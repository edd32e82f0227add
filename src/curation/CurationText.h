// The recorder's texts of song curation: the song editor, the song types, the cue point
// editors and the BPM counter.
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
// Shared by the dialogs that play a song while they run.
inline constexpr const char* kNoTimer =
    "Could not get a TIMER. Your system may be low on resources. Please reboot at your "
    "earliest convenience.";
inline constexpr const char* kInsertCd = "Insert '%s' into CD Drive.";
inline constexpr const char* kInsertCdStatus = "*INSERT CD*";
inline constexpr const char* kSongLabel = "Song:";
inline constexpr const char* kStatusLabel = "Status:";
inline constexpr const char* kPositionLabel = "Position:";
inline constexpr const char* kPlaybackControl = "Playback Control";
// Tool tips of the transport buttons (they show icons).
inline constexpr const char* kToStartTip = "To start";
inline constexpr const char* kBackTip = "Back 2 seconds";
inline constexpr const char* kPlayTip = "Play";
inline constexpr const char* kForwardTip = "Forward 2 seconds";
inline constexpr const char* kToEndTip = "To end";
inline constexpr const char* kStopTip = "Stop";
inline constexpr const char* kDoorTip = "Open or close the CD door";

// Cue point editors.
inline constexpr const char* kCueTitle = "Set Cue Points";
inline constexpr const char* kCdCueTitle = "Set Cue Points for CD Track";
inline constexpr const char* kCueNameColumn = "CUE NAME";
inline constexpr const char* kCueOffsetColumn = "OFFSET";
inline constexpr const char* kCueNumberColumn = "CUE NUM";
inline constexpr const char* kCueUp = "&Up";
inline constexpr const char* kCueDown = "Do&wn";
inline constexpr const char* kCueClose = "&Close";
inline constexpr const char* kEditCueGroup = "Edit Cue Point";
inline constexpr const char* kPlayQ = "Play &Q";
inline constexpr const char* kSetCurrentPos = "Set Cu&rrent Pos.";
inline constexpr const char* kCueSave = "&Save";
inline constexpr const char* kCuePosition = "P&os:";
inline constexpr const char* kNewCueGroup = "Cre&ate New Cue Point";
inline constexpr const char* kWaveCueNames[] = {"1 Beat",     "2 Beat",     "Drum intro",
                                                "Vocal hook", "Song start", "Vocal start"};
inline constexpr const char* kCdCueNames[] = {"1 Beat",     "2 Beat",     "Drum intro",
                                              "Vocal hook", "Song start", "Song fadeout"};

inline constexpr const char* kCueHintOpen =
    "Select an existing cue point from the list or click NEW to add a cue point.";
inline constexpr const char* kCueHintList =
    "Click one of the buttons to EDIT, DELETE or move the cue point up or down.";
inline constexpr const char* kCueHintNameBox =
    "Select a Cue Point from the list or type in a new Cue Point Name and click the NEW "
    "button to add.";
inline constexpr const char* kCueHintEdit =
    "Adjust the offset for this Cue Point and then click the SAVE button to save changes.";

inline constexpr const char* kCueGone =
    "Cue Name no longer exists. It may have been deleted by another user.";
inline constexpr const char* kCueNameTaken =
    "Cue Name already exists. Please choose a different name.";
inline constexpr const char* kCueUnsaved =
    "New Cue Point value has not been saved. Do you want to save the new value?";
inline constexpr const char* kCueDeleteQuestion = "Are you sure you want to delete cue point %s?";
inline constexpr const char* kCdCueDeleteQuestion =
    "Are you sure you want to delete cue point %s ?";
inline constexpr const char* kCueTooLate =
    "The position %s lies beyond 99:59 and cannot be kept as a cue point. Cue points must lie "
    "within the first 100 minutes of a song.";

// BPM counter.
inline constexpr const char* kBpmTitle = "Set Beats Per Minute";
inline constexpr const char* kBpmRestart = "&Restart";
inline constexpr const char* kBpmSet = "&Set";
inline constexpr const char* kBpmCancel = "&Cancel";
inline constexpr const char* kBpmVolume = "&Vol:";
// The tempo analysed from the song's sound, offered beside the counted one.
inline constexpr const char* kBpmAnalysedLabel = "Analysed:";
inline constexpr const char* kBpmAnalysing = "Analysing... %d%%";
inline constexpr const char* kBpmAnalysedFormat = "%.2f";
inline constexpr const char* kBpmNoSteadyBeat = "No steady beat found";
inline constexpr const char* kBpmNotAnalysedCd = "Not available for CD tracks";
inline constexpr const char* kBpmTakeAnalysed = "&Take";
inline constexpr const char* kBpmHint =
    "Click the UP or DOWN arrows to change the Beats Per Minute.";
inline constexpr const char* kMidiOpenFailed =
    "Error occurred when trying to open MIDI device. Make sure the correct MIDI device is set "
    "in Options.";

}  // namespace vx::text
