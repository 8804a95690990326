#include "controls/tuner_display.h"

#include <algorithm>

#include "controls/ui_fonts.h"
#include "tuner/tuner_pitch.h"

namespace ampora {

namespace {

constexpr int32_t kLargestFontSize = 9;
constexpr int32_t kSmallestFontSize = 5;
constexpr double kLabelTop = 60;
constexpr double kBarGap = 90;  // between the label line and the bar
constexpr double kBarHeight = 90;

// A level on the bar: 32767 is full scale; louder input stops at the end mark.
double BarPosition(double level) {
  return std::min(level / 32767.0 * kTunerBarLength, kTunerBarLength);
}

}  // namespace

int32_t ApplyTunerFont(Surface& picture) {
  for (int32_t size = kLargestFontSize; size > kSmallestFontSize; --size) {
    ApplyUiFont(&picture, -2, {}, static_cast<float>(size));
    if (TunerLabelRowWidth(picture) <= kTunerDisplayWidth) return size;
  }
  ApplyUiFont(&picture, -2, {}, static_cast<float>(kSmallestFontSize));
  return kSmallestFontSize;
}

double TunerLabelRowWidth(const Surface& picture) {
  double width = 0;
  for (int32_t p = 0; p < kTunerPitchCount; ++p) width += picture.TextWidth(TunerLabel(p));
  return width;
}

void DrawTuner(Surface& picture, const TunerReading& reading) {
  picture.Clear();
  double x = 0;
  for (int32_t p = 0; p < kTunerPitchCount; ++p) {
    const std::string label = TunerLabel(p);
    picture.SetPrintPosition(x, kLabelTop);
    x += picture.TextWidth(label);
    picture.SetForeColor(p == reading.found ? kTunerHighlight : kTunerNormal);
    picture.Print(label);
  }

  const double y = picture.TextHeight("I") + kBarGap;
  picture.Box(0, y, BarPosition(reading.peak), y + kBarHeight, kTunerNormal);
  picture.Box(kTunerBarLength, y, kTunerBarLength + kTunerMarkWidth, y + kBarHeight, kTunerNormal);
  const double hold = BarPosition(reading.hold);
  picture.Box(hold, y, hold + kTunerMarkWidth, y + kBarHeight, kTunerHighlight);
}

}  // namespace ampora
