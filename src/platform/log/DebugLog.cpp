#include "platform/log/DebugLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vx {

bool DebugLogEnabled() {
  static const bool enabled = [] {
    const char* value = std::getenv("VELUMIX_DEBUG");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return enabled;
}

void DebugLog(std::string_view line) {
  if (!DebugLogEnabled()) return;
  while (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  // One call per line: stdio locks the stream, so lines of two threads do not interleave.
  std::fprintf(stderr, "vx: %.*s\n", static_cast<int>(line.size()), line.data());
}

}  // namespace vx
