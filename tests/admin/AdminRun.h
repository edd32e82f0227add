// Runs vxadmin's command line in the test process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "admin/AdminCommands.h"

namespace vx::admin {

struct Result {
  int code;
  std::string out;
  std::string err;
};

inline Result Admin(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = RunAdmin(args, out, err);
  return {code, out.str(), err.str()};
}

}  // namespace vx::admin
