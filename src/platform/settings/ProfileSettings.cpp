#include "platform/settings/ProfileSettings.h"

#include <QSettings>

namespace vx {
namespace {

QString KeyPath(const char* section, const QString& name) {
  if (section == nullptr || *section == '\0') return name;
  return QString::fromLatin1(section) + QLatin1Char('/') + name;
}

QSettings Store() { return QSettings(QStringLiteral("QFL"), QStringLiteral("Velumix")); }

}  // namespace

QString ProfileSettings::GetString(const char* section, const QString& name,
                                   const QString& fallback) {
  const QVariant value = Store().value(KeyPath(section, name));
  if (!value.isValid()) return fallback;
  // A value written by hand with commas and no quotes reads back as a list.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(','));
  return value.toString();
}

int ProfileSettings::GetInt(const char* section, const QString& name, int fallback) {
  const QVariant value = Store().value(KeyPath(section, name));
  if (!value.isValid()) return fallback;
  bool ok = false;
  const int number = value.toString().trimmed().toInt(&ok);
  return ok ? number : fallback;
}

void ProfileSettings::SetString(const char* section, const QString& name,
                                const QString& value) {
  Store().setValue(KeyPath(section, name), value);
}

void ProfileSettings::SetInt(const char* section, const QString& name, int value) {
  Store().setValue(KeyPath(section, name), value);
}

QString ProfileSettings::Get(const StringSetting& key) {
  return GetString(key.section, QString::fromLatin1(key.name), QString::fromUtf8(key.fallback));
}

int ProfileSettings::Get(const IntSetting& key) {
  return GetInt(key.section, QString::fromLatin1(key.name), key.fallback);
}

void ProfileSettings::Set(const StringSetting& key, const QString& value) {
  SetString(key.section, QString::fromLatin1(key.name), value);
}

void ProfileSettings::Set(const IntSetting& key, int value) {
  SetInt(key.section, QString::fromLatin1(key.name), value);
}

}  // namespace vx
