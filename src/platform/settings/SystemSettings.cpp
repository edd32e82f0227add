#include "platform/settings/SystemSettings.h"

#include <QSettings>

#include <cstdlib>

namespace vx {

std::string SystemPath(const std::string& absolutePath) {
  const char* root = std::getenv("VELUMIX_SYSTEM_DIR");
  if (root == nullptr || *root == '\0') return absolutePath;
  return std::string(root) + absolutePath;
}

QString SystemSettingsFile() {
  return QString::fromStdString(SystemPath("/etc/xdg/QFL/Velumix.conf"));
}

bool SystemSettings::SetString(const QString& key, const QString& name, const QString& value) {
  QSettings store(SystemSettingsFile(), QSettings::IniFormat);
  // isWritable() also makes the folders the file needs, as far as the rights allow.
  if (!store.isWritable()) return false;
  store.setValue(key + QLatin1Char('/') + name, value);
  store.sync();
  return store.status() == QSettings::NoError;
}

QString SystemSettings::GetString(const QString& key, const QString& name) {
  const QSettings store(SystemSettingsFile(), QSettings::IniFormat);
  return store.value(key + QLatin1Char('/') + name).toString();
}

}  // namespace vx
