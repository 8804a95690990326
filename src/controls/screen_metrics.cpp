#include "controls/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace ampora {

int32_t MeasureTwipsPerPixel() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
  if (!(dpi > 0.0)) return 15;
  return static_cast<int32_t>(std::nearbyint(1440.0 / dpi));
}

}  // namespace ampora
