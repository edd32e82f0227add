// vxadmin import: batch import into the recorded library, with progress, a summary, and a
// clean stop on SIGINT or SIGTERM after the file in hand.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vx::admin {

// args are the words after "import"; folder is the library, already locked by the caller.
// Exit codes: 0 every file imported or skipped, 1 some
// file refused (or the library could not be used), 2 a wrong command line, 130 interrupted.
int RunImport(const std::vector<std::string>& args, const std::string& folder, std::ostream& out,
              std::ostream& err);

}  // namespace vx::admin
