#include "controls/color.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cstdint>
#include <utility>

#include "util/error_trap.h"
#include "util/rounding.h"

namespace ampora {

namespace {

int32_t ClampChannel(int32_t value) {
  return std::clamp(value, 0, 255);
}

Color FromQColor(const QColor& color) {
  return MakeRGB(color.red(), color.green(), color.blue());
}

// Nearest integer of value / 10000, ties to even, for the four-decimal fixed point.
int64_t RoundTenThousandths(int64_t value) {
  int64_t quotient = value / 10000;
  int64_t remainder = value % 10000;
  if (remainder < 0) {
    remainder += 10000;
    quotient -= 1;
  }
  if (remainder > 5000 || (remainder == 5000 && (quotient & 1) != 0)) quotient += 1;
  return quotient;
}

int32_t ScaleChannel(int32_t channel, int64_t factorTenThousandths) {
  const int64_t scaled = RoundTenThousandths(channel * factorTenThousandths);
  return static_cast<int32_t>(std::clamp<int64_t>(scaled, 0, 255));
}

struct ToneBase {
  Color base;
  double target;
};

}  // namespace

RgbParts SplitRGB(Color color) {
  return {color & 255, (color / 256) & 255, color / 65536};
}

Color MakeRGB(int32_t red, int32_t green, int32_t blue) {
  return ClampChannel(red) + 256 * ClampChannel(green) + 65536 * ClampChannel(blue);
}

Color ResolveColor(Color color) {
  if (!IsSystemColor(color)) return color;
  // The palette roles that stand for the classic system colours.
  static constexpr std::pair<int32_t, QPalette::ColorRole> kRoles[] = {
      {5, QPalette::Base},    {8, QPalette::WindowText},  {15, QPalette::Button},
      {16, QPalette::Dark},   {18, QPalette::ButtonText}, {20, QPalette::Light},
      {21, QPalette::Shadow}, {22, QPalette::Midlight},
  };
  const int32_t number = color & 0xFF;
  for (const auto& [known, role] : kRoles) {
    if (known == number) return FromQColor(QGuiApplication::palette().color(role));
  }
  return 0;
}

Color AdjustColor(Color color, int32_t deltaRed, int32_t deltaGreen, int32_t deltaBlue,
                  double factor) {
  Color adjusted = 0;
  TrapErrors([&] {
    const RgbParts c = SplitRGB(ResolveColor(color));
    if (factor != -1) {
      const double tenThousandths = factor * 10000.0;
      if (!(tenThousandths > -1e15 && tenThousandths < 1e15)) RaiseOverflow();
      const auto fixed = static_cast<int64_t>(RoundHalfEvenSmall(tenThousandths));
      adjusted = MakeRGB(ScaleChannel(c.red, fixed), ScaleChannel(c.green, fixed),
                         ScaleChannel(c.blue, fixed));
      return;
    }
    // Sums in 64 bits: any delta, however large, only pushes the channel to its limit.
    auto add = [](int32_t channel, int32_t delta) {
      return static_cast<int32_t>(std::clamp<int64_t>(int64_t{channel} + delta, 0, 255));
    };
    adjusted = MakeRGB(add(c.red, deltaRed), add(c.green, deltaGreen), add(c.blue, deltaBlue));
  });
  return adjusted;
}

Color ToneCache::Tone(int32_t tone) {
  static constexpr std::array<ToneBase, 4> kBases = {{
      {0xFFFFFF, 255.0},
      {kColorBtnFace, 200.0},
      {kColorBtnShadow, 110.0},
      {kColorBtnFace, 60.0},
  }};
  if (tone < 0 || tone > 3) return 0;
  Color& entry = entries_[static_cast<size_t>(tone)];
  if (entry != 0) return entry;
  Color computed = 0;
  const bool done = TrapErrors([&] {
    const ToneBase& base = kBases[static_cast<size_t>(tone)];
    const RgbParts c = SplitRGB(ResolveColor(base.base));
    const int32_t average = RoundInt32((c.red + c.green + c.blue) / 3.0);
    auto scale = [&](int32_t channel) { return RoundInt32(base.target / average * channel); };
    computed = MakeRGB(scale(c.red), scale(c.green), scale(c.blue));
  });
  if (!done) return 0;
  // A computed black is kept as 1 so that the entry counts as filled.
  entry = computed == 0 ? 1 : computed;
  return entry;
}

Color ToneColor(int32_t tone) {
  static ToneCache cache;
  return cache.Tone(tone);
}

}  // namespace ampora
