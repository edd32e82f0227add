// The texts of importing sound files: the checks of WAVE files, the wrapping of MP3 files and
// the import flow. Ids are the resource numbers the texts carry.
#pragma once

namespace vx::text {

// WAVE checks.
inline constexpr const char* kNoDetailedInfo =  // 61224
    "Could not get detailed information on sound file %s. To protect the database, this sound "
    "file will not be imported.";
inline constexpr const char* kRateTooLow =  // 61225
    "The selected sound file was sampled at a rate of %ld samples per second. For sound "
    "quality reasons, a sample rate of at least %ld samples per second is required. This file "
    "will not be imported.";
inline constexpr const char* kCompressedFormat =  // 61226
    "The selected file was recorded using compression (Format %s). Only un-compressed (PCM "
    "Format) WAV files may be imported into the database.";
inline constexpr const char* kTooFewBits =  // 61227
    "The selected sound file was sampled using %d bits per sample. For sound quality reasons, "
    "at least %d bits per sample is required. This file will not be imported.";
// The player and the compressor take 16-bit mono or stereo PCM only.
inline constexpr const char* kTooManyBits =  // 61228
    "The selected sound file was sampled using %d bits per sample. Songs of more than %d bits "
    "per sample cannot be played or compressed. This file will not be imported.";
inline constexpr const char* kTooManyChannels =  // 61229
    "The selected sound file has %d channels. Only mono and stereo sound files (at most %d "
    "channels) can be played or compressed. This file will not be imported.";

// MP3 wrapping.
inline constexpr const char* kNoMp3Header =  // 61311
    "Could not identify MP3 header information in source file. Check that source is a valid "
    "MP3 format file.";
inline constexpr const char* kNotLayer3 =  // 61312
    "Only Layer-3 format files may be imported. This MPEG file is not in Layer-3 format.";
inline constexpr const char* kInvalidMp3Header =  // 61313
    "An invalid value was found in the MP3 header information. Ensure that this is a valid MP3 "
    "format file and is not corrupted.";
inline constexpr const char* kLowQualityMp3 =  // 61314
    "The selected file is not a high quality MP3 format. Please ensure that the MP3 file has a "
    "samplerate of 22050 Hz or higher and a bitrate of 64000 or higher.";
inline constexpr const char* kMp3OutputError =  // 61315
    "Error creating output WAV file for MP3 import.";

// The import flow: the open-file dialog (its title 61276 and its check box, control 1152)
// and the notice while the audio is copied into the library (61257).
inline constexpr const char* kImportSongTitle = "Import Song";
inline constexpr const char* kImportFilter =
    "Audio files (*.WAV, *.MP3)|*.wav;*.mp3|All Files (*.*)|*.*||";
inline constexpr const char* kDeleteSourceFile = "&Delete Source Audio File";
inline constexpr const char* kCopyingFile = "Copying file. Please wait...";
// A file of the Songs folder is another song's audio: it is never deleted as a source.
inline constexpr const char* kSourceInSongs =
    "The file %s is in the library's Songs folder and may belong to another song, so it cannot "
    "be deleted after the import. Clear \"Delete Source Audio File\" to import a copy of it.";

}  // namespace vx::text
