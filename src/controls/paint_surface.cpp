#include "controls/paint_surface.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "controls/shaded_outlines.h"
#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

namespace {

constexpr Color kWhite = Rgb(255, 255, 255);

// Light greys of the textured background, one per row, repeating every 29 rows.
constexpr std::array<RgbParts, 29> kTexture = {{
    {190, 189, 196}, {212, 211, 215}, {200, 200, 207}, {205, 204, 210}, {203, 203, 208},
    {197, 196, 204}, {196, 195, 202}, {206, 205, 210}, {188, 187, 195}, {209, 208, 213},
    {200, 201, 206}, {206, 205, 210}, {194, 192, 199}, {200, 198, 205}, {204, 204, 209},
    {202, 201, 207}, {205, 204, 210}, {208, 206, 213}, {198, 199, 205}, {200, 200, 207},
    {206, 205, 210}, {212, 211, 216}, {198, 198, 204}, {205, 204, 210}, {210, 209, 215},
    {194, 194, 201}, {200, 199, 205}, {201, 201, 208}, {206, 206, 211},
}};

Color Combine(const RgbParts& c) {
  return MakeRGB(c.red, c.green, c.blue);
}

// ka x a + kb x b per channel, to the nearest integer.
Color Blend(const RgbParts& a, double ka, const RgbParts& b, double kb) {
  return MakeRGB(RoundInt32(ka * a.red + kb * b.red), RoundInt32(ka * a.green + kb * b.green),
                 RoundInt32(ka * a.blue + kb * b.blue));
}

// Step i of n from start to end, each channel stepped separately.
Color Gradient(const RgbParts& start, const RgbParts& end, int32_t i, int32_t n) {
  auto channel = [i, n](int32_t from, int32_t to) {
    return RoundInt32(from + static_cast<double>(i * (to - from)) / n);
  };
  return MakeRGB(channel(start.red, end.red), channel(start.green, end.green),
                 channel(start.blue, end.blue));
}

// from + f x (to - from) / n per channel: the rim colours of the round designs.
Color Swell(const RgbParts& from, const RgbParts& to, double f, int32_t n) {
  auto channel = [f, n](int32_t a, int32_t b) { return RoundInt32(a + f * (b - a) / n); };
  return MakeRGB(channel(from.red, to.red), channel(from.green, to.green),
                 channel(from.blue, to.blue));
}

class Painter {
 public:
  Painter(Surface& surface, Color c1, Color c2, Color c3)
      : s_(surface),
        tpp_(TwipsPerPixel),
        w_(surface.ScaleWidth()),
        h_(surface.ScaleHeight()),
        wPx_(PixelsFromTwips(w_)),
        hPx_(PixelsFromTwips(h_)),
        c1_(SplitRGB(c1)),
        c2_(SplitRGB(c2)),
        c3_(SplitRGB(c3)) {
    const RgbParts black{0, 0, 0};
    shade_ = {Combine(c1_), Blend(c1_, 0.66, c2_, 0.33), Blend(c1_, 0.33, c2_, 0.66),
              Combine(c2_), Blend(c2_, 0.66, c3_, 0.33), Blend(c2_, 0.33, c3_, 0.66),
              Combine(c3_), Blend(c3_, 0.66, black, 0),  Blend(c3_, 0.33, black, 0)};
  }

  void Paint(int32_t style, int32_t extra1, int32_t extra2, int32_t extra3) {
    switch (style) {
      case -2:
        s_.SetBackColor(Combine(c2_));
        return;
      case -1:
        break;
      case 0:
        Bands(20);
        break;
      case 1:
        Bevel();
        return;
      case 2:
        Diagonal();
        return;
      case 3:
      case 4:
        Columns(style == 3);
        return;
      case 5:
        VerticalMirror();
        return;
      case 6:
        HorizontalMirror();
        return;
      case 7:
        VerticalMirror();
        break;
      case 8:
        HorizontalMirror();
        break;
      case 9:
        KnobFace();
        return;
      case 10:
        Bands(8);
        break;
      case 11:
        Bevel();
        break;
      case 12:
        Pillow();
        return;
      case 13:
        CircularKnob(extra1, extra2, extra3);
        return;
      case 14:
      case 15:
        Texture(style == 15);
        return;
      default:
        return;
    }
    FinalFrame();
  }

 private:
  double Px(double pixels) const { return TwipsFromPixels(pixels, tpp_); }

  void HLine(double y, double x1, double x2, Color color) { s_.Line(x1, y, x2, y, color); }
  void VLine(double x, double y1, double y2, Color color) { s_.Line(x, y1, x, y2, color); }

  void FinalFrame() {
    VLine(0, 0, h_ - Px(1), shade_[0]);
    HLine(0, 0, w_ - Px(1), shade_[0]);
    VLine(w_ - Px(1), 0, h_, shade_[8]);
    HLine(h_ - Px(1), 0, w_ - Px(1), shade_[8]);
  }

  // Gradient bands of n + 1 rows at the top (c1 to c2) and the bottom (c2 to c3); the
  // middle keeps what the surface had.
  void Bands(int32_t n) {
    for (int32_t i = 0; i <= n; ++i) HLine(Px(i), 0, w_ + Px(20), Gradient(c1_, c2_, i, n));
    for (int32_t i = 0; i <= n; ++i) {
      HLine(h_ - Px(n) + Px(i), 0, w_ + Px(20), Gradient(c2_, c3_, i, n));
    }
  }

  void Bevel() {
    HLine(0, 0, w_, shade_[0]);
    HLine(Px(1), Px(1), w_ - Px(1), shade_[1]);
    HLine(Px(2), Px(2), w_ - Px(2), shade_[1]);
    VLine(0, 0, h_, shade_[0]);
    VLine(Px(1), Px(1), h_ - Px(1), shade_[1]);
    VLine(Px(2), Px(2), h_ - Px(2), shade_[2]);
    s_.Box(w_ - Px(1), 0, w_, h_, shade_[6]);
    VLine(w_ - Px(2), Px(1), h_ - Px(1), shade_[5]);
    VLine(w_ - Px(3), Px(2), h_ - Px(2), shade_[4]);
    s_.Box(0, h_ - Px(1), w_, h_, shade_[6]);
    HLine(h_ - Px(2), Px(1), w_ - Px(1), shade_[5]);
    HLine(h_ - Px(3), Px(2), w_ - Px(2), shade_[4]);
  }

  // Anti-diagonals from the top-left corner on, enough to pass the bottom-right corner.
  void Diagonal() {
    const int32_t n = PixelsFromTwips(w_ + h_ + 20);
    for (int32_t i = 0; i <= n; ++i) s_.Line(0, Px(i), Px(i), 0, Gradient(c1_, c2_, i, n));
  }

  void Columns(bool fromC2) {
    auto step = [this](int32_t a, int32_t b) {
      return std::abs(b - a) / static_cast<double>(wPx_);
    };
    const double dr = step(c2_.red, c3_.red);
    const double dg = step(c2_.green, c3_.green);
    const double db = step(c2_.blue, c3_.blue);
    for (int32_t i = 0; i <= wPx_; ++i) {
      const Color color =
          fromC2 ? MakeRGB(RoundInt32(c2_.red - i * dr), RoundInt32(c2_.green - i * dg),
                           RoundInt32(c2_.blue - i * db))
                 : MakeRGB(RoundInt32(c3_.red + i * dr), RoundInt32(c3_.green + i * dg),
                           RoundInt32(c3_.blue + i * db));
      VLine(Px(i), 0, h_, color);
    }
  }

  // c1 at one edge, c2 in the middle, c3 at the other edge; `line` draws one row or
  // column at a pixel offset.
  template <class DrawLine>
  void Mirror(double extent, DrawLine line) {
    int32_t n = DivInt32(RoundInt32(extent), 2 * tpp_);
    if (n < 1) n = 1;
    for (int32_t i = 0; i <= n; ++i) {
      const double f = 1 - static_cast<double>(i) / n;
      line(n - i, Blend(c1_, 1 - f, c2_, f));
      line(n + i, Blend(c3_, 1 - f, c2_, f));
    }
  }

  void VerticalMirror() {
    Mirror(h_, [this](int32_t y, Color color) { HLine(Px(y), 0, w_ + Px(20), color); });
  }

  void HorizontalMirror() {
    Mirror(w_, [this](int32_t x, Color color) { VLine(Px(x), 0, h_ + Px(20), color); });
  }

  void KnobFace() {
    s_.SetBackColor(shade_[1]);
    const int32_t n = DivInt32(hPx_ - 3, 2);
    for (int32_t i = 0; i <= n; ++i) {
      HLine(Px(3 + i), Px(2), Px(wPx_ - 3), Gradient(c3_, c2_, i, n));
    }
    for (int32_t i = 0; i <= n; ++i) {
      HLine(Px(n + 3 + i), Px(2), Px(wPx_ - 3), Gradient(c2_, c1_, i, n));
    }
    HLine(h_ / 2, Px(2), Px(wPx_ - 4), shade_[5]);
    s_.Box(Px(2), h_ - Px(5), Px(wPx_ - 4), h_, shade_[0]);
    s_.Box(Px(1), h_ - Px(3), Px(wPx_ - 3), h_, shade_[6]);
    s_.Box(0, h_ - Px(1), w_, h_, shade_[7]);
    s_.Box(w_ - Px(1), 0, w_, h_, shade_[8]);
  }

  void Pillow() {
    const int32_t n = DivInt32(hPx_, 2);
    for (int32_t i = 1; i <= n; ++i) {
      const double f = std::sqrt(static_cast<double>(n * n - (n - i) * (n - i)));
      DrawCurvedRing(s_, i + 1, i, wPx_ - i - 1, hPx_ - i, Swell(c1_, c2_, f, n),
                     Swell(c2_, c3_, f, n), 3);
    }
    DrawCurvedRing(s_, 1, 0, wPx_ - 1, hPx_, kWhite, shade_[8], 1);
  }

  void CircularKnob(int32_t extra1, int32_t extra2, int32_t extra3) {
    const int32_t r = extra1 == kDefaultExtra ? DivInt32(hPx_, 2) : extra1;
    const int32_t cx = extra2 == kDefaultExtra ? DivInt32(wPx_, 2) : extra2;
    const int32_t cy = extra3 == kDefaultExtra ? DivInt32(hPx_, 2) : extra3;
    for (int32_t i = 1; i <= r; ++i) {
      const double f = std::sqrt(static_cast<double>(r) * r - static_cast<double>(r - i) * (r - i));
      DrawShadedCircle(s_, cx - r + i, cy - r + i, cx + r - i, cy + r - i, Swell(c1_, c2_, f, r),
                       Swell(c2_, c3_, f, r), 2, 0);
    }
    DrawShadedCircle(s_, cx - r, cy - r, cx + r, cy + r, kWhite, shade_[7], 1, 0);
  }

  void Texture(bool shadedEnds) {
    for (int32_t i = 1; i <= hPx_; ++i) {
      RgbParts t = kTexture[static_cast<size_t>(i % 29)];
      if (shadedEnds) {
        int32_t lift = 0;
        if (i < 20) lift += 3 * (20 - i);
        if (i > hPx_ - 20) lift += 3 * (hPx_ - i - 20);
        t = {t.red + lift, t.green + lift, t.blue + lift};
      }
      auto channel = [](int32_t base, int32_t grain) {
        return RoundInt32(base * (grain / 275.0 + 0.25));
      };
      const Color row =
          MakeRGB(channel(c2_.red, t.red), channel(c2_.green, t.green), channel(c2_.blue, t.blue));
      s_.Box(Px(1), Px(i), w_, Px(i), row);
    }
    VLine(Px(1), Px(1), h_ - Px(1), kWhite);
    HLine(Px(1), Px(1), w_ - Px(1), kWhite);
    VLine(0, 0, h_, kWhite);
    HLine(0, 0, w_, kWhite);
    constexpr Color midGrey = Rgb(176, 176, 176);
    constexpr Color darkGrey = Rgb(96, 96, 96);
    s_.Box(Px(2), h_ - Px(2), w_, h_, midGrey);
    s_.Box(w_ - Px(2), Px(2), w_, h_, midGrey);
    s_.Box(Px(1), h_ - Px(1), w_, h_, darkGrey);
    s_.Box(w_ - Px(1), Px(1), w_, h_, darkGrey);
  }

  Surface& s_;
  int32_t tpp_;
  double w_;
  double h_;
  int32_t wPx_;
  int32_t hPx_;
  RgbParts c1_;
  RgbParts c2_;
  RgbParts c3_;
  std::array<Color, 9> shade_{};
};

Color OrDefault(Color color, int32_t tone) {
  return ResolveColor(color == kDefaultColor ? ToneColor(tone) : color);
}

}  // namespace

void PaintSurface(Surface& surface, int32_t style, Color c1, Color c2, Color c3, int32_t extra1,
                  int32_t extra2, int32_t extra3) {
  TrapErrors([&] {
    Painter painter(surface, OrDefault(c1, 0), OrDefault(c2, 1), OrDefault(c3, 2));
    painter.Paint(style, extra1, extra2, extra3);
  });
}

void PaintFramed(Surface& surface, Color color1, Color color2, int32_t noGradient, int32_t width) {
  if (noGradient == 0) PaintSurface(surface, 2, color1, color2);
  TrapErrors([&] {
    const Color dark = AdjustColor(color1, -40, -40, -40);
    const Color light = AdjustColor(color2, 40, 40, 40);
    const double w = surface.ScaleWidth();
    const double h = surface.ScaleHeight();
    for (int32_t d = 0; d < width; ++d) {
      // The frame d pixels in: light along the top and left, dark along the bottom and right.
      const double in = TwipsFromPixels(d);
      const double bottom = h - TwipsFromPixels(d + 1);
      const double right = w - TwipsFromPixels(d + 1);
      surface.Line(in, in, w - in, in, light);
      surface.Line(in, in, in, h - in, light);
      surface.Line(in, bottom, w - in, bottom, dark);
      surface.Line(right, in, right, h - in, dark);
    }
  });
}

}  // namespace ampora
