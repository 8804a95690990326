#pragma once

#include <QWidget>

// A control's place and size in twips, as the windows are laid out. Setting takes each
// value to the pixel nearest(twips) integer-divided by TwipsPerPixel; reading gives the
// pixels times TwipsPerPixel. A value too large for a pixel count is ignored.
//
// Thread: UI thread.

namespace ampora {

double TwipsLeft(const QWidget& control);
double TwipsTop(const QWidget& control);
double TwipsWidth(const QWidget& control);
double TwipsHeight(const QWidget& control);

void SetTwipsLeft(QWidget& control, double left);
void SetTwipsTop(QWidget& control, double top);
void SetTwipsWidth(QWidget& control, double width);
void SetTwipsHeight(QWidget& control, double height);
// All four at once.
void MoveTwips(QWidget& control, double left, double top, double width, double height);

}  // namespace ampora
