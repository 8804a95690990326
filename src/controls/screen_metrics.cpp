#include "controls/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "util/rounding.h"

namespace ampora {

namespace {
constexpr int32_t kStandardTwipsPerPixel = 15;
}  // namespace

int32_t TwipsPerPixelForDpi(double dpi) {
  // Below 1 dpi (or NaN) the screen is not telling the truth.
  if (!(dpi >= 1.0)) return kStandardTwipsPerPixel;
  return std::max(RoundInt32(1440.0 / dpi), 1);
}

int32_t MeasureTwipsPerPixel() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return TwipsPerPixelForDpi(screen != nullptr ? screen->logicalDotsPerInchX() : 96.0);
}

int32_t DotsPerMeterFor(int32_t twipsPerPixel) {
  return RoundInt32(1440.0 / twipsPerPixel / 0.0254);
}

}  // namespace ampora
