#include "recorder/CCreditScroller.h"

#include <QImage>

#include <gtest/gtest.h>

#include "recorder/CAboutDlg.h"

namespace vx {
namespace {

using Style = CCreditScroller::LineStyle;

// How many pixels of the canvas have exactly the strong channels of colour (anti-aliased
// text included), ignoring the black background.
int PixelsOf(const CCreditScroller& scroller, QColor colour) {
  const auto strong = [](QColor c) {
    return (c.red() > 128) * 4 + (c.green() > 128) * 2 + (c.blue() > 128);
  };
  const QImage image = scroller.Canvas().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      count += pixel != Qt::black && strong(pixel) == strong(colour);
    }
  }
  return count;
}

TEST(CreditScroller, LineEndMarkersPickTheStyle) {
  CCreditScroller scroller;
  scroller.SetContent("Velumix\t|Team\n|Player\r|Someone||:/velumix/icons/vxrec.png^", '|');
  const auto& lines = scroller.Lines();
  ASSERT_EQ(lines.size(), 6u);
  const std::pair<QString, Style> expected[] = {{"Velumix", Style::TopTitle},
                                                {"Team", Style::TopGroup},
                                                {"Player", Style::GroupTitle},
                                                {"Someone", Style::Normal},
                                                {"", Style::Normal},
                                                {":/velumix/icons/vxrec.png", Style::Bitmap}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].text, expected[i].first) << i;
    EXPECT_EQ(lines[i].style, expected[i].second) << i;
  }

  scroller.SetContent("No separator here\t", '|');
  ASSERT_EQ(scroller.Lines().size(), 1u);
  EXPECT_EQ(scroller.Lines()[0].style, Style::TopTitle);
}

TEST(CreditScroller, ScrollsLineByLineInAnEndlessLoop) {
  CCreditScroller scroller;
  scroller.resize(200, 60);
  scroller.SetContent("WWW\t|www|:/no/such/picture.png^", '|');
  scroller.StartScrolling();
  EXPECT_TRUE(scroller.IsScrolling());
  EXPECT_EQ(PixelsOf(scroller, Qt::red), 0);

  for (int step = 0; step < 21; ++step) scroller.OnTimer();  // the 21-pixel title
  EXPECT_EQ(scroller.CurrentLine(), 1);
  EXPECT_GT(PixelsOf(scroller, Qt::red), 0);
  EXPECT_EQ(PixelsOf(scroller, Qt::white), 0);

  for (int step = 0; step < 15; ++step) scroller.OnTimer();  // normal text
  EXPECT_EQ(scroller.CurrentLine(), 2);
  EXPECT_GT(PixelsOf(scroller, Qt::white), 0);

  for (int step = 0; step < 14; ++step) scroller.OnTimer();  // missing picture: a blank line
  EXPECT_EQ(scroller.CurrentLine(), 2);
  scroller.OnTimer();
  EXPECT_EQ(scroller.CurrentLine(), 0);  // round again

  // Enough blank rows push everything off the top.
  scroller.SetContent("", '|');
  for (int step = 0; step < 60; ++step) scroller.OnTimer();
  EXPECT_EQ(PixelsOf(scroller, Qt::red) + PixelsOf(scroller, Qt::white), 0);

  scroller.StopScrolling();
  EXPECT_FALSE(scroller.IsScrolling());
}

TEST(CreditScroller, SpeedsAndCustomSettings) {
  CCreditScroller scroller;
  const std::pair<CCreditScroller::Speed, int> speeds[] = {
      {CCreditScroller::Speed::Slow, 70}, {CCreditScroller::Speed::Medium, 40},
      {CCreditScroller::Speed::Fast, 10}};
  for (const auto& [speed, interval] : speeds) {
    scroller.SetSpeed(speed);
    EXPECT_EQ(scroller.Interval(), interval);
  }

  scroller.resize(100, 30);
  scroller.SetTextHeights({4, 4, 4, 4});
  scroller.SetColors({Qt::blue, Qt::green, Qt::green, Qt::green, Qt::green});
  scroller.SetContent("a|b", '|');
  scroller.StartScrolling();
  EXPECT_EQ(scroller.Canvas().toImage().pixelColor(0, 0), QColor(Qt::blue));
  for (int step = 0; step < 4; ++step) scroller.OnTimer();
  EXPECT_EQ(scroller.CurrentLine(), 1);
}

TEST(CreditScroller, AboutBoxCreditsComeFromTheResource) {
  const QString file =
      "# comment\n"
      "Title\\t\n"
      "Group\\n\n"
      "Name | with bar\n";
  EXPECT_EQ(CreditsFromFile(file), "Title\t|Group\n|Name  with bar|");

  CCreditScroller scroller;
  scroller.SetContent(CreditsText(), '|');
  ASSERT_GT(scroller.Lines().size(), 10u);
  EXPECT_EQ(scroller.Lines()[0].style, Style::Bitmap);
  EXPECT_FALSE(QImage(scroller.Lines()[0].text).isNull());
  int titles = 0;
  for (const auto& line : scroller.Lines()) titles += line.style == Style::TopTitle;
  EXPECT_GE(titles, 1);

  CAboutDlg about("Version x");
  EXPECT_EQ(about.Credits().Lines().size(), scroller.Lines().size());
}

}  // namespace
}  // namespace vx
