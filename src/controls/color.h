#pragma once

#include <array>
#include <cstdint>

// Colours are 32-bit values red + 256 x green + 65536 x blue (0xBBGGRR). A value with the
// top bit set names a system colour by its number in the low bits; the system colours come
// from the application's palette (ResolveColor).
//
// Thread: UI thread (system colours read the application's palette).

namespace ampora {

using Color = int32_t;

constexpr Color SystemColor(int32_t number) {
  return static_cast<Color>(0x80000000u | static_cast<uint32_t>(number));
}
constexpr bool IsSystemColor(Color color) {
  return color < 0;
}

// A plain colour from channels already in 0..255 (for constants; MakeRGB clamps).
constexpr Color Rgb(int32_t red, int32_t green, int32_t blue) {
  return red + 256 * green + 65536 * blue;
}

constexpr Color kColorWindow = SystemColor(5);
constexpr Color kColorWindowText = SystemColor(8);
constexpr Color kColorBtnFace = SystemColor(15);
constexpr Color kColorBtnShadow = SystemColor(16);
constexpr Color kColorBtnText = SystemColor(18);
constexpr Color kColor3DHighlight = SystemColor(20);
constexpr Color kColor3DDkShadow = SystemColor(21);
constexpr Color kColor3DLight = SystemColor(22);

struct RgbParts {
  int32_t red;
  int32_t green;
  int32_t blue;
};

// red = colour AND 255, green = (colour div 256) AND 255, blue = colour div 65536.
RgbParts SplitRGB(Color color);

// Each channel clamped to 0..255.
Color MakeRGB(int32_t red, int32_t green, int32_t blue);

// A plain colour as it stands; a system colour from the application's palette (black for
// a number the palette does not know).
Color ResolveColor(Color color);

// factor other than -1: each channel times factor; factor -1: each channel plus its delta.
// The factor is taken to four decimal places and the products are exact in that fixed
// point before they are rounded (ties to even). System colours are resolved first. A
// factor the fixed point cannot hold (beyond +-1e11, NaN) is an error that ends the
// routine quietly with black, unless ErrorCatch is set.
Color AdjustColor(Color color, int32_t deltaRed, int32_t deltaGreen, int32_t deltaBlue,
                  double factor = -1);

// Four tones derived from white and the button colours, each computed on first use and
// then kept: tone 0 white at brightness 255, 1 button face at 200, 2 button shadow at 110,
// 3 button face at 60.
class ToneCache {
 public:
  // The cached tone; 0 for a tone outside 0..3 or when it cannot be computed.
  Color Tone(int32_t tone);

 private:
  std::array<Color, 4> entries_{};
};

// The program's tone cache, kept for the life of the process.
Color ToneColor(int32_t tone);

}  // namespace ampora
