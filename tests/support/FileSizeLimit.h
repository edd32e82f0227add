// Makes the disk "fill up" for as long as it lives: writes that would take any file past
// `bytes` fail (EFBIG), as they would on a full disk. Only the process's own writes are
// limited, and the limit is lifted again when this goes out of scope.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace vx::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    // A write past the limit would otherwise end the process.
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

}  // namespace vx::test
