#pragma once

#include <cstdint>
#include <optional>

// Where a message box opens: centred over its owner window, kept 600 twips clear of the
// screen's bottom edge and inside its right edge. Pure arithmetic; the window toolkit
// supplies the rectangles (controls/centered_message_box.h).
//
// Thread: any (pure functions).

namespace ampora {

struct PixelPoint {
  int32_t x;
  int32_t y;
};

// The owner's frame rectangle in twips.
struct TwipsRect {
  double left;
  double top;
  double width;
  double height;
};

// The screen the box opens on, in pixels.
struct ScreenPixels {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
};

// Space kept clear above the screen's bottom edge.
inline constexpr int32_t kMessageBottomMarginTwips = 600;

// The wanted centre of the box in screen pixels; nothing for a minimised owner (the box
// then opens where the window system puts it). Raises on a twips-per-pixel of 0.
std::optional<PixelPoint> MessageBoxCentre(const TwipsRect& owner, bool ownerMinimised,
                                           int32_t twipsPerPixel);

// The top-left corner for a box of the given size in pixels around the centre: raised
// to end 600 twips above the screen's bottom, moved left to end at its right edge, and
// never above or left of the screen.
PixelPoint PlaceMessageBox(PixelPoint centre, int32_t boxWidth, int32_t boxHeight,
                           const ScreenPixels& screen, int32_t twipsPerPixel);

}  // namespace ampora
