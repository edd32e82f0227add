// The current test's own temporary folder. Settings (QSettings) and the runtime folder
// ($XDG_RUNTIME_DIR, where the instance lock lives) and the system root ($VELUMIX_SYSTEM_DIR)
// point into it for the test's duration.
#pragma once

#include <string>
#include <vector>

namespace vx::test {

// The folder of the running test; made fresh before each test, removed after it unless the
// test failed (then it is kept, and its path printed, for a look at its tapes and files).
const std::string& TestFolder();

// Makes an empty library (DIR/Velumix.vxl, DIR/Songs) in TestFolder()/name and records it as
// SongDbPath. Answers its folder.
std::string MakeTestLibrary(const std::string& name = "library");

// The names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

void ResetTestFolder();
void RemoveTestFolder();
// Leaves the folder where it is and answers its path; the next test gets a new one.
std::string KeepTestFolder();

}  // namespace vx::test
