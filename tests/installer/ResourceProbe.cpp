// Answers where a program in this program's folder would find its resources and helpers.
// The installation tests copy it into an installed bin/ folder and ask it there.
//   vx_resource_probe resource PATH | helper NAME ...
#include <cstdio>
#include <string>

#include "platform/process/Process.h"

int main(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string kind = argv[i];
    const std::string name = argv[i + 1];
    const std::string found =
        kind == "helper" ? vx::FindHelperProgram(name) : vx::FindResource(name);
    std::printf("%s\n", found.c_str());
  }
  return argc % 2 == 1 ? 0 : 2;
}
