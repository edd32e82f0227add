#include "player/PlayerColors.h"

#include <algorithm>

#include "platform/settings/ProfileSettings.h"

namespace vx::player {
namespace {

int Field(const QString& stored, int position) {
  bool ok = false;
  const int value = stored.mid(position, 3).trimmed().toInt(&ok);
  return ok ? std::clamp(value, 0, 255) : 0;
}

}  // namespace

QColor ParseColorString(const QString& stored, const QColor& fallback) {
  if (stored.isEmpty()) return fallback;
  return QColor(Field(stored, 0), Field(stored, 4), Field(stored, 8));
}

QString ColorString(const QColor& color) {
  return QString::asprintf("%03d %03d %03d", color.red(), color.green(), color.blue());
}

PlayerColors PlayerColors::Read() {
  const PlayerColors defaults;
  PlayerColors colors;
  colors.background =
      ParseColorString(ProfileSettings::Get(settings::kPlayerDlgBkColor), defaults.background);
  colors.text =
      ParseColorString(ProfileSettings::Get(settings::kPlayerDlgTextColor), defaults.text);
  colors.highlight =
      ParseColorString(ProfileSettings::Get(settings::kPlayerDlgHighColor), defaults.highlight);
  colors.label =
      ParseColorString(ProfileSettings::Get(settings::kPlayerDlgLabelColor), defaults.label);
  return colors;
}

void PlayerColors::Write() const {
  ProfileSettings::Set(settings::kPlayerDlgBkColor, ColorString(background));
  ProfileSettings::Set(settings::kPlayerDlgTextColor, ColorString(text));
  ProfileSettings::Set(settings::kPlayerDlgHighColor, ColorString(highlight));
  ProfileSettings::Set(settings::kPlayerDlgLabelColor, ColorString(label));
}

PlayerColors SchemeColors(ColorScheme scheme) {
  switch (scheme) {
    case ColorScheme::Day:
      return {{0, 0, 0}, {160, 96, 0}, {255, 0, 0}, {150, 150, 150}};
    case ColorScheme::Outdoors:
      return {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
    case ColorScheme::Night:
      break;
  }
  return PlayerColors{};
}

}  // namespace vx::player
