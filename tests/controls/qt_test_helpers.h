#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPointingDevice>
#include <QSignalSpy>
#include <QWidget>
#include <algorithm>
#include <cstdint>
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
