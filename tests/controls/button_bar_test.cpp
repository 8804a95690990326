#include "controls/button_bar.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/icon_strip.h"
#include "qt_test_helpers.h"

namespace ampora {
namespace {

// The transport bar's shape: four caption buttons, design 0 (8-pixel end pieces), a
// control 300 x 24 pixels wide before Init.
class ButtonBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar_.resize(300, 24);
    bar_.SetNumButtons(4);
    bar_.SetButtonChar(0, "Start");
    bar_.SetButtonChar(1, "Bypass");
    bar_.SetButtonChar(2, "Tuner");
    bar_.SetButtonChar(3, "Store");
    bar_.Init();
  }

  Color At(int32_t x, int32_t y) { return bar_.Picture().Pixel(x, y); }

  QImage Cell(int32_t x) { return bar_.Picture().Image().copy(x, 0, 70, 24); }

  void Press(int32_t x, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mousePress(&bar_, button, keys, QPoint(x, 10));
  }
  void Release(int32_t x, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers keys = Qt::NoModifier, int32_t y = 10) {
    QTest::mouseRelease(&bar_, button, keys, QPoint(x, y));
  }

  UC_Buttons bar_;
  QSignalSpy down_{&bar_, &UC_Buttons::ButtonDown};
  QSignalSpy clicked_{&bar_, &UC_Buttons::ButtonClicked};
  QSignalSpy shiftClicked_{&bar_, &UC_Buttons::ShiftClicked};
  QSignalSpy rightClicked_{&bar_, &UC_Buttons::RightClicked};
  QSignalSpy hover_{&bar_, &UC_Buttons::Hover};
};

TEST_F(ButtonBarTest, LayoutPutsFourButtonsOf70PixelsBetweenTheEndPieces) {
  // w = (300 - 16 - 2) / 4 = 70; the control shrinks to 70 x 4 + 18 = 298.
  EXPECT_EQ(bar_.width(), 298);
  EXPECT_EQ(At(8, 12), ResolveColor(kColor3DDkShadow));
  EXPECT_EQ(At(297, 12), ResolveColor(kColor3DDkShadow));
  EXPECT_EQ(At(3, 12), At(9 + 3, 12)) << "the left end piece is the face's left edge";
  EXPECT_EQ(At(289 + 3, 12), At(3, 12)) << "so is the right one";
  // Buttons start at 9, 79, 149 and 219: a press finds the button under it.
  for (const int32_t x : {8, 9, 78, 79, 148, 149, 218, 219, 288, 289}) {
    Press(x);
    Release(x);
  }
  ASSERT_EQ(down_.count(), 8);
  const std::vector<int> expected = {0, 0, 1, 1, 2, 2, 3, 3};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(down_[i][0].toInt(), expected[i]) << "press " << i;
}

TEST_F(ButtonBarTest, PressedButtonSinksByOnePixel) {
  const int32_t column = 79 + 5;
  std::vector<Color> before;
  for (int32_t y = 0; y < 24; ++y) before.push_back(At(column, y));
  bar_.DrawButton(1, 1);
  EXPECT_EQ(At(column, 0), bar_.Picture().BackColor());
  for (int32_t y = 0; y + 1 < 24; ++y) EXPECT_EQ(At(column, y + 1), before[y]) << "row " << y;
  bar_.DrawButton(1, 0);
  for (int32_t y = 0; y < 24; ++y) EXPECT_EQ(At(column, y), before[y]);
}

TEST_F(ButtonBarTest, PressAndReleaseOverTheSameButtonClicks) {
  Press(100);
  Release(110);
  ASSERT_EQ(down_.count(), 1);
  EXPECT_EQ(down_[0][0].toInt(), 1);
  ASSERT_EQ(clicked_.count(), 1);
  EXPECT_EQ(clicked_[0][0].toInt(), 1);
  EXPECT_EQ(shiftClicked_.count(), 0);
}

TEST_F(ButtonBarTest, ReleaseOverAnotherButtonOrOutsideRaisesNothing) {
  const QImage normal = Cell(79);
  Press(100);
  EXPECT_NE(Cell(79), normal) << "drawn pressed";
  Release(160);
  Press(100);
  Release(100, Qt::LeftButton, Qt::NoModifier, 30);  // below the control
  EXPECT_EQ(down_.count(), 2);
  EXPECT_EQ(clicked_.count(), 0);
  EXPECT_EQ(Cell(79), normal) << "a button dragged off comes back up";
}

TEST_F(ButtonBarTest, ModifiersGiveShiftClickedWithTheirState) {
  Press(160, Qt::LeftButton, Qt::ControlModifier);
  Release(160, Qt::LeftButton, Qt::ControlModifier);
  Press(160, Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier);
  Release(160, Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(clicked_.count(), 0);
  ASSERT_EQ(shiftClicked_.count(), 2);
  EXPECT_EQ(SignalArgs(shiftClicked_, 0), std::vector<int>({2, 2}));
  EXPECT_EQ(SignalArgs(shiftClicked_, 1), std::vector<int>({2, 5}));
}

TEST_F(ButtonBarTest, RightClickNeitherPressesNorClicks) {
  const QImage normal = Cell(219);
  Press(230, Qt::RightButton);
  EXPECT_EQ(Cell(219), normal);
  Release(230, Qt::RightButton);
  EXPECT_EQ(down_.count(), 0);
  EXPECT_EQ(clicked_.count(), 0);
  ASSERT_EQ(rightClicked_.count(), 1);
  EXPECT_EQ(rightClicked_[0][0].toInt(), 3);
}

TEST_F(ButtonBarTest, DisabledButtonsShowNoPressAndRaiseNothing) {
  bar_.SetButtonDisable(2, 1, 1);
  bar_.SetButtonDisable(3, 1, 0, 1);
  EXPECT_EQ(bar_.GetButtonDisable(2), 1);
  EXPECT_EQ(bar_.GetButtonDisable(3), 0);
  EXPECT_EQ(bar_.GetButtonDisable(3, 1), 1);
  EXPECT_EQ(bar_.GetButtonDisable(9), 0);
  EXPECT_EQ(bar_.GetButtonDisable(-1), 0);
  bar_.SetButtonDisable(-1, 1);
  bar_.SetButtonDisable(4, 1, 1);
  const QImage disabled = Cell(149);
  for (const int32_t x : {160, 230}) {
    Press(x);
    EXPECT_EQ(Cell(149), disabled);
    Release(x);
    Press(x, Qt::RightButton);
    Release(x, Qt::RightButton);
  }
  EXPECT_EQ(down_.count(), 0);
  EXPECT_EQ(clicked_.count(), 0);
  EXPECT_EQ(rightClicked_.count(), 0);
  bar_.SetButtonDisable(3, 0, 1, 1);
  Press(230);
  Release(230);
  EXPECT_EQ(clicked_.count(), 1);
}

TEST_F(ButtonBarTest, DoubleClickCountsAsASecondPress) {
  Press(20);
  Release(20);
  QTest::mouseDClick(&bar_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  Release(20);
  EXPECT_EQ(down_.count(), 2);
  EXPECT_EQ(clicked_.count(), 2);
}

TEST_F(ButtonBarTest, OnlyALeftDoubleClickPresses) {
  const QImage normal = Cell(79);
  for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
    Press(100, button);
    Release(100, button);
    QTest::mouseDClick(&bar_, button, Qt::NoModifier, QPoint(100, 10));
    EXPECT_EQ(Cell(79), normal) << "button " << button << " is not drawn pressed";
    Release(100, button);
  }
  EXPECT_EQ(down_.count(), 0);
  EXPECT_EQ(clicked_.count(), 0);
  EXPECT_EQ(rightClicked_.count(), 2) << "a right double click is two right clicks";
}

TEST_F(ButtonBarTest, HoverReportsChangesOfTheButtonUnderTheMouse) {
  MoveMouse(bar_, QPoint(20, 10));
  EXPECT_EQ(hover_.count(), 0) << "the last hovered index starts at 0";
  MoveMouse(bar_, QPoint(100, 10));
  MoveMouse(bar_, QPoint(110, 10));
  MoveMouse(bar_, QPoint(3, 10));
  MoveMouse(bar_, QPoint(4, 10));
  MoveMouse(bar_, QPoint(20, 10));
  ASSERT_EQ(hover_.count(), 3);
  EXPECT_EQ(hover_[0][0].toInt(), 1);
  EXPECT_EQ(hover_[1][0].toInt(), -1) << "the end piece is no button";
  EXPECT_EQ(hover_[2][0].toInt(), 0);
}

TEST_F(ButtonBarTest, EmphasisColoursTheCaption) {
  // Caption pixels of the cell (antialiased, so near the colour).
  auto count = [&](int32_t cellX, Color color) {
    return InkNear(bar_.Picture(), color, 39, QRect(cellX, 0, 70, 24)).count;
  };
  const Color green = Rgb(0, 208, 0);
  EXPECT_EQ(count(149, green), 0);
  bar_.SetSelectedButton(2);
  EXPECT_EQ(bar_.SelectedButton(), 2);
  EXPECT_GT(count(149, green), 0);
  bar_.SetButtonOn(0, 1, 1);
  EXPECT_EQ(bar_.GetButtonOn(0), 1);
  EXPECT_GT(count(9, green), 0);
  bar_.SetSelectedButton(-1);
  EXPECT_EQ(count(149, green), 0);
}

// Icon presets, the tint and the mask copies, with a face colour that makes the tint
// factors 1, 0.5 and 0.
class IconBarTest : public ::testing::Test {
 protected:
  IconBarTest() : palette_(TintingPalette()) {}

  static QPalette TintingPalette() {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, QColor(210, 105, 0));
    return palette;
  }

  void SetUp() override {
    bar_.resize(300, 24);
    bar_.SetButtonsEditorPlay();
    bar_.Init();
  }

  Color At(int32_t x, int32_t y) { return bar_.Picture().Pixel(x, y); }

  PaletteScope palette_;
  UC_Buttons bar_;
};

TEST_F(IconBarTest, PlainIconsAreTintedToTheFaceAndLitOnesKeepTheirColours) {
  const QImage original = BuildIconStrip();
  const Surface& strip = bar_.PiclibHdc();
  const QRgb play = original.pixel(18 + 9, 9);
  EXPECT_EQ(strip.Pixel(18 + 9, 9), MakeRGB(qRed(play), qGreen(play) / 2, 0));
  const QRgb litPlay = original.pixel(9 * 18 + 9, 9);
  EXPECT_EQ(strip.Pixel(9 * 18 + 9, 9), MakeRGB(qRed(litPlay), qGreen(litPlay), qBlue(litPlay)));
  EXPECT_EQ(strip.Pixel(18 + 9, 18 + 9), Rgb(0, 0, 0)) << "masks are not tinted";
  EXPECT_EQ(strip.Pixel(18 + 0, 0), Rgb(0, 0, 0)) << "black stays black";
}

TEST_F(IconBarTest, IconsArePutOnTheFaceThroughTheirMasks) {
  // Button 0 at x 9, width 70: the icon's top-left is (9 + 35 - 9, 12 - 9) = (35, 3).
  const Color record = bar_.PiclibHdc().Pixel(0 * 18 + 8, 8);
  EXPECT_EQ(At(35 + 8, 3 + 8), record);
  EXPECT_EQ(At(35, 3), At(20, 3)) << "transparent corners show the face";
  EXPECT_EQ(bar_.GetButtonChar(0), "");
  EXPECT_EQ(bar_.NumButtons(), 4);
}

TEST_F(IconBarTest, HighlightShowsTheAlternateIconAndDisableAllLeavesIt) {
  const int32_t iconX = 79 + 35 - 9 + 9;
  const Color litPlay = bar_.PiclibHdc().Pixel(9 * 18 + 9, 9);
  const Color play = bar_.PiclibHdc().Pixel(1 * 18 + 9, 9);
  EXPECT_EQ(At(iconX, 3 + 9), play);
  bar_.DrawButton(1, 2);
  EXPECT_EQ(At(iconX, 3 + 9), litPlay);
  bar_.SetButtonDisableAll(1);
  EXPECT_EQ(At(iconX, 3 + 9), litPlay) << "buttons with an alternate icon are not redrawn";
  EXPECT_EQ(bar_.GetButtonDisable(1), 1);

  bar_.SetButtonChar(1, "再生");
  EXPECT_EQ(bar_.GetButtonChar(1), "再生");
  bar_.DrawButton(1, 2);
  EXPECT_NE(At(iconX, 3 + 9), litPlay) << "a caption button draws no icon";
}

TEST(ButtonBarSetup, CountsPresetsAndTheOKCancelPair) {
  UC_Buttons bar;
  bar.SetNumButtons(0);
  EXPECT_EQ(bar.NumButtons(), 1);
  bar.SetButtonsPCXplay();
  EXPECT_EQ(bar.NumButtons(), 5);
  bar.SetButtonsMCI();
  EXPECT_EQ(bar.NumButtons(), 3);
  bar.SetButtonCharNum();
  EXPECT_EQ(bar.GetButtonChar(2), "3");
  EXPECT_EQ(bar.GetButtonChar(3), "");

  bar.SetOKCancel();
  EXPECT_EQ(bar.NumButtons(), 2);
  EXPECT_EQ(bar.GetButtonChar(0), "キャンセル");
  EXPECT_EQ(bar.GetButtonChar(1), "OK");
  EXPECT_EQ(bar.size(), QSize(160, 22)) << "2400 x 330 twips";
  bar.resize(200, 30);
  bar.SetOKCancel(1, 1);
  EXPECT_EQ(bar.GetButtonChar(0), "OK");
  EXPECT_EQ(bar.height(), 30);
  // Design 1 has no end pieces: two buttons of (200 - 2) / 2 = 99 pixels from x 1.
  EXPECT_EQ(bar.width(), 200);
}

}  // namespace
}  // namespace ampora
