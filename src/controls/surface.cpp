#include "controls/surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "controls/screen_metrics.h"
#include "util/twips.h"

namespace ampora {

namespace {

// The sunken edge's two rings.
constexpr int32_t kEdgeWidth = 2;

QRgb ToQRgb(Color color) {
  const RgbParts c = SplitRGB(ResolveColor(color));
  return qRgb(c.red, c.green, c.blue);
}

Color FromQRgb(QRgb rgb) {
  return MakeRGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// The image's resolution follows the screen factor, so that fonts given in points come
// out as large as on the screen.
void MatchResolution(QImage& image) {
  if (image.isNull() || TwipsPerPixel <= 0) return;
  const int dotsPerMeter = DotsPerMeterFor(TwipsPerPixel);
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
}

QImage MakeImage(int32_t widthPx, int32_t heightPx, Color fill) {
  QImage image(std::max(widthPx, 0), std::max(heightPx, 0), QImage::Format_RGB32);
  image.fill(ToQRgb(fill));
  MatchResolution(image);
  return image;
}

PrintObserver& Observer() {
  static PrintObserver observer;
  return observer;
}

}  // namespace

void SetPrintObserver(PrintObserver observer) {
  Observer() = std::move(observer);
}

Surface::Surface(int32_t widthPx, int32_t heightPx)
    : image_(MakeImage(widthPx, heightPx, 0xFFFFFF)) {}

void Surface::Resize(int32_t widthPx, int32_t heightPx) {
  widthPx = std::max(widthPx, 0);
  heightPx = std::max(heightPx, 0);
  if (widthPx == image_.width() && heightPx == image_.height()) return;
  QImage resized = MakeImage(widthPx, heightPx, backColor_);
  if (!resized.isNull() && !image_.isNull()) {
    QPainter painter(&resized);
    painter.drawImage(0, 0, image_);
  }
  image_ = resized;
}

double Surface::ScaleWidth() const {
  return TwipsFromPixels(WidthPx());
}
double Surface::ScaleHeight() const {
  return TwipsFromPixels(HeightPx());
}

void Surface::SetBackColor(Color color) {
  backColor_ = color;
  Clear();
}

void Surface::Clear() {
  image_.fill(ToQRgb(backColor_));
  currentX_ = 0;
  currentY_ = 0;
}

void Surface::Line(double x1, double y1, double x2, double y2, Color color) {
  LinePx(PixelsFromTwips(x1), PixelsFromTwips(y1), PixelsFromTwips(x2), PixelsFromTwips(y2), color);
}

void Surface::Box(double x1, double y1, double x2, double y2, Color color) {
  FillPx(PixelsFromTwips(x1), PixelsFromTwips(y1), PixelsFromTwips(x2), PixelsFromTwips(y2), color);
}

void Surface::Disc(double x, double y, double radius, Color color) {
  if (image_.isNull()) return;
  const QPointF centre(PixelsFromTwips(x) + 0.5, PixelsFromTwips(y) + 0.5);
  const double radiusPx = radius / TwipsPerPixel;
  // A disc whose square misses the image is not handed to the painter at all.
  const bool reaches = std::isfinite(radiusPx) && centre.x() + radiusPx >= 0 &&
                       centre.x() - radiusPx <= image_.width() && centre.y() + radiusPx >= 0 &&
                       centre.y() - radiusPx <= image_.height();
  if (!reaches) return;
  QPainter painter(&image_);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(ToQRgb(color)));
  painter.drawEllipse(centre, radiusPx, radiusPx);
}

void Surface::MoveTo(int32_t x, int32_t y) {
  penX_ = x;
  penY_ = y;
}

void Surface::LineTo(int32_t x, int32_t y) {
  LinePx(penX_, penY_, x, y, foreColor_);
  MoveTo(x, y);
}

void Surface::PlotPx(int32_t x, int32_t y, uint32_t rgb) {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
  reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = rgb;
}

void Surface::LinePx(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color) {
  const QRgb rgb = ToQRgb(color);
  if (drawWidth_ > 1) {
    WideLinePx(x1, y1, x2, y2, rgb);
    return;
  }
  // Bresenham's walk from the start point up to, not including, the end point; straight
  // lines are walks too. Every step moves one pixel along the major axis, so only the
  // steps whose major coordinate lies inside the image can draw: the walk starts at the
  // first of them, in the state the full walk would have there, and stops after the
  // last. A line between far-away points costs no more than one across the image.
  const int64_t dx = std::llabs(int64_t{x2} - x1);
  const int64_t dy = -std::llabs(int64_t{y2} - y1);
  const int32_t stepX = x1 < x2 ? 1 : -1;
  const int32_t stepY = y1 < y2 ? 1 : -1;
  const bool xMajor = dx >= -dy;
  const int64_t major = xMajor ? dx : -dy;
  const int64_t minor = xMajor ? -dy : dx;
  if (major == 0) return;
  const int64_t majorStart = xMajor ? x1 : y1;
  const int64_t majorStep = xMajor ? stepX : stepY;
  const int64_t extent = xMajor ? image_.width() : image_.height();
  // Steps k = 0 .. major - 1 draw; step k is at majorStart + k x majorStep.
  int64_t first = 0;
  int64_t last = major - 1;
  if (majorStep > 0) {
    first = std::max(first, -majorStart);
    last = std::min(last, extent - 1 - majorStart);
  } else {
    first = std::max(first, majorStart - (extent - 1));
    last = std::min(last, majorStart);
  }
  if (first > last) return;
  // Minor steps taken before step k: the error term keeps a window of width `major`,
  // which fixes their number as floor((2 k minor - major) / (2 major)) + 1.
  const __int128 numerator = static_cast<__int128>(2) * first * minor - major;
  __int128 minorSteps = numerator / (2 * major);
  if (numerator % (2 * major) < 0) minorSteps -= 1;
  minorSteps += 1;
  const int64_t xSteps = xMajor ? first : static_cast<int64_t>(minorSteps);
  const int64_t ySteps = xMajor ? static_cast<int64_t>(minorSteps) : first;
  int64_t error = dx + dy + xSteps * dy + ySteps * dx;
  int64_t x = x1 + xSteps * stepX;
  int64_t y = y1 + ySteps * stepY;
  for (int64_t k = first; k <= last; ++k) {
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height()) {
      PlotPx(static_cast<int32_t>(x), static_cast<int32_t>(y), rgb);
    }
    const int64_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

void Surface::WideLinePx(int32_t x1, int32_t y1, int32_t x2, int32_t y2, QRgb rgb) {
  if (image_.isNull()) return;
  // Cut the line to the image grown by the pen, so that the painter never sees
  // coordinates far outside it; the cut ends' caps fall outside the image.
  const double margin = drawWidth_ + 1.0;
  const double left = -margin;
  const double top = -margin;
  const double right = image_.width() + margin;
  const double bottom = image_.height() + margin;
  const double ax = x1;
  const double ay = y1;
  const double bx = x2;
  const double by = y2;
  double from = 0;
  double to = 1;
  // Liang and Barsky: each side limits the line's parameter range.
  const auto limit = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      from = std::max(from, r);
    } else {
      to = std::min(to, r);
    }
    return from <= to;
  };
  if (!limit(-(bx - ax), ax - left) || !limit(bx - ax, right - ax) ||
      !limit(-(by - ay), ay - top) || !limit(by - ay, bottom - ay)) {
    return;
  }
  QPainter painter(&image_);
  painter.setPen(QPen(QColor(rgb), drawWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (from == 0 && to == 1) {
    painter.drawLine(x1, y1, x2, y2);
    return;
  }
  painter.drawLine(QLineF(ax + from * (bx - ax), ay + from * (by - ay), ax + to * (bx - ax),
                          ay + to * (by - ay)));
}

Color Surface::Pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return -1;
  return FromQRgb(image_.pixel(x, y));
}

void Surface::SetPixel(int32_t x, int32_t y, Color color) {
  PlotPx(x, y, ToQRgb(color));
}

void Surface::FillPx(int32_t left, int32_t top, int32_t right, int32_t bottom, Color color) {
  const QRgb rgb = ToQRgb(color);
  const int32_t x0 = std::max(std::min(left, right), 0);
  const int32_t x1 = std::min(std::max(left, right), image_.width() - 1);
  const int32_t y0 = std::max(std::min(top, bottom), 0);
  const int32_t y1 = std::min(std::max(top, bottom), image_.height() - 1);
  // A box wholly beside or above the image clips to nothing.
  if (x0 > x1 || y0 > y1) return;
  for (int32_t y = y0; y <= y1; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(line + x0, line + x1 + 1, rgb);
  }
}

void Surface::Copy(int32_t x, int32_t y, int32_t width, int32_t height, const Surface& source,
                   int32_t sourceX, int32_t sourceY, CopyMode mode) {
  // Clip the rectangle to both images, moving both corners together; in 64 bits, so
  // that corners anywhere in the integer range clip rather than wrap.
  const int64_t left = std::max({int64_t{0}, -int64_t{x}, -int64_t{sourceX}});
  const int64_t top = std::max({int64_t{0}, -int64_t{y}, -int64_t{sourceY}});
  const int64_t right = std::min(
      {int64_t{width}, int64_t{image_.width()} - x, int64_t{source.image_.width()} - sourceX});
  const int64_t bottom = std::min(
      {int64_t{height}, int64_t{image_.height()} - y, int64_t{source.image_.height()} - sourceY});
  if (left >= right || top >= bottom) return;
  // Every corner now lies inside both images.
  const auto columns = static_cast<int32_t>(right - left);
  const auto rows = static_cast<int32_t>(bottom - top);
  const auto fromX = static_cast<int32_t>(sourceX + left);
  const auto fromY = static_cast<int32_t>(sourceY + top);
  const auto toX = static_cast<int32_t>(x + left);
  const auto toY = static_cast<int32_t>(y + top);
  // A copy within one surface may overlap: read from a snapshot.
  const QImage from = source.image_.copy(fromX, fromY, columns, rows);
  for (int32_t row = 0; row < rows; ++row) {
    const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(row));
    auto* out = reinterpret_cast<QRgb*>(image_.scanLine(toY + row)) + toX;
    for (int32_t col = 0; col < columns; ++col) {
      switch (mode) {
        case CopyMode::kSource:
          out[col] = in[col];
          break;
        case CopyMode::kAnd:
          out[col] = (out[col] & in[col]) | 0xFF000000u;
          break;
        case CopyMode::kInvert:
          out[col] = (out[col] ^ in[col]) | 0xFF000000u;
          break;
      }
    }
  }
}

void Surface::DrawSunkenEdge(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  // Every line runs along a side: sides pulled in to just outside the image show the same
  // pixels, and the arithmetic below stays well inside the integer range.
  const auto nearImage = [](int32_t v, int32_t size) {
    return std::clamp(v, -kEdgeWidth, size + kEdgeWidth);
  };
  left = nearImage(left, image_.width());
  right = nearImage(right, image_.width());
  top = nearImage(top, image_.height());
  bottom = nearImage(bottom, image_.height());
  const int32_t savedWidth = drawWidth_;
  drawWidth_ = 1;
  LinePx(left, top, right, top, kColorBtnShadow);
  LinePx(left, top, left, bottom, kColorBtnShadow);
  LinePx(left, bottom - 1, right, bottom - 1, kColor3DHighlight);
  LinePx(right - 1, top, right - 1, bottom, kColor3DHighlight);
  LinePx(left + 1, top + 1, right - 1, top + 1, kColor3DDkShadow);
  LinePx(left + 1, top + 1, left + 1, bottom - 1, kColor3DDkShadow);
  LinePx(left + 1, bottom - 2, right - 1, bottom - 2, kColor3DLight);
  LinePx(right - 2, top + 1, right - 2, bottom - 1, kColor3DLight);
  drawWidth_ = savedWidth;
}

void Surface::SetPrintPosition(double x, double y) {
  currentX_ = x;
  currentY_ = y;
}

void Surface::Print(const std::string& text) {
  if (const PrintObserver& observer = Observer()) observer(text);
  const int32_t x = PixelsFromTwips(currentX_);
  const int32_t y = PixelsFromTwips(currentY_);
  if (!image_.isNull()) {
    const QString line = QString::fromStdString(text);
    const QFontMetrics metrics(font_, &image_);
    // Text that cannot reach the image is not handed to the painter at all, so that the
    // painter only ever sees positions near the image.
    const bool reaches = x < image_.width() && y < image_.height() &&
                         int64_t{x} + metrics.horizontalAdvance(line) > 0 &&
                         int64_t{y} + metrics.height() > 0;
    if (reaches) {
      QPainter painter(&image_);
      painter.setFont(font_);
      painter.setPen(QColor(ToQRgb(foreColor_)));
      painter.drawText(QPoint(x, y + metrics.ascent()), line);
    }
  }
  currentY_ += TextHeight(text);
  currentX_ = 0;
}

double Surface::TextWidth(const std::string& text) const {
  const QFontMetrics metrics = image_.isNull() ? QFontMetrics(font_) : QFontMetrics(font_, &image_);
  return TwipsFromPixels(metrics.horizontalAdvance(QString::fromStdString(text)));
}

double Surface::TextHeight(const std::string& /*text*/) const {
  const QFontMetrics metrics = image_.isNull() ? QFontMetrics(font_) : QFontMetrics(font_, &image_);
  return TwipsFromPixels(metrics.height());
}

void Surface::Load(const QImage& image) {
  Surface loaded;
  loaded.image_ = image.convertToFormat(QImage::Format_RGB32);
  Copy(0, 0, loaded.WidthPx(), loaded.HeightPx(), loaded, 0, 0);
}

}  // namespace ampora
