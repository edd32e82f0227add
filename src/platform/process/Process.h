// Starting helper programs and finding the folder the running program lives in.
#pragma once

#include <string>
#include <vector>

namespace vx {

// The folder that holds the running program (from /proc/self/exe).
std::string ProgramFolder();

// Finds a resource (the report templates' folder "Reports", a skin) by its path relative to
// the resource folder: beside the running program first (the build tree), then in
// <prefix>/share/velumix when the program runs from <prefix>/bin (an installed or relocated
// tree). Answers the first path that exists, or the one beside the program when none does.
std::string FindResource(const std::string& relative);
// The same search from a given program folder.
std::string FindResourceFrom(const std::string& programFolder, const std::string& relative);

// Finds a helper program: beside the running program first, then on PATH. Answers the
// path to run, or the bare name when it is not found (so that starting it fails cleanly).
std::string FindHelperProgram(const std::string& name);

struct SpawnOptions {
  // The program leads a process group of its own, so that it and whatever it starts can be
  // ended together.
  bool ownProcessGroup = false;
};

// Starts program with args and does not wait for it. Answers the process id, or -1 when it
// could not be started. The program gets this process's standard input, output and error
// and no other descriptor, no blocked signal and the default action for SIGPIPE: nothing
// this process holds or has set up is handed down.
int SpawnDetached(const std::string& program, const std::vector<std::string>& args,
                  SpawnOptions options = {});

}  // namespace vx
