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

// Makes a new, empty file "<prefix>XXXX.tmp" in folder (XXXX four hexadecimal digits) that
// did not exist before, also when several callers ask at once. Answers its path, or an empty
// string when the folder is not writable or every name is taken.
std::string MakeTempFileName(const std::string& folder, const std::string& prefix);

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
