// The texts of the CD dialog "Log Song From Audio CD": its title, captions, mode displays and
// messages, in one table.
#pragma once

namespace vx::text {

inline constexpr const char* kLogCdTitle = "Log Song From Audio CD (Drive %c)";
inline constexpr const char* kInsertCd = "*INSERT CD*";
inline constexpr const char* kIntroIndicator = "INTRO";
inline constexpr const char* kScanIndicator = "SCAN";
inline constexpr const char* kRippingMode = "RIPPING";
inline constexpr const char* kRipTracksButton = "&Rip %d Tracks";
inline constexpr const char* kRippingTrack = "Ripping Track %d";
inline constexpr const char* kQueryingNewCd = "Querying new CD...";
inline constexpr const char* kNoTime = "--:--";
inline constexpr const char* kNoCounter = "--";
inline constexpr const char* kCounterFormat = "%02u";

// Captions.
inline constexpr const char* kPlayButton = "&Play";
inline constexpr const char* kStopButton = "&Stop";
inline constexpr const char* kEjectButton = "&Eject";
inline constexpr const char* kNormalMode = "&Normal";
inline constexpr const char* kIntroMode = "&Intro";
inline constexpr const char* kScanMode = "Sc&an";
inline constexpr const char* kSecondsLabel = "Secon&ds:";
inline constexpr const char* kSelectAll = "Select A&ll";
inline constexpr const char* kClearAll = "&Clear All";
inline constexpr const char* kUseCddb = "&Use CDDB";
inline constexpr const char* kCddbButton = "CDD&B";
inline constexpr const char* kCddbStatusLabel = "CDDB Status";
inline constexpr const char* kLogTrack = "Log &Track";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kCurrentLabel = "CURRENT";
inline constexpr const char* kTotalLabel = "TOTAL";
inline constexpr const char* kTrackLabel = "TRACK";
inline constexpr const char* kTracksLabel = "TRACKS";
inline constexpr const char* kTracksListLabel = "Trac&ks:";

// Messages.
inline constexpr const char* kCannotOpenCd =
    "Could not open CD-ROM drive %c. There may be another program running which is using the "
    "drive or Windows may not recognize this as a valid drive. Please correct the problem "
    "before proceeding.";
inline constexpr const char* kMciCommandFailed =
    "A Multimedia command necessary to perform this function did not work correctly. Please "
    "write down what happened just before this error occurred and contact Tech Support.";
inline constexpr const char* kNoTimer =
    "Could not get a TIMER. Your system may be low on resources. Please reboot at your "
    "earliest convenience.";
inline constexpr const char* kExtractionError =
    "An error occurred when extracting from an audio CD. The error code was %d. Please make "
    "sure the audio CD is clean and is not damaged.";
inline constexpr const char* kCopyIncomplete =
    "The copy from audio CD for track %d stopped before the end. Please ensure that the CD is "
    "clean and the track is readable.";
inline constexpr const char* kRippedFormatProblem =
    "A problem was found with the format of a ripped track. Please check the source CD and try "
    "again.";
inline constexpr const char* kCdTrackAdded = "CD Track successfully added to database.";

}  // namespace vx::text
