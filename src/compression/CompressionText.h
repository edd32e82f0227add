// The recorder's texts of song compression: the conversion thread's failure messages and
// the "Compress all songs" dialog, in one table.
#pragma once

namespace vx::text {

// Conversion thread.
inline constexpr const char* kAcmThreadCode =
    "An error (Code %d) occurred in the AcmThread. Please contact Tech Support with this "
    "number for assistance.";
inline constexpr const char* kAcmThreadUnexpected =
    "An unexpected error has occurred in the Compressor Thread. Please write down what you did "
    "before this message appeared and call Tech Support.";
inline constexpr const char* kProductName = "Velumix";

// "Compress all songs" dialog.
inline constexpr const char* kCompressTitle = "Compress all songs";
inline constexpr const char* kCompressorLabel = "Co&mpressor:";
inline constexpr const char* kAdpcmCompressor = "ADPCM";
inline constexpr const char* kGo = "&Go!";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kCloseCaption = "C&lose";
inline constexpr const char* kSongsToCompress = "%ld songs to be compressed";
inline constexpr const char* kCompressingSong = "Compressing song %ld of %ld";
inline constexpr const char* kSongInProgress = "%ld (%s - %s)";
inline constexpr const char* kCompressComplete = "COMPLETE! %ld songs compressed.";
inline constexpr const char* kElapsedTime = "Elapsed time: %D days %H hrs %M mins";
inline constexpr const char* kNoCompressor =
    "The required audio compressor could not be found. You may have to run the setup program "
    "to install the required compressor.";
inline constexpr const char* kNoTimer =
    "Could not get a TIMER. Your system may be low on resources. Please reboot at your "
    "earliest convenience.";
inline constexpr const char* kReplaceFailed =
    "An error occurred while trying to delete source audio file as part of the compression "
    "process. The current song will not be flagged as compressed in the database.";
inline constexpr const char* kCompressorCode =
    "An unexpected error was detected in the compressor. The error code is %d. Please write "
    "down this message before calling Tech Support.";
inline constexpr const char* kThreadTimeout =
    "Timeout waiting for thread termination. Please restart Windows  as soon as possible.";

}  // namespace vx::text
