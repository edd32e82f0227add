// Checking and compacting a library file.
#pragma once

#include <string>
#include <vector>

namespace vx::admin {

// What is wrong with the library in folder: damage found by SQLite's integrity check,
// missing tables, a schema version other than 2.0, a missing Songs folder. Empty when sound.
std::vector<std::string> CheckLibrary(const std::string& folder);

// Checks the library and, when it is sound, compacts it. Answers the problems found (the
// file is left as it was when there are any).
std::vector<std::string> CompactLibrary(const std::string& folder);

}  // namespace vx::admin
