// User-visible texts of the library code that both the recorder and the player link.
#pragma once

namespace vx::text {

inline constexpr const char* kGlobalMutexName = "VelumixGlobalMutex";
inline constexpr const char* kAnotherProgramRunning =
    "Another Velumix program is running. Only one Velumix application may run at a time.";
// Followed by what failed, e.g. "cannot open /run/user/1000/VelumixGlobalMutex: Is a directory".
inline constexpr const char* kLockNotMade = "The Velumix program lock could not be made: ";

inline constexpr const char* kDaoErrorIntro =
    "A database error has occurred. Please write down this message before calling Tech "
    "Support.\n";
inline constexpr const char* kDaoInUse =
    "The database is being used by another program. Please exit the other program before "
    "continuing.";
inline constexpr const char* kDaoCorrupt =
    "The database may be corrupted. Please run the 'Repair' option of the Velumix "
    "Administrator.";
inline constexpr const char* kDaoErrorLine = "Dao error: [%ld] [%s]\n[%s]\n";

// A tempo typed as a search criterion that is not a number.
inline constexpr const char* kBpmNotNumber =
    "The BPM must be a number, such as 120 or 120.5. Please correct it and press Find again.";

inline constexpr const char* kNoMemory =
    "Not enough memory to complete the last command. Please reboot the system.";
inline constexpr const char* kUnexpectedError =
    "An unexpected error has occurred. Please write down what you did before this message "
    "appeared and call Tech Support.";

}  // namespace vx::text
