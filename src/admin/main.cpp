// vxadmin: the Velumix library administrator.
#include <iostream>
#include <string>
#include <vector>

#include "admin/AdminCommands.h"

int main(int argc, char** argv) {
  return vx::admin::RunAdmin(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                             std::cerr);
}
