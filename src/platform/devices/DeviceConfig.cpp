#include "platform/devices/DeviceConfig.h"

#include <QSettings>
#include <QStringList>

#include <cmath>
#include <cstdlib>

namespace vx {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Splits text at every separator, trimming each part; empty parts are dropped.
std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  while (true) {
    const auto end = text.find(separator);
    const std::string_view part = Trim(text.substr(0, end));
    if (!part.empty()) parts.emplace_back(part);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return parts;
}

// A positive finite number taking the whole text, or nothing.
std::optional<double> ParsePositive(std::string_view text) {
  const std::string copy(Trim(text));
  if (copy.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(value) || value <= 0) {
    return std::nullopt;
  }
  return value;
}

void ApplyClause(DeviceConfig& config, std::string_view clause) {
  const auto equals = clause.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view key = Trim(clause.substr(0, equals));
  const std::string_view value = Trim(clause.substr(equals + 1));
  if (key == "out") {
    for (auto& tape : Split(value, ',')) config.waveOutputs.push_back(std::move(tape));
  } else if (key == "cd") {
    for (auto& tray : Split(value, ',')) config.cdTrays.push_back(std::move(tray));
  } else if (key == "in") {
    config.waveInput = std::string(value);
  } else if (key == "midi") {
    config.midiLog = std::string(value);
  }
}

// One clause "key=value;" of the settings group "Devices"; a value written unquoted with
// commas reads back as a list, which is joined again.
std::string SettingsClause(QSettings& store, const char* key) {
  const QVariant value = store.value(QString::fromLatin1(key));
  if (!value.isValid()) return {};
  const QString text = value.toStringList().join(QLatin1Char(','));
  return std::string(key) + "=" + text.toStdString() + ";";
}

}  // namespace

std::optional<double> DeviceConfig::WaveInputTone() const {
  constexpr std::string_view kTone = "tone:";
  if (waveInput.compare(0, kTone.size(), kTone) != 0) return std::nullopt;
  return ParsePositive(std::string_view(waveInput).substr(kTone.size()));
}

double ParseSpeedFactor(const char* text) {
  if (text == nullptr) return 1.0;
  return ParsePositive(text).value_or(1.0);
}

DeviceConfig DeviceConfig::Parse(const char* devices, const char* speed) {
  DeviceConfig config;
  config.speed = ParseSpeedFactor(speed);
  if (devices == nullptr) return config;
  config.virtualOnly = true;
  for (const auto& clause : Split(devices, ';')) ApplyClause(config, clause);
  return config;
}

DeviceConfig DeviceConfig::FromEnvironment() {
  return Parse(std::getenv("VELUMIX_DEVICES"), std::getenv("VELUMIX_SPEED"));
}

DeviceConfig DeviceConfig::Current() {
  if (std::getenv("VELUMIX_DEVICES") != nullptr) return FromEnvironment();
  QSettings store(QStringLiteral("QFL"), QStringLiteral("Velumix"));
  store.beginGroup(QStringLiteral("Devices"));
  std::string clauses;
  for (const char* key : {"out", "in", "midi", "cd"}) clauses += SettingsClause(store, key);
  DeviceConfig config = Parse(clauses.c_str(), std::getenv("VELUMIX_SPEED"));
  config.virtualOnly = false;
  return config;
}

}  // namespace vx
