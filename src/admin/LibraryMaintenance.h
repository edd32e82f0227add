// Checking and compacting a library file.
#pragma once

#include <string>
#include <vector>

namespace vx::admin {

// What is wrong with the library in folder: what CheckLibraryStructure finds, then songs
// (other than CD songs) whose audio file is missing and files in Songs that no song names
// (other than the leftovers below). Empty when sound.
std::vector<std::string> CheckLibrary(const std::string& folder);

// The names of the temporary files in the library's Songs folder (IsSongsTempName), sorted:
// left there by a recording, import or compression that ended abruptly, they are no damage
// and may be deleted while no Velumix program runs.
std::vector<std::string> LeftoverTempFiles(const std::string& folder);

// The library file (as CheckLibraryFile) and the Songs folder, without the audio files.
std::vector<std::string> CheckLibraryStructure(const std::string& folder);

// What is wrong with a library file: damage found by SQLite's integrity check, missing
// tables, a schema version other than 2.0.
std::vector<std::string> CheckLibraryFile(const std::string& path);

// Checks the library's structure and, when it is sound, compacts the file. Answers the problems found (the
// file is left as it was when there are any).
std::vector<std::string> CompactLibrary(const std::string& folder);

}  // namespace vx::admin
