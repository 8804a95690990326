#include "live/window_placement.h"

#include <gtest/gtest.h>

#include "settings/settings_store.h"
#include "support/settings_fixture.h"

namespace ampora {
namespace {

// A window on a 1920 x 1080 pixel screen at 15 twips per pixel.
class FakeWindow final : public PlacedWindow {
 public:
  int16_t WindowState() const override { return state; }
  void SetWindowState(int16_t s) override { state = s; }
  float Left() const override { return left; }
  float Top() const override { return top; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  void Move(int32_t l, int32_t t) override {
    left = static_cast<float>(l);
    top = static_cast<float>(t);
  }
  void SetWidth(float w) override { width = w; }
  void SetHeight(float h) override { height = h; }
  float ScreenWidth() const override { return 28800; }
  float ScreenHeight() const override { return 16200; }

  int16_t state = kWindowNormal;
  float left = 1200;
  float top = 900;
  float width = 7950;
  float height = 4800;
};

class WindowPlacementTest : public test::SettingsFixture {
 protected:
  void Restore() { RestoreWindowPlacement(window, "", 1, 0, 0); }
  void Save() { SaveWindowPlacement(window, "", 1, 0); }
  std::string Stored(const std::string& key) {
    return ReadIniValue(key, SettingValue::Text(""), "", "", 0);
  }

  FakeWindow window;
};

TEST_F(WindowPlacementTest, AFirstRunKeepsTheDesignedPlaceAndWritesIt) {
  Restore();
  EXPECT_EQ(window.left, 1200);
  EXPECT_EQ(window.top, 900);
  EXPECT_EQ(Stored("WindowLeft"), "1200");
  EXPECT_EQ(Stored("WindowTop"), "900");
  EXPECT_EQ(Stored("WindowState"), "0");
  EXPECT_EQ(Stored("WindowWidth"), "") << "the main window's size is the designed one";
}

TEST_F(WindowPlacementTest, StoredEdgesAreRoundedToEvenAndKeptOnTheScreen) {
  struct Case {
    const char* left;
    const char* top;
    float expectedLeft;
    float expectedTop;
  };
  for (const Case& c : {Case{"-300", "450", 0, 450}, Case{"28801", "450", 0, 450},
                        Case{"28800", "16200", 28800, 16200}, Case{"500", "16200.5", 500, 16200},
                        Case{"1234.5", "1235.5", 1234, 1236}, Case{" 77 ", "-0.5", 77, 0}}) {
    WriteSetting("WindowLeft", SettingValue::Text(c.left));
    WriteSetting("WindowTop", SettingValue::Text(c.top));
    Restore();
    EXPECT_EQ(window.left, c.expectedLeft) << c.left;
    EXPECT_EQ(window.top, c.expectedTop) << c.top;
  }
}

TEST_F(WindowPlacementTest, AMinimisedWindowKeepsItsLastNormalPosition) {
  window.left = 3000;
  Save();
  window.state = kWindowMinimised;
  window.left = -32000;  // where a minimised window may report itself
  Save();
  EXPECT_EQ(Stored("WindowLeft"), "3000");
  EXPECT_EQ(Stored("WindowState"), "1");

  FakeWindow next;
  RestoreWindowPlacement(next, "", 1, 0, 0);
  EXPECT_EQ(next.left, 3000) << "the old position first";
  EXPECT_EQ(next.state, kWindowMinimised) << "then the state";
}

TEST_F(WindowPlacementTest, TextThatIsNoNumberStopsTheRestore) {
  WriteSetting("WindowLeft", SettingValue::Text("100"));
  WriteSetting("WindowTop", SettingValue::Text("top"));
  WriteSetting("WindowState", SettingValue::Text("2"));
  Restore();
  EXPECT_EQ(window.left, 1200) << "left is applied only together with top";
  EXPECT_EQ(window.state, kWindowNormal);

  WriteSetting("WindowTop", SettingValue::Text("100"));
  WriteSetting("WindowState", SettingValue::Text("7"));
  Restore();
  EXPECT_EQ(window.top, 100);
  EXPECT_EQ(window.state, kWindowNormal) << "no such state";
}

TEST_F(WindowPlacementTest, SizesAreKeptUnderASuffixWhenAsked) {
  window.width = 9000.5f;
  SaveWindowPlacement(window, "FX", 0, 1);
  EXPECT_EQ(Stored("WindowWidthFX"), "9000.5");
  EXPECT_EQ(Stored("WindowStateFX"), "");
  FakeWindow next;
  RestoreWindowPlacement(next, "FX", 0, 1, 1);
  EXPECT_EQ(next.width, 9000.5f);
  EXPECT_EQ(next.height, 4800);
  EXPECT_EQ(next.left, 1200) << "position skipped";
}

}  // namespace
}  // namespace ampora
