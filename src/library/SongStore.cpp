#include "library/SongStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace vx {
namespace {

std::string Numbered(const std::string& folder, const char* pattern, std::uint32_t songId) {
  char name[32];
  std::snprintf(name, sizeof name, pattern, songId);
  return folder + "/" + name;
}

// Where the next temporary-name search starts; shared by all callers of this process so
// that concurrent callers rarely even collide before O_EXCL settles it.
std::atomic<unsigned> g_nextTempNumber{static_cast<unsigned>(
    std::chrono::steady_clock::now().time_since_epoch().count() ^ getpid())};

// Copies every byte of one open file to another: in the kernel where it can, else through a
// buffer.
bool CopyBytes(int from, int to) {
  bool kernelCopy = true;
  std::vector<char> buffer;
  while (true) {
    ssize_t moved = -1;
    if (kernelCopy) {
      moved = copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0);
      if (moved < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP ||
                        errno == EINVAL)) {
        kernelCopy = false;
        continue;
      }
    } else {
      if (buffer.empty()) buffer.resize(std::size_t{1} << 20);
      moved = read(from, buffer.data(), buffer.size());
      for (ssize_t done = 0; moved > 0 && done < moved;) {
        const ssize_t written = write(to, buffer.data() + done, static_cast<std::size_t>(moved - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += written;
      }
    }
    if (moved < 0 && errno == EINTR) continue;
    if (moved <= 0) return moved == 0;
  }
}

bool AllOf(const std::string& text, std::size_t from, std::size_t count, int (*test)(int)) {
  if (text.size() < from + count) return false;
  for (std::size_t i = from; i < from + count; ++i) {
    if (test(static_cast<unsigned char>(text[i])) == 0) return false;
  }
  return true;
}

int IsUpperHexDigit(int c) { return std::isdigit(c) != 0 || (c >= 'A' && c <= 'F') ? 1 : 0; }

}  // namespace

std::string SongsFolder(const std::string& libraryFolder) { return libraryFolder + "/Songs"; }

std::string SongFileName(const std::string& libraryFolder, std::uint32_t songId) {
  return SongFileNameInFolder(SongsFolder(libraryFolder), songId);
}

std::string SongFileNameInFolder(const std::string& songsFolder, std::uint32_t songId) {
  return Numbered(songsFolder, "Song%010u.Wav", songId);
}

std::string CompressionTempName(const std::string& songsFolder, std::uint32_t songId) {
  return Numbered(songsFolder, "Temp%010u.Wav", songId);
}

bool IsCompressionTempName(const std::string& name) {
  return name.size() == 18 && name.starts_with("Temp") && AllOf(name, 4, 10, isdigit) &&
         name.ends_with(".Wav");
}

bool IsSongsTempName(const std::string& name) {
  if (IsCompressionTempName(name)) return true;
  if (name.size() != 11 || !AllOf(name, 3, 4, IsUpperHexDigit) || !name.ends_with(".tmp")) {
    return false;
  }
  const std::string prefix = name.substr(0, 3);
  return prefix == kTakeTempPrefix || prefix == kImportTempPrefix || prefix == kCopyTempPrefix;
}

std::string MakeTempFileName(const std::string& folder, const std::string& prefix) {
  const std::string head = folder + "/" + prefix.substr(0, 3);
  for (unsigned attempt = 0; attempt < 0x10000; ++attempt) {
    // Four hex digits, never 0000.
    const unsigned number = (g_nextTempNumber.fetch_add(1) % 0xffff) + 1;
    char tail[16];
    std::snprintf(tail, sizeof tail, "%04X.tmp", number);
    const std::string path = head + tail;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      close(fd);
      return path;
    }
    if (errno != EEXIST) return {};
  }
  return {};
}

bool CopySongFile(const std::string& source, const std::string& songFile) {
  const std::string temp =
      MakeTempFileName(std::filesystem::path(songFile).parent_path().string(), kCopyTempPrefix);
  if (temp.empty()) return false;
  const int from = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  const int to = open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  bool copied = from >= 0 && to >= 0 && CopyBytes(from, to);
  if (from >= 0) close(from);
  if (to >= 0 && close(to) != 0) copied = false;
  if (copied && std::rename(temp.c_str(), songFile.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

bool IsInSongsFolder(const std::string& path, const std::string& libraryFolder) {
  std::error_code error;
  return std::filesystem::equivalent(std::filesystem::path(path).parent_path(),
                                     SongsFolder(libraryFolder), error);
}

bool GetDiskSpace(const std::string& path, double& freeBytes, double& totalBytes) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) == 0) {
    freeBytes = static_cast<double>(info.f_bavail) * static_cast<double>(info.f_frsize);
    totalBytes = static_cast<double>(info.f_blocks) * static_cast<double>(info.f_frsize);
  }
  return true;
}

bool MoveSongFile(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace rename: a hard link refuses an existing name too.
  if (link(from.c_str(), to.c_str()) == 0) {
    unlink(from.c_str());
    return true;
  }
  if (errno != EPERM && errno != EOPNOTSUPP) return false;
  // Neither (a FAT stick): look first, then rename.
  struct stat info {};
  if (lstat(to.c_str(), &info) == 0 || errno != ENOENT) return false;
  return rename(from.c_str(), to.c_str()) == 0;
}

bool ReplaceSongFile(const std::string& songFile, const std::string& newFile,
                     const std::function<void()>& onFailure) {
  struct stat info {};
  if (stat(songFile.c_str(), &info) == 0 && chmod(songFile.c_str(), info.st_mode | S_IWUSR) != 0) {
    onFailure();
  }
  if (std::rename(newFile.c_str(), songFile.c_str()) != 0) {
    onFailure();
    return false;
  }
  return true;
}

}  // namespace vx
