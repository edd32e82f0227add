// System-wide places: the settings every user of the machine shares and the folders beside
// the system's own files. VELUMIX_SYSTEM_DIR, when set, names a folder that stands in for the
// root folder "/", so that a run as root (the test suite in CI) never writes to /etc or /usr.
#pragma once

#include <QString>

#include <string>

namespace vx {

// An absolute path under the system root: "/usr/local/lib" as it is, or below
// $VELUMIX_SYSTEM_DIR when that is set.
std::string SystemPath(const std::string& absolutePath);

// The system-wide settings of the Velumix programs: <root>/etc/xdg/QFL/Velumix.conf, the
// system scope of QSettings("QFL", "Velumix").
QString SystemSettingsFile();

class SystemSettings {
 public:
  // Sets a string value in the group key of the system-wide settings. Answers false, and
  // writes nothing, when the settings cannot be written (a user without the rights).
  static bool SetString(const QString& key, const QString& name, const QString& value);
  static QString GetString(const QString& key, const QString& name);
};

}  // namespace vx
