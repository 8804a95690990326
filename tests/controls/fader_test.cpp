#include "controls/fader.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <limits>

#include "controls/paint_surface.h"
#include "qt_test_helpers.h"
#include "util/twips.h"

namespace ampora {
namespace {

constexpr Color kKnobA = Rgb(250, 10, 10);
constexpr Color kKnobB = Rgb(10, 250, 10);
constexpr Color kBlack = Rgb(0, 0, 0);

// The level fader's shape at 15 twips per pixel: 34 pixels wide, range -50..50. Knob A is
// 14 x 10 pixels, knob B 29 x 10. A panel of 114 pixels gives a track of 1710 - 60 =
// 1650 twips (110 pixels) and a travel of 1650 - 150 = 1500 twips. Grooves: left at 135
// twips (pixel 9), right at 345 (pixel 23), linked at pixel 15; they run over rows 6..99.
class FaderTest : public ::testing::Test {
 protected:
  FaderTest() : knobA_(14, 10), knobB_(29, 10) {
    knobA_.SetBackColor(kKnobA);
    knobB_.SetBackColor(kKnobB);
  }

  void Build(UC_Fader& fader, int32_t heightPx = 114) {
    fader.resize(34, heightPx);
    fader.SetKnobPicA(&knobA_);
    fader.SetKnobPicB(&knobB_);
    fader.SetMax(50);
    fader.SetMin(-50);
    fader.Init();
  }

  void SetUp() override { Build(fader_); }

  Color At(int32_t x, int32_t y) const { return fader_.Picture().Pixel(x, y); }

  // The top row of the knob in column x, -1 when there is none.
  int32_t KnobTop(int32_t x, Color knob) const {
    for (int32_t y = 0; y < fader_.height(); ++y) {
      if (At(x, y) == knob) return y;
    }
    return -1;
  }

  // Pixels in twips.
  void Press(QPointF px, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers keys = Qt::NoModifier) {
    SendMouse(fader_, QEvent::MouseButtonPress, px, button, keys);
  }
  void Drag(QPointF px, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    SendMouse(fader_, QEvent::MouseMove, px, Qt::LeftButton, keys);
  }
  void Release(QPointF px, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers keys = Qt::NoModifier) {
    SendMouse(fader_, QEvent::MouseButtonRelease, px, button, keys);
  }

  Surface knobA_;
  Surface knobB_;
  UC_Fader fader_;
  QSignalSpy level_{&fader_, &UC_Fader::LevelChanged};
  QSignalSpy hovered_{&fader_, &UC_Fader::Hovered};
  QSignalSpy dblClicked_{&fader_, &UC_Fader::DblClicked};
  QSignalSpy alt_{&fader_, &UC_Fader::AltChanged};
  QSignalSpy mouseUp_{&fader_, &UC_Fader::MouseUp};
};

TEST_F(FaderTest, ValuesGoToTheirPlaceOnTheTravelAndReadBackClamped) {
  struct Case {
    int32_t written;
    int32_t stored;
    int32_t knobTop;  // pixel row: (position + 2 pixels) / 15
  };
  const Case cases[] = {
      {0, 0, 52},       // position 750
      {50, 50, 2},      // top of the travel
      {-50, -50, 102},  // position 1500
      {7, 7, 45},       // 15 x 43 = 645
      {60, 50, 2},     {-99, -50, 102},
  };
  for (const Case& c : cases) {
    fader_.SetValueL(c.written);
    EXPECT_EQ(fader_.ValueL(), c.stored) << c.written;
    EXPECT_EQ(KnobTop(5, kKnobA), c.knobTop) << c.written;
  }
  EXPECT_EQ(fader_.ValueR(), 0) << "unlinked, the left value moves alone";
}

// Travel times range leaves 32 bits here above a range of about 1.4 million.
TEST_F(FaderTest, WideRangesAndFarPositionsStillMoveThePointer) {
  fader_.SetMin(-1000000000);
  fader_.SetMax(1000000000);
  struct Case {
    int32_t written;
    int32_t knobTop;
  };
  const Case cases[] = {{500000000, 27}, {1000000000, 2}, {-1000000000, 102}, {0, 52}};
  for (const Case& c : cases) {
    fader_.SetValueL(c.written);
    EXPECT_EQ(fader_.ValueL(), c.written);
    EXPECT_EQ(KnobTop(5, kKnobA), c.knobTop) << c.written;
  }
  fader_.Draw(std::numeric_limits<int32_t>::min(), 0);
  EXPECT_EQ(fader_.ValueL(), 1000000000) << "far above the travel: the top";
  fader_.Draw(std::numeric_limits<int32_t>::max(), 0);
  EXPECT_EQ(fader_.ValueL(), -1000000000);
  EXPECT_EQ(KnobTop(5, kKnobA), 102);
}

TEST_F(FaderTest, FaderTypesSetTheBoundsAndShortTravelsRoundTheValue) {
  fader_.SetFaderType(0);
  EXPECT_EQ(fader_.Max(), 255);
  EXPECT_EQ(fader_.Min(), 0);
  fader_.SetValueL(300);
  EXPECT_EQ(fader_.ValueL(), 255);
  fader_.SetValueL(-5);
  EXPECT_EQ(fader_.ValueL(), 0);
  fader_.SetFaderType(5);
  EXPECT_EQ(fader_.Max(), 255) << "other types change nothing";

  // A travel of 600 twips for 0..1000: 1 sits at nearest(0.6 x 999) = 599, which shows
  // nearest(1000 / 600) = 2.
  UC_Fader shortFader;
  Build(shortFader, 54);
  shortFader.SetFaderType(1);
  shortFader.SetValueL(1);
  EXPECT_EQ(shortFader.ValueL(), 2);

  // Equal bounds, or a panel no taller than its pointer: nothing moves.
  UC_Fader flat;
  Build(flat, 14);
  flat.SetValueL(20);
  EXPECT_EQ(flat.ValueL(), 0);
  fader_.SetMin(255);
  fader_.SetValueL(100);
  EXPECT_EQ(fader_.ValueL(), 0);
}

TEST_F(FaderTest, MovingAPointerRestoresItsColumnAndRedrawsTheGroove) {
  UC_Fader clean;
  Build(clean);
  fader_.SetValueL(50);
  fader_.SetValueL(0);
  for (const int32_t y : {2, 11, 62, 110}) {
    EXPECT_EQ(At(3, y), clean.Picture().Pixel(3, y)) << "row " << y;
  }
  EXPECT_EQ(At(9, 6), kBlack);
  EXPECT_EQ(At(9, 99), kBlack);
  EXPECT_NE(At(9, 5), kBlack);
  EXPECT_NE(At(9, 100), kBlack) << "the groove ends one pixel short";
  EXPECT_EQ(At(10, 30), ResolveColor(kColor3DHighlight));
  EXPECT_EQ(At(9, 55), kKnobA) << "the knob covers the groove";

  fader_.SetValueR(-50);
  EXPECT_EQ(KnobTop(17, kKnobA), 102);
  EXPECT_EQ(At(16, 102), clean.Picture().Pixel(16, 102)) << "the right knob starts at 17";
  EXPECT_EQ(At(23, 30), kBlack);
  EXPECT_EQ(At(24, 30), ResolveColor(kColor3DHighlight));

  fader_.SetLinked(1);
  EXPECT_EQ(fader_.ValueR(), 0) << "linked, both values follow the left one";
  EXPECT_EQ(KnobTop(28, kKnobB), 52);
  EXPECT_EQ(At(15, 30), kBlack);
  EXPECT_EQ(At(23, 30), clean.Picture().Pixel(23, 30)) << "the right groove is gone";
  EXPECT_EQ(At(20, 105), clean.Picture().Pixel(20, 105)) << "and so is the right knob";
}

TEST_F(FaderTest, LabelsSitCentredUnderTheirGrooves) {
  UC_Fader labelled;
  labelled.SetShowLR(1);
  Build(labelled, 130);
  const Surface& panel = labelled.Picture();
  const double trackHeight = panel.ScaleHeight() - 8 * 15 - panel.TextHeight("漢");
  const int32_t labelTop = PixelsFromTwips(trackHeight + 2 * 15);
  // Pixels near the label colour between the label top and the edge, per half.
  auto ink = [&](int32_t from, int32_t to) {
    return InkNear(panel, kColor3DHighlight, 60,
                   QRect(from, labelTop, to - from, panel.HeightPx() - 2 - labelTop));
  };
  const InkBox l = ink(2, 16);
  const InkBox r = ink(16, 32);
  ASSERT_GT(l.count, 3);
  ASSERT_GT(r.count, 3);
  EXPECT_NEAR((l.left + l.right) / 2.0, 9, 1.5);
  EXPECT_NEAR((r.left + r.right) / 2.0, 23, 1.5);
  EXPECT_GE(l.top, labelTop);
  labelled.SetValueL(-50);
  EXPECT_EQ(panel.Pixel(9, labelTop - 1), kKnobA) << "the travel ends just above the labels";
}

TEST_F(FaderTest, APressInsideThePointerKeepsItsGripElsewhereItCentres) {
  struct Case {
    int32_t type;     // -1: the -50..50 range, else a FaderType
    double pressY;    // pixels
    int32_t atPress;  // the value after the press
    double dragY;
    int32_t afterDrag;
  };
  const Case cases[] = {
      // Pointer at 750 twips: 765 is inside, 15 twips below its top.
      {-1, 51, 0, 61, -10},
      // 300 is outside: the middle (75 twips down) goes under the mouse.
      {-1, 20, 35, 30, 25},
      // 0..1000: 20.4 pixels is 306 twips, not 300; 306 - 75 shows 846, 300 - 75 850.
      {1, 20.4, 846, 20, 850},
  };
  for (const Case& c : cases) {
    UC_Fader fader;
    Build(fader);
    if (c.type >= 0) fader.SetFaderType(c.type);
    fader.SetLinked(1);
    fader.SetValueL(c.type >= 0 ? 500 : 0);
    SendMouse(fader, QEvent::MouseButtonPress, QPointF(10, c.pressY));
    EXPECT_TRUE(fader.Clicked());
    EXPECT_EQ(fader.ValueL(), c.atPress) << c.pressY;
    fader.SetValueL(-40);
    EXPECT_EQ(fader.ValueL(), c.atPress) << "the program does not override a drag";
    SendMouse(fader, QEvent::MouseMove, QPointF(10, c.dragY));
    EXPECT_EQ(fader.ValueL(), c.afterDrag) << c.pressY;
    EXPECT_EQ(fader.ValueR(), c.afterDrag);
    SendMouse(fader, QEvent::MouseButtonRelease, QPointF(10, c.dragY));
    EXPECT_FALSE(fader.Clicked());
  }
}

TEST_F(FaderTest, AnUnlinkedDragKeepsTheChannelItStartedOn) {
  fader_.SetValueL(0);
  fader_.SetValueR(0);
  Press(QPointF(5, 51));  // 75 twips: left of the first knob's right edge (210)
  Drag(QPointF(30, 61));  // far into the right half
  EXPECT_EQ(fader_.ValueL(), -10);
  EXPECT_EQ(fader_.ValueR(), 0);
  Release(QPointF(30, 61));
  Press(QPointF(20, 51));  // outside the pointer, now at 900: centred, 4
  Drag(QPointF(2, 45));
  EXPECT_EQ(fader_.ValueL(), -10);
  EXPECT_EQ(fader_.ValueR(), 10);
}

TEST_F(FaderTest, StepsWithAnUnchangedHeightRaiseNothing) {
  fader_.SetLinked(1);
  Press(QPointF(10, 40));
  EXPECT_EQ(level_.count(), 1) << "a left press is the first drag step";
  Drag(QPointF(20, 40));
  EXPECT_EQ(level_.count(), 1);
  Drag(QPointF(20, 41));
  Drag(QPointF(20, 108));  // beyond the travel: the value stays at -50, the event comes
  Drag(QPointF(20, 110));
  EXPECT_EQ(level_.count(), 4);
  EXPECT_EQ(fader_.ValueL(), -50);
  EXPECT_EQ(hovered_.count(), 0);
  Release(QPointF(20, 110));
  MoveMouse(fader_, QPoint(20, 40));
  Press(QPointF(20, 40), Qt::RightButton);
  EXPECT_EQ(hovered_.count(), 2) << "plain moves and right presses hover";
  EXPECT_EQ(fader_.ValueL(), -50);
}

TEST_F(FaderTest, ARightReleaseTogglesTheLinkUnlessItIsDisabled) {
  fader_.SetValueL(10);
  fader_.SetValueR(-10);
  Press(QPointF(10, 20), Qt::RightButton);
  Release(QPointF(10, 20), Qt::RightButton);
  EXPECT_EQ(fader_.Linked(), 1);
  EXPECT_EQ(fader_.ValueR(), 10) << "redrawn from ValueL";
  EXPECT_EQ(KnobTop(28, kKnobB), 42);  // position 600
  EXPECT_EQ(level_.count(), 1) << "the right value changed: the host must hear of it";
  Press(QPointF(10, 20), Qt::RightButton);
  Release(QPointF(10, 20), Qt::RightButton);
  EXPECT_EQ(fader_.Linked(), 0);
  EXPECT_EQ(level_.count(), 2);
  EXPECT_EQ(KnobTop(5, kKnobA), 42);
  EXPECT_EQ(KnobTop(20, kKnobA), 42);
  EXPECT_EQ(KnobTop(28, kKnobB), -1);

  fader_.SetLinkDisabled(1);
  EXPECT_EQ(fader_.Linked(), 1);
  Press(QPointF(10, 20), Qt::RightButton);
  Release(QPointF(10, 20), Qt::RightButton);
  fader_.SetLinked(0);
  EXPECT_EQ(fader_.Linked(), 1) << "neither the mouse nor the program unlinks it";
  EXPECT_EQ(level_.count(), 2) << "no toggle, no level change";
  ASSERT_EQ(mouseUp_.count(), 3);
  EXPECT_EQ(SignalArgs(mouseUp_, 2), std::vector<int>({2, 0, 150, 300}));
}

TEST_F(FaderTest, AltReportsDragStepsReleasesAndDoubleClicks) {
  fader_.SetLinked(1);
  Press(QPointF(10, 51), Qt::LeftButton, Qt::AltModifier);
  Drag(QPointF(10, 61), Qt::AltModifier);
  Release(QPointF(10, 61), Qt::LeftButton, Qt::AltModifier);
  SendMouse(fader_, QEvent::MouseButtonDblClick, QPointF(10, 61));
  Press(QPointF(10, 20), Qt::RightButton, Qt::AltModifier);
  Release(QPointF(10, 20), Qt::RightButton, Qt::AltModifier);
  Press(QPointF(10, 20), Qt::LeftButton, Qt::AltModifier | Qt::ShiftModifier);
  Release(QPointF(10, 20), Qt::LeftButton, Qt::AltModifier | Qt::ShiftModifier);
  SendMouse(fader_, QEvent::MouseButtonDblClick, QPointF(10, 20));
  ASSERT_EQ(alt_.count(), 5) << "Alt together with Shift is not Alt";
  EXPECT_EQ(SignalArgs(alt_, 0), std::vector<int>({0, 0, 0})) << "the press step: 0 to 0";
  EXPECT_EQ(SignalArgs(alt_, 1), std::vector<int>({-10, -10, 0}));
  EXPECT_EQ(SignalArgs(alt_, 2), std::vector<int>({0, 0, 0}));
  EXPECT_EQ(SignalArgs(alt_, 3), std::vector<int>({0, 0, 2}));
  EXPECT_EQ(SignalArgs(alt_, 4), std::vector<int>({0, 0, 1}));
  EXPECT_EQ(dblClicked_.count(), 2);
}

TEST_F(FaderTest, OnlyTheLeftButtonDoubleClicks) {
  Press(QPointF(10, 20), Qt::RightButton);
  Release(QPointF(10, 20), Qt::RightButton);
  SendMouse(fader_, QEvent::MouseButtonDblClick, QPointF(10, 20), Qt::RightButton);
  Release(QPointF(10, 20), Qt::RightButton);
  EXPECT_EQ(dblClicked_.count(), 0);
  EXPECT_EQ(fader_.Linked(), 0) << "two right clicks: linked and unlinked again";
}

TEST_F(FaderTest, LockedIgnoresValueWritesAndTheMouse) {
  fader_.SetValueL(20);
  const QImage before = fader_.Picture().Image();
  fader_.SetLocked(1);
  fader_.SetValueL(-20);
  fader_.SetValueR(-20);
  Press(QPointF(10, 80));
  Drag(QPointF(10, 90));
  Release(QPointF(10, 90), Qt::RightButton);
  SendMouse(fader_, QEvent::MouseButtonDblClick, QPointF(10, 90));
  MoveMouse(fader_, QPoint(10, 20));
  EXPECT_EQ(fader_.ValueL(), 20);
  EXPECT_EQ(fader_.ValueR(), 0);
  EXPECT_EQ(fader_.Linked(), 0);
  EXPECT_EQ(fader_.Picture().Image(), before);
  EXPECT_EQ(level_.count() + hovered_.count() + dblClicked_.count() + mouseUp_.count(), 0);

  // Locked in the middle of a press: the release still ends it, so that the program's
  // writes count again once the lock is lifted.
  fader_.SetLocked(0);
  Press(QPointF(10, 20));
  fader_.SetLocked(1);
  Release(QPointF(10, 20));
  fader_.SetLocked(0);
  EXPECT_FALSE(fader_.Clicked());
  fader_.SetValueL(-30);
  EXPECT_EQ(fader_.ValueL(), -30);
}

TEST_F(FaderTest, DrawWithAnotherChannelOnlyRecordsThePosition) {
  fader_.SetValueL(0);
  const QImage before = fader_.Picture().Image();
  fader_.Draw(300, 7);
  EXPECT_EQ(fader_.Picture().Image(), before);
  EXPECT_EQ(fader_.ValueL(), 0);
  // The recorded position is where a press finds the pointer: 20.5 pixels (307.5 twips)
  // is 7.5 twips into it, so the pointer stays at 300, which shows 30.
  Press(QPointF(5, 20.5));
  EXPECT_EQ(fader_.ValueL(), 30);
}

TEST_F(FaderTest, InitCanPaintItsOwnKnobs) {
  UC_Fader fader;
  fader.resize(34, 114);
  fader.SetMax(50);
  fader.SetMin(-50);
  fader.SetPointerSize(150);
  EXPECT_EQ(fader.PointerSize(), 150);
  fader.Init(1, 9);
  fader.SetLinked(1);
  fader.SetValueL(0);
  // Knob B is 34 - 5 = 29 wide and 10 high at (2, 52); style 9 paints s1 around it.
  Surface knob(29, 10);
  PaintSurface(knob, 9);
  EXPECT_EQ(fader.Picture().Pixel(2 + 10, 52 + 4), knob.Pixel(10, 4));
  EXPECT_EQ(fader.Picture().Pixel(2 + 28, 52 + 9), knob.Pixel(28, 9));
}

}  // namespace
}  // namespace ampora
