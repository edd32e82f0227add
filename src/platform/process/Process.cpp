#include "platform/process/Process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace vx {
namespace {

bool IsExecutable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string ProgramFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error).string();
  return exe.parent_path().string();
}

std::string FindResource(const std::string& relative) {
  return FindResourceFrom(ProgramFolder(), relative);
}

std::string FindResourceFrom(const std::string& programFolder, const std::string& relative) {
  namespace fs = std::filesystem;
  const fs::path beside = fs::path(programFolder) / relative;
  std::error_code error;
  if (fs::exists(beside, error)) return beside.string();
  const fs::path shared = fs::path(programFolder).parent_path() / "share" / "velumix" / relative;
  if (fs::exists(shared, error)) return shared.string();
  return beside.string();
}

std::string FindHelperProgram(const std::string& name) {
  const std::string beside = ProgramFolder() + "/" + name;
  if (IsExecutable(beside)) return beside;
  const char* path = std::getenv("PATH");
  std::string entries = path != nullptr ? path : "";
  std::size_t begin = 0;
  while (begin <= entries.size()) {
    std::size_t end = entries.find(':', begin);
    if (end == std::string::npos) end = entries.size();
    const std::string folder = entries.substr(begin, end - begin);
    if (!folder.empty() && IsExecutable(folder + "/" + name)) return folder + "/" + name;
    begin = end + 1;
  }
  return name;
}

int SpawnDetached(const std::string& program, const std::vector<std::string>& args,
                  SpawnOptions options) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  sigset_t none;
  sigset_t defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if (options.ownProcessGroup) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  posix_spawnattr_setflags(&attributes, flags);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  pid_t pid = -1;
  const int error =
      posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

}  // namespace vx
