// The look shared by the player's deck and panel windows: skin bitmaps from the program's
// resources, the large bold fonts (with fallbacks where Arial or Impact are not installed),
// and a dialog base that paints its skin over a background of the user's colour.
#pragma once

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPixmap>

namespace vx::player {

// Skin bitmaps: 147 the WAV deck (392 x 300), 148 the control panel and 149 the CD deck
// (392 x 260 each).
enum SkinId { kSkinWavDeck = 147, kSkinControlPanel = 148, kSkinCdDeck = 149 };

// The bitmap of a skin; a null pixmap (and one line on stderr) when it cannot be loaded.
QPixmap LoadSkin(int id);

// A bold font of the given pixel height. "Arial" falls back to Liberation Sans or DejaVu
// Sans, "Impact" to DejaVu Sans Condensed, when they are missing.
QFont SkinFont(const char* family, int pixelHeight, bool italic = false);

// How the skin fills the window: stretched, centred, or tiled from the top-left corner.
enum class SkinMode { Stretch = 1, Centre = 2, Tile = 3 };

// A dialog drawn over its skin bitmap on a background brush of the background colour.
// Static texts are transparent labels over the skin (SkinLabel); sliders keep the
// system's look. A window whose bitmap did not load paints only its background.
// Displays are true-colour: the skin's colours are drawn as they are, so there is no
// palette to realise when the window is activated or another window changes colours.
class CSkinnedDialog : public QDialog {
  Q_OBJECT
 public:
  CSkinnedDialog(int skinId, SkinMode mode, const QColor& background, QWidget* parent);

  bool HasSkin() const { return !skin_.isNull(); }
  const QColor& Background() const { return background_; }
  // Takes a new background colour and redraws the window.
  void SetBackground(const QColor& background);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap skin_;
  SkinMode mode_;
  QColor background_;
};

// A static text drawn transparently over the skin in a colour of the window's choosing.
class SkinLabel : public QLabel {
  Q_OBJECT
 public:
  SkinLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent);
  void SetColor(const QColor& color);
  QColor Color() const { return color_; }

 private:
  QColor color_;
};

}  // namespace vx::player
