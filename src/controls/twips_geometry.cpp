#include "controls/twips_geometry.h"

#include "util/error_trap.h"
#include "util/twips.h"

namespace ampora {

double TwipsLeft(const QWidget& control) {
  return TwipsFromPixels(control.x());
}

double TwipsTop(const QWidget& control) {
  return TwipsFromPixels(control.y());
}

double TwipsWidth(const QWidget& control) {
  return TwipsFromPixels(control.width());
}

double TwipsHeight(const QWidget& control) {
  return TwipsFromPixels(control.height());
}

void SetTwipsLeft(QWidget& control, double left) {
  TrapErrors([&] { control.move(PixelsFromTwips(left), control.y()); });
}

void SetTwipsTop(QWidget& control, double top) {
  TrapErrors([&] { control.move(control.x(), PixelsFromTwips(top)); });
}

void SetTwipsWidth(QWidget& control, double width) {
  TrapErrors([&] { control.resize(PixelsFromTwips(width), control.height()); });
}

void SetTwipsHeight(QWidget& control, double height) {
  TrapErrors([&] { control.resize(control.width(), PixelsFromTwips(height)); });
}

void MoveTwips(QWidget& control, double left, double top, double width, double height) {
  TrapErrors([&] {
    control.setGeometry(PixelsFromTwips(left), PixelsFromTwips(top), PixelsFromTwips(width),
                        PixelsFromTwips(height));
  });
}

}  // namespace ampora
