// The command line of vxadmin, the library administrator.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vx::admin {

// Runs one command; answers the process exit code (0 done, 1 the library has problems or
// the work failed, 2 the command line is wrong).
int RunAdmin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vx::admin
