#include "controls/twips_geometry.h"

#include "util/error_trap.h"
#include "util/twips.h"

namespace ampora {

double TwipsLeft(const QWidget& control) {
  return static_cast<double>(control.x()) * TwipsPerPixel;
}

double TwipsTop(const QWidget& control) {
  return static_cast<double>(control.y()) * TwipsPerPixel;
}

double TwipsWidth(const QWidget& control) {
  return static_cast<double>(control.width()) * TwipsPerPixel;
}

double TwipsHeight(const QWidget& control) {
  return static_cast<double>(control.height()) * TwipsPerPixel;
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
