#include "recorder/DiskFigures.h"

#include <algorithm>

#include "library/SongStore.h"

namespace vx {

DiskFigures QueryDiskSpace(const std::string& path) {
  DiskFigures figures;
  GetDiskSpace(path, figures.freeBytes, figures.totalBytes);
  return figures;
}

int FreePercent(const DiskFigures& figures) {
  // A file system that reports no size (or could not be asked) must not divide by zero.
  if (!(figures.totalBytes > 0)) return 0;
  const double percent = figures.freeBytes / figures.totalBytes * 100.0;
  return std::clamp(static_cast<int>(percent), 0, 100);
}

}  // namespace vx
