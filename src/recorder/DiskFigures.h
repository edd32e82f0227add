// Free and total bytes of the file system holding a path, as the recorder shows them, and
// the injectable query that supplies them (tests give fixed figures).
#pragma once

#include <functional>
#include <string>

namespace vx {

struct DiskFigures {
  double freeBytes = 0;   // available to this user
  double totalBytes = 0;
};

using DiskSpaceQuery = std::function<DiskFigures(const std::string& path)>;

// GetDiskSpace of the song store; zeros when the path cannot be queried.
DiskFigures QueryDiskSpace(const std::string& path);

// free / total as a whole percentage 0..100 (truncated); 0 when the total is unknown.
int FreePercent(const DiskFigures& figures);

}  // namespace vx
