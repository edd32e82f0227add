#include "installer/CodecInstall.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "installer/InstallerText.h"
#include "platform/settings/SystemSettings.h"

namespace vx::installer {
namespace {

namespace fs = std::filesystem;

std::uintmax_t SizeOrZero(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  return error ? 0 : size;
}

// Copies source to target through a temporary file beside the target; the target is
// replaced only once the whole source has been read and written.
bool CopyReplacing(const fs::path& source, const fs::path& target) {
  std::string temporary = target.string() + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  close(fd);
  std::error_code error;
  fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, error);
  if (!error) {
    fs::permissions(temporary,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                        fs::perms::others_read,
                    error);
  }
  if (!error) fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace

std::string CodecFolder(bool systemWide) {
  if (systemWide) return SystemPath("/usr/local/lib/velumix/codecs");
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && *data == '/') return std::string(data) + "/velumix/codecs";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/share/velumix/codecs";
}

std::string CodecFolderForThisUser() { return CodecFolder(geteuid() == 0); }

CodecCopy InstallCodecFile(const std::string& source, const std::string& folder) {
  const fs::path target = fs::path(folder) / text::kCodecTarget;
  if (SizeOrZero(source) == SizeOrZero(target)) return CodecCopy::Equal;
  std::error_code error;
  fs::create_directories(folder, error);
  if (fs::exists(target, error)) CopyReplacing(target, fs::path(folder) / text::kCodecBackup);
  return CopyReplacing(source, target) ? CodecCopy::Copied : CodecCopy::Failed;
}

void RegisterCodec(const SetSystemValue& set) {
  set(QString::fromLatin1(text::kDriversKey), QString::fromLatin1(text::kDriverName),
      QString::fromLatin1(text::kCodecTarget));
  set(QString::fromLatin1(text::kDescriptionsKey), QString::fromLatin1(text::kCodecTarget),
      QString::fromLatin1(text::kCodecDescription));
}

}  // namespace vx::installer
