// The programs' debug log: lines that help find out why a device or a library misbehaved
// but that a user does not need to see. They go to standard error, prefixed "vx: ", when
// the environment variable VELUMIX_DEBUG is 1, and nowhere otherwise.
#pragma once

#include <string_view>

namespace vx {

bool DebugLogEnabled();
// Writes one line (a trailing newline in `line` is dropped). Thread-safe.
void DebugLog(std::string_view line);

}  // namespace vx
