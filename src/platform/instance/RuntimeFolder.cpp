#include "platform/instance/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vx {
namespace {

// The runtime folder the system provides, or nothing.
const char* SystemRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0' && access(runtime, W_OK) == 0) return runtime;
  return nullptr;
}

}  // namespace

std::string RuntimeFolder() {
  if (const char* runtime = SystemRuntimeFolder()) return runtime;
  return "/tmp/velumix-" + std::to_string(getuid());
}

bool MakeRuntimeFolder(std::string& error) {
  if (SystemRuntimeFolder() != nullptr) return true;
  return MakePrivateFolder(RuntimeFolder(), error);
}

bool MakePrivateFolder(const std::string& folder, std::string& error) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    error = "cannot make " + folder + ": " + std::strerror(errno);
    return false;
  }
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) {
    error = "cannot read " + folder + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISDIR(info.st_mode)) {
    error = folder + " is not a folder";
  } else if (info.st_uid != geteuid()) {
    error = folder + " belongs to another user";
  } else if ((info.st_mode & 077) != 0) {
    error = folder + " is open to other users";
  } else {
    return true;
  }
  return false;
}

}  // namespace vx
