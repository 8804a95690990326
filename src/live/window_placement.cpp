#include "live/window_placement.h"

#include "live/setting_number.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"
#include "util/rounding.h"

namespace ampora {

namespace {

std::string ReadFloatKey(const std::string& key, float current) {
  return ReadSetting(key, SettingValue::Float(current));
}

}  // namespace

int32_t StoredCoordinate(const std::string& text) {
  return RoundInt32(SettingNumber(text));
}

int32_t EdgeOnScreen(int32_t edge, float screenExtent) {
  return edge < 0 || static_cast<float>(edge) > screenExtent ? 0 : edge;
}

void RestoreWindowPlacement(PlacedWindow& window, const std::string& suffix, int skipSize,
                            int skipState, int skipPosition) {
  TrapErrors([&] {
    if (window.WindowState() == kWindowNormal) {
      if (skipPosition == 0) {
        const int32_t left = StoredCoordinate(ReadFloatKey("WindowLeft" + suffix, window.Left()));
        const int32_t top = StoredCoordinate(ReadFloatKey("WindowTop" + suffix, window.Top()));
        window.Move(EdgeOnScreen(left, window.ScreenWidth()),
                    EdgeOnScreen(top, window.ScreenHeight()));
      }
      if (skipSize == 0) {
        window.SetHeight(SettingFloat(ReadFloatKey("WindowHeight" + suffix, window.Height())));
        window.SetWidth(SettingFloat(ReadFloatKey("WindowWidth" + suffix, window.Width())));
      }
    }
    if (skipState == 0) {
      const int16_t state = RoundInt16(SettingNumber(
          ReadSetting("WindowState" + suffix, SettingValue::Int16(window.WindowState()))));
      if (state >= kWindowNormal && state <= kWindowMaximised) window.SetWindowState(state);
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
