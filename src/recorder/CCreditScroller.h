// A panel that scrolls credit lines upwards, one pixel per timer tick, in an endless loop.
// The content is one string cut into lines at a separator the caller chooses; the last
// character of a line picks its style and is not shown:
//   tab  -> top-level title     line feed -> top-level group
//   CR   -> group title         '^'       -> the line names a bitmap (a Qt resource path)
// Any other line is normal text; an empty line is a blank line of normal height. A bitmap
// that cannot be loaded also shows as a blank line of normal height.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace vx {

class CCreditScroller : public QWidget {
  Q_OBJECT
 public:
  enum class LineStyle { TopTitle, TopGroup, GroupTitle, Normal, Bitmap };
  struct Line {
    QString text;  // without its marker; for a bitmap, the resource path
    LineStyle style = LineStyle::Normal;
  };
  // Milliseconds per one-pixel step.
  enum class Speed { Slow = 70, Medium = 40, Fast = 10 };
  struct Colors {
    QColor background{Qt::black};
    QColor topTitle{255, 0, 0};
    QColor topGroup{255, 255, 0};
    QColor groupTitle{0, 255, 255};
    QColor normal{255, 255, 255};
  };
  // Text heights in pixels.
  struct TextHeights {
    int topTitle = 21;
    int topGroup = 19;
    int groupTitle = 17;
    int normal = 15;
  };
  static constexpr int kTimerId = 150;

  explicit CCreditScroller(QWidget* parent = nullptr);

  void SetContent(const QString& text, QChar separator);
  void SetSpeed(Speed speed) { SetSpeed(static_cast<int>(speed)); }
  void SetSpeed(int millisecondsPerStep);
  void SetColors(const Colors& colors);
  void SetTextHeights(const TextHeights& heights);
  // Clears the panel and scrolls from the first line.
  void StartScrolling();
  void StopScrolling();

  const std::vector<Line>& Lines() const { return lines_; }
  int CurrentLine() const { return current_; }
  bool IsScrolling() const { return timer_.isActive(); }
  int Interval() const { return timer_.interval(); }
  // The off-screen picture the panel shows.
  const QPixmap& Canvas() const { return canvas_; }

 public slots:
  // One step: scrolls the picture up a pixel and draws the newly uncovered row of the
  // current line at the bottom; moves to the next line (wrapping) when it is complete.
  void OnTimer();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int TextHeight(LineStyle style) const;
  QColor TextColor(LineStyle style) const;
  // The line as a picture of the panel's width and the line's height.
  QImage RenderLine(const Line& line) const;
  void ClearCanvas();

  std::vector<Line> lines_;
  Colors colors_;
  TextHeights heights_;
  QTimer timer_;
  QPixmap canvas_;
  QImage currentImage_;  // the current line, rendered once when it becomes current
  int current_ = 0;
  int step_ = 0;  // rows of the current line drawn so far
};

}  // namespace vx
