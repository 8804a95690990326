#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPointingDevice>
#include <QRect>
#include <QSignalSpy>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/surface.h"

namespace ampora {

// A plain mouse move to pos (no button held). QTest moves the real cursor for these,
// which a hidden widget never sees.
inline void MoveMouse(QWidget& widget, QPoint pos) {
  QMouseEvent move(QEvent::MouseMove, pos, widget.mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier, QPointingDevice::primaryPointingDevice());
  QCoreApplication::sendEvent(&widget, &move);
}

// One mouse event at an exact position: a press, release or double click of `button`,
// or a move with `button` held (Qt::NoButton: none).
inline void SendMouse(QWidget& widget, QEvent::Type type, QPointF pos,
                      Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers keys = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
  const Qt::MouseButton acting = type == QEvent::MouseMove ? Qt::NoButton : button;
  QMouseEvent event(type, pos, widget.mapToGlobal(pos), acting, held, keys,
                    QPointingDevice::primaryPointingDevice());
  QCoreApplication::sendEvent(&widget, &event);
}

// The arguments of the n-th recorded signal as integers.
inline std::vector<int> SignalArgs(const QSignalSpy& spy, qsizetype n) {
  std::vector<int> args;
  for (const QVariant& arg : spy.at(n)) args.push_back(arg.toInt());
  return args;
}

// The pixels of a surface that differ from its paper colour: how many, and the smallest
// box around them (right < 0 when there are none).
struct InkBox {
  int32_t count = 0;
  int32_t left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
};

inline InkBox InkedBox(const Surface& s, Color paper) {
  InkBox box;
  for (int32_t y = 0; y < s.HeightPx(); ++y) {
    for (int32_t x = 0; x < s.WidthPx(); ++x) {
      if (s.Pixel(x, y) == paper) continue;
      box = {box.count + 1, std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
             std::max(box.bottom, y)};
    }
  }
  return box;
}

// The pixels within `tolerance` (the sum of the channel differences) of a colour, inside
// a region of the surface (all of it when the region is empty): antialiased text has few
// pixels of exactly its colour.
inline InkBox InkNear(const Surface& s, Color color, int32_t tolerance, QRect region = {}) {
  if (region.isEmpty()) region = QRect(0, 0, s.WidthPx(), s.HeightPx());
  const RgbParts want = SplitRGB(ResolveColor(color));
  InkBox box;
  for (int32_t y = region.top(); y <= region.bottom(); ++y) {
    for (int32_t x = region.left(); x <= region.right(); ++x) {
      const RgbParts p = SplitRGB(s.Pixel(x, y));
      if (std::abs(p.red - want.red) + std::abs(p.green - want.green) +
              std::abs(p.blue - want.blue) >
          tolerance) {
        continue;
      }
      box = {box.count + 1, std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
             std::max(box.bottom, y)};
    }
  }
  return box;
}

// The darkest pixel of a region, as the sum of its channels: antialiased text is never
// darker than its colour.
inline int32_t DarkestIn(const Surface& s, QRect region) {
  int32_t darkest = 3 * 255;
  for (int32_t y = region.top(); y <= region.bottom(); ++y) {
    for (int32_t x = region.left(); x <= region.right(); ++x) {
      const RgbParts p = SplitRGB(s.Pixel(x, y));
      darkest = std::min(darkest, p.red + p.green + p.blue);
    }
  }
  return darkest;
}

// Sets the application's palette for one scope and restores it afterwards.
class PaletteScope {
 public:
  explicit PaletteScope(const QPalette& palette) : saved_(QApplication::palette()) {
    QApplication::setPalette(palette);
  }
  ~PaletteScope() { QApplication::setPalette(saved_); }
  PaletteScope(const PaletteScope&) = delete;
  PaletteScope& operator=(const PaletteScope&) = delete;

 private:
  QPalette saved_;
};

}  // namespace ampora
