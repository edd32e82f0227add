#include "platform/report/ReportPainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cassert>
#include <vector>

#include "platform/report/ReportRows.h"
#include "platform/report/ReportTemplate.h"
#include "platform/report/ReportText.h"

namespace vx::report {
namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// The lines one song takes: its row, its detail lines and its cue lines.
int LinesOf(const ReportTemplate& layout, const ReportRow& row) {
  return 1 + static_cast<int>(layout.details.size()) + static_cast<int>(row.cues.size());
}

// The first row of each page, with the row count as the last entry.
std::vector<int> Paginate(const ReportTemplate& layout, const ReportRows& rows,
                          int linesPerPage) {
  std::vector<int> starts{0};
  int used = 0;
  for (int i = 0; i < static_cast<int>(rows.rows.size()); ++i) {
    const int lines = LinesOf(layout, rows.rows[static_cast<std::size_t>(i)]);
    if (used > 0 && used + lines > linesPerPage) {
      starts.push_back(i);
      used = 0;
    }
    used += lines;
  }
  starts.push_back(static_cast<int>(rows.rows.size()));
  return starts;
}

class PagePainter {
 public:
  PagePainter(QPainter& painter, const ReportTemplate& layout, const ReportRows& rows,
              const QString& title)
      : painter_(painter), layout_(layout), rows_(rows), title_(title) {
    const QRect page = painter.viewport();
    width_ = page.width();
    height_ = page.height();
    body_.setPointSizeF(9);
    bold_ = body_;
    bold_.setBold(true);
    heading_ = bold_;
    heading_.setPointSizeF(14);
    painter.setFont(body_);
    line_ = QFontMetricsF(body_, painter.device()).height() * 1.15;
    headingHeight_ = QFontMetricsF(heading_, painter.device()).height() * 1.6;
    for (const ReportColumn& column : layout.columns) {
      columnIndex_.push_back(rows.FieldIndex(column.field));
    }
  }

  int LinesPerPage() const {
    const double bodyHeight = height_ - Top() - line_ * 2;
    return std::max(1, static_cast<int>(bodyHeight / line_));
  }

  void Paint(int page, int pages, int first, int end) {
    painter_.setFont(heading_);
    painter_.drawText(QRectF(0, 0, width_, headingHeight_), Qt::AlignLeft | Qt::AlignVCenter,
                      title_);
    painter_.setFont(bold_);
    double y = headingHeight_;
    DrawCells(y, [&](std::size_t c) { return FromStd(layout_.columns[c].header); });
    y += line_;
    painter_.drawLine(QPointF(0, y), QPointF(width_, y));
    y += line_ * 0.25;
    painter_.setFont(body_);
    if (first == end && page == 1) {
      painter_.drawText(QRectF(0, y, width_, line_), Qt::AlignLeft, QString::fromUtf8(text::kReportNoSongs));
    }
    for (int i = first; i < end; ++i) y = PaintRow(rows_.rows[static_cast<std::size_t>(i)], y);
    painter_.drawText(QRectF(0, height_ - line_, width_, line_), Qt::AlignRight,
                      QString::fromUtf8(text::kReportPageNumber).arg(page).arg(pages));
  }

 private:
  double Top() const { return headingHeight_ + line_ * 1.25; }

  template <typename CellText>
  void DrawCells(double y, CellText cellText) {
    double x = 0;
    for (std::size_t c = 0; c < layout_.columns.size(); ++c) {
      const double w = width_ * layout_.columns[c].width / 100.0;
      const QRectF cell(x, y, w - 4, line_);
      painter_.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                        painter_.fontMetrics().elidedText(cellText(c), Qt::ElideRight,
                                                          static_cast<int>(cell.width())));
      x += w;
    }
  }

  double PaintRow(const ReportRow& row, double y) {
    DrawCells(y, [&](std::size_t c) {
      const int index = columnIndex_[c];
      if (index < 0) return QString();
      const auto format = layout_.formats.find(layout_.columns[c].field);
      return FromStd(ValueText(row.values[static_cast<std::size_t>(index)],
                               format == layout_.formats.end() ? std::string() : format->second));
    });
    y += line_;
    const double indent = width_ * 0.05;
    for (const ReportDetail& detail : layout_.details) {
      const int index = rows_.FieldIndex(detail.field);
      const QString value =
          index < 0 ? QString() : FromStd(ValueText(row.values[static_cast<std::size_t>(index)]));
      painter_.drawText(QRectF(indent, y, width_ - indent, line_), Qt::AlignLeft | Qt::AlignVCenter,
                        FromStd(detail.label) + QLatin1Char(' ') + value);
      y += line_;
    }
    for (const std::string& cue : row.cues) {
      painter_.drawText(QRectF(indent, y, width_ - indent, line_), Qt::AlignLeft | Qt::AlignVCenter,
                        FromStd(cue));
      y += line_;
    }
    return y;
  }

  QPainter& painter_;
  const ReportTemplate& layout_;
  const ReportRows& rows_;
  QString title_;
  QFont body_;
  QFont bold_;
  QFont heading_;
  double width_ = 0;
  double height_ = 0;
  double line_ = 0;
  double headingHeight_ = 0;
  std::vector<int> columnIndex_;
};

}  // namespace

int PaintReport(QPagedPaintDevice& device, const ReportTemplate& layout, const ReportRows& rows,
                const QString& title) {
  QPainter painter(&device);
  PagePainter pages(painter, layout, rows, title);
  const std::vector<int> starts = Paginate(layout, rows, pages.LinesPerPage());
  const int count = static_cast<int>(starts.size()) - 1;
  assert(count >= 1);
  for (int page = 0; page < count; ++page) {
    if (page > 0) device.newPage();
    pages.Paint(page + 1, count, starts[static_cast<std::size_t>(page)],
                starts[static_cast<std::size_t>(page) + 1]);
  }
  return count;
}

}  // namespace vx::report
