// Makes a new, empty library: DIR/Velumix.vxl with the six tables and their indexes,
// schema version 2.0, in WAL mode, and the folder DIR/Songs.
#pragma once

#include <string>

namespace vx::admin {

inline constexpr const char* kLibraryFileName = "Velumix.vxl";
inline constexpr const char* kSongsFolderName = "Songs";
// The library's tables, in the order the schema makes them.
inline constexpr const char* kLibraryTables[] = {"Songs",    "SongType",       "CueList",
                                                 "Playlist", "PlaylistDetail", "VeluParms"};

// Throws dao::DaoException on database errors and std::runtime_error when the folder
// cannot be made or a library already exists there.
void CreateLibrary(const std::string& folder);

// Makes the library file alone at path; removes it again when that fails. Throws
// dao::DaoException, or std::runtime_error when a file is at path already.
void CreateLibraryFile(const std::string& path);

}  // namespace vx::admin
