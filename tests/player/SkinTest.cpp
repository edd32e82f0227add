// Skin bitmaps, their centred drawing, the transparent texts and the level meter.
#include "player/Skin.h"

#include <QImage>

#include <gtest/gtest.h>

#include "player/CLevelMeter.h"

namespace vx::player {
namespace {

TEST(Skin, BitmapsComeWithTheProgramInTheirSizes) {
  EXPECT_EQ(LoadSkin(kSkinWavDeck).size(), QSize(392, 300));
  EXPECT_EQ(LoadSkin(kSkinControlPanel).size(), QSize(392, 260));
  EXPECT_EQ(LoadSkin(kSkinCdDeck).size(), QSize(392, 260));
  EXPECT_TRUE(LoadSkin(150).isNull());
}

TEST(Skin, CentredOverTheBackgroundColour) {
  CSkinnedDialog window(kSkinCdDeck, SkinMode::Centre, QColor(255, 0, 0), nullptr);
  window.resize(492, 360);
  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(10, 10), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(491, 359), QColor(255, 0, 0));
  EXPECT_NE(shot.pixelColor(246, 180), QColor(255, 0, 0));  // the skin, 50 px in
  EXPECT_NE(shot.pixelColor(52, 52), QColor(255, 0, 0));
  window.SetBackground(QColor(0, 0, 255));
  EXPECT_EQ(window.grab().toImage().pixelColor(10, 10), QColor(0, 0, 255));

  CSkinnedDialog missing(151, SkinMode::Centre, QColor(0, 255, 0), nullptr);
  EXPECT_FALSE(missing.HasSkin());
  missing.resize(100, 100);
  EXPECT_EQ(missing.grab().toImage().pixelColor(50, 50), QColor(0, 255, 0));
}

TEST(Skin, TextsAreTransparentInTheirColourAndFontsAreBold) {
  CSkinnedDialog window(kSkinWavDeck, SkinMode::Centre, QColor(0, 0, 0), nullptr);
  window.resize(392, 300);
  auto* label = new SkinLabel(QString(), SkinFont("Arial", 24), QColor(10, 200, 30), &window);
  label->setGeometry(0, 0, 100, 30);
  EXPECT_EQ(label->font().pixelSize(), 24);
  EXPECT_EQ(label->font().weight(), QFont::Bold);
  EXPECT_TRUE(SkinFont("Impact", 36, true).italic());
  // Without text the skin shows through the label.
  const QImage shot = window.grab().toImage();
  EXPECT_EQ(shot.pixelColor(50, 20), LoadSkin(kSkinWavDeck).toImage().pixelColor(50, 20));
  label->SetColor(QColor(1, 2, 3));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(1, 2, 3));
}

TEST(Skin, LevelMeterKeepsItsValuesWithinRange) {
  CLevelMeter meter;
  meter.resize(200, 32);
  meter.SetLevels(150, -5);
  EXPECT_EQ(meter.Left(), 100);
  EXPECT_EQ(meter.Right(), 0);
  const QImage full = meter.grab().toImage();
  EXPECT_NE(full.pixelColor(190, 8), full.pixelColor(190, 24));  // left lit to the end, right dark
  meter.SetLevels(50, 50);
  const QImage half = meter.grab().toImage();
  EXPECT_EQ(half.pixelColor(190, 8), half.pixelColor(190, 24));
  EXPECT_NE(half.pixelColor(20, 8), half.pixelColor(190, 8));
}

}  // namespace
}  // namespace vx::player
