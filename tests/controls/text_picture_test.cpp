#include "controls/text_picture.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "qt_test_helpers.h"

namespace ampora {
namespace {

constexpr Color kSetText = Rgb(176, 176, 208);
constexpr Color kSetLight = Rgb(144, 144, 176);  // colour 2 + 40
constexpr Color kBlack = Rgb(0, 0, 0);

// Text pixels inside the frame: nearer the text colour than any colour of the dark
// gradient (the text is antialiased, so few pixels have its exact colour).
InkBox InkOf(const Surface& s, Color color) {
  return InkNear(s, color, 120, QRect(2, 2, s.WidthPx() - 4, s.HeightPx() - 4));
}

// The effect editor's value panel: 495 x 255 twips (33 x 17 pixels), colour set 1, one
// centred text space in the default font, Init with its defaults.
class ValuePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel_.resize(33, 17);
    panel_.AddStdColorSet(1);
    panel_.AddTextSpace();
    panel_.Init();
    panel_.DispMes(0, "100");
  }

  Color At(int32_t x, int32_t y) const { return panel_.Picture().Pixel(x, y); }

  UC_TextPicture panel_;
};

TEST_F(ValuePanelTest, CentredTextOnADiagonalGradientInsideATwoPixelFrame) {
  for (const int32_t d : {0, 1}) {
    EXPECT_EQ(At(10, d), kSetLight) << "top, ring " << d;
    EXPECT_EQ(At(d, 8), kSetLight) << "left, ring " << d;
    EXPECT_EQ(At(10, 16 - d), kBlack) << "bottom, ring " << d;
    EXPECT_EQ(At(32 - d, 8), kBlack) << "right, ring " << d;
  }
  // (770 twips) / 15 = 51 diagonals from black to RGB(104, 104, 136): diagonal x + y.
  EXPECT_EQ(At(2, 2), Rgb(8, 8, 11));
  EXPECT_EQ(At(30, 3), Rgb(67, 67, 88));
  const InkBox text = InkOf(panel_.Picture(), kSetText);
  ASSERT_GT(text.count, 5);
  EXPECT_NEAR((text.left + text.right) / 2.0, 16, 1.5);
  EXPECT_NEAR((text.top + text.bottom) / 2.0, 8, 2);
}

TEST_F(ValuePanelTest, UnchangedTextIsNotRedrawn) {
  panel_.Picture().SetPixel(10, 8, Rgb(255, 0, 0));
  panel_.DispMes(0, "100");
  panel_.DispMes(3, "7");
  EXPECT_EQ(At(10, 8), Rgb(255, 0, 0));
  panel_.DispMes(0, "200", 1);
  EXPECT_EQ(At(10, 8), Rgb(255, 0, 0)) << "told not to draw";
  EXPECT_EQ(panel_.TextMes(0), "200");
  EXPECT_EQ(panel_.TextMes(1), "");
  panel_.DispMes(0, "300");
  EXPECT_NE(At(10, 8), Rgb(255, 0, 0));
}

TEST_F(ValuePanelTest, APressedTextSpaceLightsUpUntilTheRelease) {
  const QImage before = panel_.Picture().Image();
  panel_.SetUseClick(0, 1);
  QTest::mousePress(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(16, 8));
  EXPECT_GT(InkNear(panel_.Picture(), Rgb(206, 206, 238), 40).count, 5);
  QTest::mouseRelease(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(16, 8));
  EXPECT_EQ(panel_.Picture().Image(), before);
}

TEST_F(ValuePanelTest, TextsAreCutToTheRoomLeftButNeverBelowOneCharacter) {
  panel_.DispMes(0, "1234567890");
  const InkBox cut = InkOf(panel_.Picture(), kSetText);
  EXPECT_GE(cut.left, 4) << "a wide text starts at the margin";
  EXPECT_LT(cut.right, 33 - 4) << "and ends before it";
  EXPECT_GT(cut.right, 33 - 4 - 10) << "cut at its end, not short of the room";

  UC_TextPicture narrow;
  narrow.resize(8, 17);
  narrow.AddStdColorSet(1);
  narrow.AddTextSpace();
  narrow.Init();
  narrow.DispMes(0, "漢");
  EXPECT_GE(InkOf(narrow.Picture(), kSetText).right, 8 - 4) << "one character stays whole";
}

TEST_F(ValuePanelTest, ColourSetsAreChosenByNumber) {
  UC_TextPicture panel;
  panel.resize(33, 17);
  panel.AddStdColorSet(0);
  panel.AddStdColorSet(5);
  panel.AddStdColorSet(9);  // no such set
  panel.Init();
  EXPECT_EQ(panel.Picture().Pixel(10, 0), Rgb(144, 144, 144));
  panel.SetColor(1, 1);
  EXPECT_EQ(panel.Picture().Pixel(10, 0), Rgb(208, 160, 112));
  for (const int32_t ignored : {2, -1}) {
    panel.SetColor(ignored, 1);
    EXPECT_EQ(panel.Picture().Pixel(10, 0), Rgb(208, 160, 112)) << ignored;
  }
  panel.ResetMe();
  EXPECT_EQ(panel.DesignType(), 0);
  EXPECT_EQ(panel.TextMes(0), "");
}

// The darkest pixel inside the edge.
int32_t Darkest(const Surface& s) {
  return DarkestIn(s, QRect(2, 2, s.WidthPx() - 4, s.HeightPx() - 4));
}

// Design 0: plain colours, a sunken edge unless flat.
TEST(PlainTextPanel, ClearsToItsColoursAndLightsOnlyWhilePressed) {
  UC_TextPicture panel;
  panel.resize(60, 20);
  panel.SetColorEx(Rgb(20, 40, 60), Rgb(250, 250, 250));
  panel.AddTextSpace();
  panel.SetUseClick(0, 1);
  panel.Init();
  panel.DispMes(0, "値");
  EXPECT_EQ(panel.Picture().Pixel(0, 0), ResolveColor(kColorBtnShadow)) << "sunken edge";
  EXPECT_EQ(panel.Picture().Pixel(30, 2), Rgb(250, 250, 250));
  const QImage before = panel.Picture().Image();
  const int32_t darkest = Darkest(panel.Picture());
  for (int press = 0; press < 2; ++press) {
    QTest::mousePress(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
    EXPECT_GT(Darkest(panel.Picture()), darkest + 60) << "lit by 30 a channel, press " << press;
    QTest::mouseRelease(&panel, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
    EXPECT_EQ(panel.Picture().Image(), before) << "the light goes out, press " << press;
  }
  panel.SetIsFlat(1);
  panel.Draw();
  EXPECT_EQ(panel.Picture().Pixel(0, 0), Rgb(250, 250, 250));
  panel.SetColor(6, 1);
  EXPECT_EQ(panel.Picture().Pixel(0, 0), Rgb(48, 48, 48));
}

// Three text spaces on a 100 x 40 pixel panel (1500 x 600 twips): 0 centred, 1 at left
// 750 top 0 (stored 15: one pixel down), 2 at left 0 top 300 (stored 315).
class TextSpaceMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel_.resize(100, 40);
    panel_.AddTextSpace();
    panel_.AddTextSpace(9, 0, 0, "", 750, 0);
    panel_.AddTextSpace(9, 0, 0, "", 0, 300);
    panel_.Init();
    // Appended: GCC 12 at -O3 sees a false overlap in "T" + std::to_string(i).
    for (int32_t i = 0; i < 3; ++i) panel_.DispMes(i, std::string("T").append(std::to_string(i)));
  }

  UC_TextPicture panel_;
  QSignalSpy mouseUD_{&panel_, &UC_TextPicture::MouseUD};
  QSignalSpy dblClicked_{&panel_, &UC_TextPicture::DblClicked};
};

TEST_F(TextSpaceMouseTest, PressAndReleaseReportTheTextSpaceUnderTheMouse) {
  struct Case {
    QPoint press;
    QPoint release;
    int pressed;
    int released;
  };
  const Case cases[] = {
      {{10, 5}, {60, 5}, 0, 1},    // 1 needs x > 750 and y > 15
      {{10, 30}, {60, 30}, 2, 1},  // 1 beats 2 there: its corner is further right
      {{60, 1}, {5, 20}, 0, 0},    // above the tops of 1 and of 2
  };
  for (const Case& c : cases) {
    mouseUD_.clear();
    QTest::mousePress(&panel_, Qt::RightButton, Qt::NoModifier, c.press);
    QTest::mouseRelease(&panel_, Qt::RightButton, Qt::NoModifier, c.release);
    ASSERT_EQ(mouseUD_.count(), 2);
    EXPECT_EQ(SignalArgs(mouseUD_, 0), std::vector<int>({2, 1, c.pressed}));
    EXPECT_EQ(SignalArgs(mouseUD_, 1), std::vector<int>({2, 0, c.released}));
  }
  QTest::mouseRelease(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 5));
  EXPECT_EQ(mouseUD_.count(), 2) << "a release without a press reports nothing";
}

TEST_F(TextSpaceMouseTest, TheLightOfAPressGoesOutWhereverItIsReleased) {
  const QImage before = panel_.Picture().Image();
  panel_.SetUseClick(1, 1);
  QTest::mousePress(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 5));
  EXPECT_NE(panel_.Picture().Image(), before);
  QTest::mouseRelease(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(10, 30));
  EXPECT_EQ(panel_.Picture().Image(), before);
}

TEST_F(TextSpaceMouseTest, DoubleClicksAndTheLock) {
  QTest::mouseDClick(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 30));
  ASSERT_EQ(mouseUD_.count(), 1) << "without UseDblClick, a left press at the top-left";
  EXPECT_EQ(SignalArgs(mouseUD_, 0), std::vector<int>({1, 1, 0}));
  QTest::mouseRelease(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 30));
  panel_.SetUseDblClick(1);
  QTest::mouseDClick(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 30));
  QTest::mouseDClick(&panel_, Qt::RightButton, Qt::NoModifier, QPoint(60, 30));
  EXPECT_EQ(dblClicked_.count(), 1) << "the right button's is a press";
  EXPECT_EQ(SignalArgs(mouseUD_, 2), std::vector<int>({2, 1, 1}));
  QTest::mouseRelease(&panel_, Qt::RightButton, Qt::NoModifier, QPoint(60, 30));

  mouseUD_.clear();
  panel_.SetLocked(1);
  QTest::mousePress(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 30));
  QTest::mouseRelease(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 30));
  QTest::mouseDClick(&panel_, Qt::LeftButton, Qt::NoModifier, QPoint(60, 30));
  EXPECT_EQ(mouseUD_.count() + dblClicked_.count(), 1);
}

}  // namespace
}  // namespace ampora
