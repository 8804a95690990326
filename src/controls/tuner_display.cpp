#include "controls/tuner_display.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "controls/ui_fonts.h"
#include "tuner/note_reading.h"
#include "tuner/tuner_pitch.h"

namespace ampora {

namespace {

constexpr int32_t kLargestFontSize = 9;
constexpr int32_t kSmallestFontSize = 5;
constexpr double kLabelTop = 60;
constexpr double kBarGap = 90;  // between the label line and the bar
constexpr double kBarHeight = 90;

// The note picture: the note's font, and the number's and the scale labels'.
constexpr float kNoteFontSize = 15;
constexpr float kNumberFontSize = 8;
constexpr double kNoteLeft = 60;
// The scale's ticks (every 10 cents; longer at 0 and the ends) hang from its line.
constexpr double kScaleTop = 75;
constexpr double kTickLength = 90;
constexpr double kMainTickLength = 165;
constexpr double kNeedleTop = 15;
constexpr double kNeedleBottom = 300;
constexpr double kNumberTop = 315;

double ScaleX(double cents) {
  const double limited = std::clamp(cents, -50.0, 50.0);
  return kTunerScaleLeft + (limited + 50.0) / 100.0 * (kTunerScaleRight - kTunerScaleLeft);
}

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

void DrawTunerNote(Surface& picture, const TunerReading& reading) {
  picture.Clear();
  picture.Line(kTunerScaleLeft, kScaleTop, kTunerScaleRight + 15, kScaleTop, kTunerNormal);
  for (int32_t cents = -50; cents <= 50; cents += 10) {
    const double length = cents % 50 == 0 ? kMainTickLength : kTickLength;
    picture.Line(ScaleX(cents), kScaleTop, ScaleX(cents), kScaleTop + length, kTunerNormal);
  }

  ApplyUiFont(&picture, -2, {}, kNumberFontSize);
  const std::string reference = ReferencePitchText(reading.a4);
  if (!reference.empty()) {
    picture.SetForeColor(kTunerNormal);
    picture.SetPrintPosition(kTunerScaleRight - picture.TextWidth(reference), kNumberTop);
    picture.Print(reference);
  }
  if (!reading.note) return;

  const double needle = ScaleX(reading.note->cents);
  picture.Box(needle - kTunerNeedleWidth / 2, kNeedleTop, needle + kTunerNeedleWidth / 2,
              kNeedleBottom, kTunerHighlight);
  picture.SetForeColor(kTunerHighlight);
  const std::string cents = CentsText(reading.note->cents);
  picture.SetPrintPosition(std::clamp(needle - picture.TextWidth(cents) / 2, kTunerScaleLeft,
                                      kTunerScaleRight - picture.TextWidth(cents)),
                           kNumberTop);
  // The reference pitch keeps its place at the right; the number goes to the left of it.
  if (!reference.empty() && picture.CurrentX() + picture.TextWidth(cents) >
                                kTunerScaleRight - picture.TextWidth(reference)) {
    picture.SetPrintPosition(kTunerScaleLeft, kNumberTop);
  }
  picture.Print(cents);

  ApplyUiFont(&picture, -2, {}, kNoteFontSize, -1);
  const std::string name = NoteName(reading.note->note);
  picture.SetPrintPosition(kNoteLeft, (kTunerNoteHeight - picture.TextHeight(name)) / 2);
  picture.Print(name);
}

std::string CentsText(double cents) {
  const auto tenths = static_cast<int64_t>(std::nearbyint(cents * 10.0));
  const int64_t size = tenths < 0 ? -tenths : tenths;
  std::string text = tenths > 0 ? "+" : tenths < 0 ? "-" : "";
  return text + std::to_string(size / 10) + "." + std::to_string(size % 10);
}

std::string ReferencePitchText(float a4) {
  if (a4 == kTunerA4Default) return {};
  std::ostringstream text;
  text << "A4 = " << static_cast<double>(a4) << " Hz";
  return text.str();
}

}  // namespace ampora
