// The recorder's string table: every text the recorder shows, once.
#pragma once

namespace vx::text {

inline constexpr const char* kRecorderTitle = "Velumix Recorder";
inline constexpr const char* kDbEntryNotFound =
    "The database entry was not found in the Registry. Do you want to search for the database "
    "file yourself? If you select NO, you will have to run the Velumix Administrator to "
    "re-create the database.";
inline constexpr const char* kCannotRunWithoutDb =
    "Velumix cannot run without locating it's database. Please run the Velumix Administrator "
    "to create a new database or search for the database file manually.";
inline constexpr const char* kDbFileFilter =
    "Velumix Database (Velumix.vxl)|Velumix.vxl|All Files (*.*)|*.*||";
inline constexpr const char* kDbVersionWrong =
    "The database version is not correct. Please close the application and run the Convert "
    "utility.";
inline constexpr const char* kAdministratorProgram = "vxadmin";
inline constexpr const char* kFullMaintArgument = "/Fullmaint=%ld";
inline constexpr const char* kExit = "E&xit";

// Main window buttons (captions) and their hints.
inline constexpr const char* kRecordNewSong = "&Record New Song...";
inline constexpr const char* kRecordNewSongHint =
    "<< Click to record a new song and log it into the database.";
inline constexpr const char* kImportSoundFile = "&Import Sound File...";
inline constexpr const char* kImportSoundFileHint =
    "<< Click to import an existing sound file (WAV or MP3 format) and log it into the "
    "database.";
inline constexpr const char* kLogSongFromCd = "&Log Song from CD...";
inline constexpr const char* kLogSongFromCdHint =
    "<< Click to log a track from an audio CD into the database. ";
inline constexpr const char* kSearch = "&Search (F12)...";
inline constexpr const char* kSearchHint =
    "<< Click to search the database of songs. You can also view or change song information "
    "here.";
inline constexpr const char* kCompressSongs = "&Compress Songs...";
inline constexpr const char* kCompressSongsHint =
    "<< Click to shrink the size of any sound files so that more can fit on your hard disk.";
inline constexpr const char* kSongTypes = "Song T&ypes...";
inline constexpr const char* kSongTypesHint =
    "<< Click to change the list of music types used by Velumix. ";
inline constexpr const char* kOptions = "&Options...";
inline constexpr const char* kOptionsHint =
    "<< Click to set personal options for using the Velumix software.";
inline constexpr const char* kTechInfo = "&TechInfo...";
inline constexpr const char* kTechInfoHint =
    "<< Click for the version of the Velumix software and technical info about your PC.";
inline constexpr const char* kPlaylist = "&Playlist";
inline constexpr const char* kPlaylistHint =
    "<< Click to create and edit lists of songs to play in sequence.";
inline constexpr const char* kExitHint = "<< Click to exit the Velumix Recorder.";
// Appended to the hint of a button whose flow is not part of this build yet.
inline constexpr const char* kNotAvailableYet = " (not available yet)";

// Main window database summary and status line.
inline constexpr const char* kSummaryTitle = "Song Database";
inline constexpr const char* kSongsOnCd = "Songs on CD:";
inline constexpr const char* kCompressedWav = "+ Compressed WAV:";
inline constexpr const char* kUncompressedWav = "+ Un-Compressed WAV:";
inline constexpr const char* kTotalSongs = "= Total Songs:";
inline constexpr const char* kAvailSpace = "Avail. Space:";
inline constexpr const char* kSpaceFormat = "%.0f of %.0f Megs free on drive %c";
inline constexpr const char* kClickToStart = "Click the appropriate button on this form to start.";

// Record New Song.
inline constexpr const char* kCouldNotCopyWav =
    "Could not copy WAV file. Disk may be full or file may be corrupted.";
inline constexpr const char* kSongCreated = "%s successfully created.";
inline constexpr const char* kNoTakeFile =
    "Could not create a file for the recording in %s. The disk may be full or the folder may "
    "be write protected.";
inline constexpr const char* kTakeEmpty =
    "Nothing was recorded, so no song was added to the database.";
inline constexpr const char* kTakeUnfinished =
    "The recording could not be completed on disk (the disk may be full), so no song was "
    "added to the database.";

// About box.
inline constexpr const char* kAboutTitle = "About Velumix";
inline constexpr const char* kVersionFormat = "Version %s  [%s - %s]";
inline constexpr const char* kCreditsResource = ":/velumix/credits.txt";
inline constexpr const char* kIconResource = ":/velumix/icons/vxrec.png";

// Options.
inline constexpr const char* kOptionsTitle = "Options";
inline constexpr const char* kCdRomDriveLabel = "&CD-ROM Drive:";
inline constexpr const char* kMidiDeviceLabel = "&MIDI Device:";
inline constexpr const char* kShowTips = "Show &Tips at Startup:";

// Technical information report. Every line ends in kLineEnd.
inline constexpr const char* kTechInfoTitle = "Technical Information";
inline constexpr const char* kClose = "&Close";
inline constexpr const char* kLineEnd = "\r\n";
inline constexpr const char* kTechVersionLine = "Velumix Version %s  [%s - %s]%s%s";
inline constexpr const char* kTechPlatform = "Platform:\t\t";
inline constexpr const char* kTechOsVersion = "Version:\t\t%s";
inline constexpr const char* kTechOsError = "**Error getting Windows version";
inline constexpr const char* kTechDatabase = "Song Database:\t";
inline constexpr const char* kTechDatabaseVersion = "DAO Version:\t";
inline constexpr const char* kTechAcmVersion = "ACM Version:\t%u.%02u build %u";
inline constexpr const char* kTechAcmNotAvailable = "ACM Version:\tnot available";
inline constexpr const char* kTechCodecCount = "CODECs installed:\t%lu";
inline constexpr const char* kTechCodecList = "List of installed CODECS:";
inline constexpr const char* kTechCodecEntry = "\t%s";
inline constexpr const char* kTechPrintEngine = "Print Engine:";
inline constexpr const char* kTechPrintDll = "  DLL Version:\t%d.%02d";
inline constexpr const char* kTechPrintEngineVersion = "  Engine version:\t%d.%02d";
inline constexpr const char* kTechPrintNotAvailable = "  not available";
inline constexpr const char* kTechDrives = "Drive Information:";
inline constexpr const char* kTechDriveLine = "  Drive %s\t%s\tTotal/Free: %.0fM / %.0fM\t(%.0f%%)";
inline constexpr const char* kTechRemovable = "REMOVABLE";
inline constexpr const char* kTechFixed = "FIXED DRIVE";
inline constexpr const char* kTechNetwork = "NETWORK DRIVE";
inline constexpr const char* kTechCdDrives = "CDROM Drives:";
inline constexpr const char* kTechCdDrive = "  %c:";
inline constexpr const char* kTechMidiDevices = "MIDI Devices:";
inline constexpr const char* kTechMidiDevice = "  %s";

}  // namespace vx::text
