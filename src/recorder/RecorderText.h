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

}  // namespace vx::text
