// The four colours of the player's windows (background, text, highlight, label), their
// stored form "%03d %03d %03d" (red, green, blue) under Player/..., and the three schemes
// the preferences offer.
#pragma once

#include <QColor>
#include <QString>

namespace vx::player {

struct PlayerColors {
  QColor background{0, 0, 0};
  QColor text{160, 80, 0};
  QColor highlight{255, 128, 0};
  QColor label{140, 140, 140};

  bool operator==(const PlayerColors&) const = default;

  // The stored colours, each falling back to the Night default when absent or empty.
  static PlayerColors Read();
  // Writes all four in the stored form.
  void Write() const;
};

// Reads "RRR GGG BBB": three 3-character fields at positions 0, 4 and 8, each a decimal
// number; a field that is missing or not a number counts as 0 and values are limited to
// 0..255. An empty text answers the fallback.
QColor ParseColorString(const QString& stored, const QColor& fallback);
// "%03d %03d %03d".
QString ColorString(const QColor& color);

// A window that redraws in new colours when the preferences change them; the application
// hands them to each of its windows that is one.
class ColorReceiver {
 public:
  virtual ~ColorReceiver() = default;
  virtual void ApplyColors(const PlayerColors& colors) = 0;
};

enum class ColorScheme { Night = 0, Day = 1, Outdoors = 2 };
PlayerColors SchemeColors(ColorScheme scheme);

}  // namespace vx::player
