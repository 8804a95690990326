#pragma once

#include <cstdint>
#include <string>

// Where a top-level window was, kept in section "conf" of the settings file and put back
// on the next run: its position, optionally its size, and its state, under the keys
// "WindowLeft", "WindowTop", "WindowHeight", "WindowWidth" (twips, 32-bit floats) and
// "WindowState" (0 normal, 1 minimised, 2 maximised), each followed by a suffix of the
// caller's (empty for the main window). Position and size are kept only from a window in
// normal state, so a window closed minimised or maximised keeps the position it last had
// in normal state.
//
// Thread: UI thread.

namespace ampora {

enum WindowStateCode : int16_t { kWindowNormal = 0, kWindowMinimised = 1, kWindowMaximised = 2 };

// The window as placement sees it: geometry in twips, in screen coordinates.
class PlacedWindow {
 public:
  virtual ~PlacedWindow() = default;
  virtual int16_t WindowState() const = 0;
  // Only 0, 1 and 2 are passed.
  virtual void SetWindowState(int16_t state) = 0;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual void Move(int32_t left, int32_t top) = 0;
  virtual void SetWidth(float width) = 0;
  virtual void SetHeight(float height) = 0;
  // The screen's size in twips.
  virtual float ScreenWidth() const = 0;
  virtual float ScreenHeight() const = 0;
};

// Flags: 0 = do it, anything else = skip it. The main window restores with skipSize 1 and
// saves with skipSize 1: its size is the designed one.
//
// Restoring reads each key with the window's current value as the default (an absent key
// is written back, so the first run leaves the designed values in the file). Edges are
// taken to whole twips, halves to the even one (1234.5 -> 1234, 1235.5 -> 1236). A stored
// value that is not a number ends the restore there: what was applied before stays.
// State values other than 0, 1 and 2 are not applied.
void RestoreWindowPlacement(PlacedWindow& window, const std::string& suffix, int skipSize,
                            int skipState, int skipPosition);
void SaveWindowPlacement(const PlacedWindow& window, const std::string& suffix, int skipSize,
                         int skipState);

// The range rule of a restored left or top edge: below 0 or beyond the screen's extent
// it becomes 0; exactly the extent is kept. A window partly off-screen is not moved back.
int32_t EdgeOnScreen(int32_t edge, float screenExtent);

}  // namespace ampora
