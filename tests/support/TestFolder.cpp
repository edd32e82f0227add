#include "support/TestFolder.h"

#include <QSettings>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "admin/LibraryCreator.h"
#include "platform/settings/ProfileSettings.h"

namespace vx::test {
namespace {
std::string g_folder;
}

const std::string& TestFolder() {
  if (g_folder.empty()) ResetTestFolder();
  return g_folder;
}

void ResetTestFolder() {
  RemoveTestFolder();
  std::string pattern = (std::filesystem::temp_directory_path() / "vxtest-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  g_folder = pattern;
  std::filesystem::create_directories(g_folder + "/config");
  std::filesystem::create_directories(g_folder + "/run");
  const QString config = QString::fromStdString(g_folder + "/config");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
  setenv("XDG_RUNTIME_DIR", (g_folder + "/run").c_str(), 1);
  // Anything system-wide (settings, the codec folder) lands in the test's folder, also when
  // the suite runs as root.
  setenv("VELUMIX_SYSTEM_DIR", (g_folder + "/system").c_str(), 1);
}

void RemoveTestFolder() {
  if (g_folder.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(g_folder, ignored);
  g_folder.clear();
}

std::string KeepTestFolder() {
  std::string kept;
  kept.swap(g_folder);
  return kept;
}

std::string MakeTestLibrary(const std::string& name) {
  const std::string folder = TestFolder() + "/" + name;
  admin::CreateLibrary(folder);
  ProfileSettings::Set(settings::kSongDbPath, QString::fromStdString(folder));
  return folder;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vx::test
