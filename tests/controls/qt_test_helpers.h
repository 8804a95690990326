#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPointingDevice>
#include <QSignalSpy>
#include <QWidget>
#include <vector>

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
