#include "live/window_placement.h"

#include <optional>

#include "settings/setting_number.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"

namespace ampora {

namespace {

float StoredSize(const std::string& text) {
  const std::optional<float> size = ParseSettingNumber<float>(text);
  Check(size.has_value(), "window size is not a number");
  return *size;
}

std::string ReadFloatKey(const std::string& key, float current) {
  return ReadSetting(key, SettingValue::Float(current));
}

}  // namespace

int32_t EdgeOnScreen(int32_t edge, float screenExtent) {
  return edge < 0 || static_cast<float>(edge) > screenExtent ? 0 : edge;
}

void RestoreWindowPlacement(PlacedWindow& window, const std::string& suffix, int skipSize,
                            int skipState, int skipPosition) {
  TrapErrors([&] {
    if (window.WindowState() == kWindowNormal) {
      if (skipPosition == 0) {
        const int32_t left = SettingInt32(ReadFloatKey("WindowLeft" + suffix, window.Left()));
        const int32_t top = SettingInt32(ReadFloatKey("WindowTop" + suffix, window.Top()));
        window.Move(EdgeOnScreen(left, window.ScreenWidth()),
                    EdgeOnScreen(top, window.ScreenHeight()));
      }
      if (skipSize == 0) {
        window.SetHeight(StoredSize(ReadFloatKey("WindowHeight" + suffix, window.Height())));
        window.SetWidth(StoredSize(ReadFloatKey("WindowWidth" + suffix, window.Width())));
      }
    }
    if (skipState == 0) {
      const int32_t state = SettingInt32(
          ReadSetting("WindowState" + suffix, SettingValue::Int16(window.WindowState())));
      if (state >= kWindowNormal && state <= kWindowMaximised) {
        window.SetWindowState(static_cast<int16_t>(state));
      }
    }
  });
}

void SaveWindowPlacement(const PlacedWindow& window, const std::string& suffix, int skipSize,
                         int skipState) {
  TrapErrors([&] {
    if (window.WindowState() == kWindowNormal) {
      WriteSetting("WindowLeft" + suffix, SettingValue::Float(window.Left()));
      WriteSetting("WindowTop" + suffix, SettingValue::Float(window.Top()));
      if (skipSize == 0) {
        WriteSetting("WindowHeight" + suffix, SettingValue::Float(window.Height()));
        WriteSetting("WindowWidth" + suffix, SettingValue::Float(window.Width()));
      }
    }
    if (skipState == 0)
      WriteSetting("WindowState" + suffix, SettingValue::Int16(window.WindowState()));
  });
}

}  // namespace ampora
