// Where a library keeps its song audio: the Songs folder beside Velumix.vxl, one WAVE file
// per stored song named after its SongID, temporary files made there while a song is being
// recorded, imported or compressed, and the free space of the disk that holds them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vx {

// SongCompression codes of a song's audio.
inline constexpr char kCodePcm = ' ';
inline constexpr char kCodeAdpcm = 'A';
inline constexpr char kCodeMp3 = 'M';
inline constexpr char kCodeCd = 'C';

// "<library>/Songs".
std::string SongsFolder(const std::string& libraryFolder);
// "<library>/Songs/Song%010u.Wav".
std::string SongFileName(const std::string& libraryFolder, std::uint32_t songId);
// "<songsFolder>/Song%010u.Wav", for code that already holds the Songs folder.
std::string SongFileNameInFolder(const std::string& songsFolder, std::uint32_t songId);
// "<songsFolder>/Temp%010u.Wav": the output of compressing one song.
std::string CompressionTempName(const std::string& songsFolder, std::uint32_t songId);

// Prefixes of the temporary files made in Songs with MakeTempFileName.
inline constexpr const char* kTakeTempPrefix = "VXR";    // a recording take or a ripped track
inline constexpr const char* kImportTempPrefix = "VXM";  // an MP3 being imported
inline constexpr const char* kCopyTempPrefix = "VXC";    // a song file being copied in

// Whether name (a file name without its folder) is "Temp%010u.Wav".
bool IsCompressionTempName(const std::string& name);
// Whether name is a take, import, copy or compression temporary file. Such a file outlives
// the program that made it only when that program ended abruptly; no song names it then.
bool IsSongsTempName(const std::string& name);

// Makes a new, empty file "<prefix>XXXX.tmp" in folder (XXXX four hexadecimal digits) that
// did not exist before, also when several callers ask at once. Answers its path, or an empty
// string when the folder is not writable or every name is taken.
std::string MakeTempFileName(const std::string& folder, const std::string& prefix);

// Copies source to songFile through a new temporary file in songFile's folder, renamed to
// songFile (replacing any file of that name) only once every byte is written, so a failed or
// interrupted copy never leaves a partial file under a song's name. False when the copy
// could not be completed; nothing is left behind then.
bool CopySongFile(const std::string& source, const std::string& songFile);

// Whether path names a file directly inside the library's Songs folder (however either is
// spelled): such a file is the audio of a song, or a song in the making.
bool IsInSongsFolder(const std::string& path, const std::string& libraryFolder);

// Free bytes available to the caller and total bytes of the file system holding path. Always
// answers true; the values are left as they were when the path cannot be queried.
bool GetDiskSpace(const std::string& path, double& freeBytes, double& totalBytes);

// Moves a finished take or import (a file in the Songs folder) to its song's name. Never
// replaces a file that is already there; answers false and leaves the source where it was
// when the move cannot be made.
bool MoveSongFile(const std::string& from, const std::string& to);

// Puts a converted file in the place of a song's file: makes the old file writable, then
// renames the new file over it in one step, so the song never lacks its audio. Each failed
// step is reported through onFailure; answers true only when the new file is in place.
bool ReplaceSongFile(const std::string& songFile, const std::string& newFile,
                     const std::function<void()>& onFailure);

}  // namespace vx
