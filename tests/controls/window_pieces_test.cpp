// What the windows are built from: twips geometry, the painted window base, colour
// schemes on text boxes, and copies of configured controls.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <memory>

#include "controls/check_box.h"
#include "controls/color_scheme.h"
#include "controls/control_copy.h"
#include "controls/fader.h"
#include "controls/io_selector.h"
#include "controls/painted_window.h"
#include "controls/text_picture.h"
#include "controls/twips_geometry.h"
#include "qt_test_helpers.h"

namespace ampora {
namespace {

TEST(TwipsGeometry, ValuesBecomeNearestTwipsDividedByTheFactor) {
  QWidget control;
  MoveTwips(control, 60, 1365, 510, 2565);
  EXPECT_EQ(control.geometry(), QRect(4, 91, 34, 171));
  EXPECT_EQ(TwipsLeft(control), 60);
  EXPECT_EQ(TwipsTop(control), 1365);
  EXPECT_EQ(TwipsWidth(control), 510);
  EXPECT_EQ(TwipsHeight(control), 2565);
  SetTwipsLeft(control, 29.5);  // nearest 30 (ties to even, 29.5 -> 30) / 15 = 2
  SetTwipsTop(control, 14.5);   // 14 / 15 = 0
  SetTwipsWidth(control, 7215);
  SetTwipsHeight(control, 1e300);  // no pixel count: ignored
  EXPECT_EQ(control.geometry(), QRect(2, 0, 481, 171));
}

class PaintedTestWindow : public PaintedWindow {
 public:
  Color colour = Rgb(30, 60, 90);

 protected:
  void PaintBackground() override { Background().SetBackColor(colour); }
};

TEST(PaintedWindowBase, RepaintingTheBackgroundRedrawsTheCheckBoxesOnIt) {
  PaintedTestWindow window;
  window.resize(200, 100);
  auto* check = new UC_Check(&window);
  check->move(40, 30);
  check->SetBGPic(40 * 15, 30 * 15, &window.Background());
  check->resize(10, 17);
  check->SetCaption("");
  window.show();
  EXPECT_EQ(check->Picture().Pixel(0, 16), Rgb(30, 60, 90)) << "shown, the window painted";
  window.colour = Rgb(5, 6, 7);
  window.resize(220, 100);
  QApplication::processEvents();
  EXPECT_EQ(window.Background().Pixel(210, 50), Rgb(5, 6, 7));
  EXPECT_EQ(check->Picture().Pixel(0, 16), Rgb(5, 6, 7)) << "and the check box followed";
  window.colour = Rgb(8, 9, 10);
  window.RepaintBackground();
  EXPECT_EQ(check->Picture().Pixel(0, 16), Rgb(8, 9, 10));
}

TEST(TextBoxColours, SchemesSetTheTextAndBaseColours) {
  QLineEdit box;
  SetColorScheme(box, 1);
  EXPECT_EQ(box.palette().color(QPalette::Base), QColor(241, 255, 213));
  EXPECT_EQ(box.palette().color(QPalette::Text), QColor(96, 112, 64));
  SetColorScheme(box, 7, Rgb(1, 1, 1), Rgb(2, 2, 2));
  EXPECT_EQ(box.palette().color(QPalette::Base), QColor(241, 255, 213)) << "unknown: unchanged";
  SetColorScheme(box, -1, Rgb(1, 2, 3), Rgb(4, 5, 6));
  EXPECT_EQ(box.palette().color(QPalette::Base), QColor(4, 5, 6));
  EXPECT_EQ(box.palette().color(QPalette::Text), QColor(1, 2, 3));
}

TEST(ControlCopies, ASelectorCopyHasTheSourcesPlaceAndSettingsAndStartsHidden) {
  QWidget window;
  auto* first = new UC_IOSelector(&window);
  first->setGeometry(31, 36, 37, 37);
  first->SetColorType(1);
  first->SetText(0, "LM");
  first->SetState(1, 1);
  first->Init();
  first->DrawAll();
  window.show();
  UC_IOSelector* copy = CopyControl(*first);
  EXPECT_EQ(copy->parentWidget(), &window);
  EXPECT_EQ(copy->geometry(), first->geometry());
  EXPECT_TRUE(copy->isHidden());
  copy->DrawAll();
  EXPECT_EQ(copy->Picture().Image(), first->Picture().Image());
}

TEST(ControlCopies, AFaderCopyDrawsLikeItsSourceEvenWithKnobsOfItsOwn) {
  auto first = std::make_unique<UC_Fader>();
  first->resize(34, 114);
  first->SetMax(50);
  first->SetMin(-50);
  first->SetPointerSize(150);
  first->Init(1);
  first->LockLinked();
  std::unique_ptr<UC_Fader> copy(CopyControl(*first));
  first->SetValueL(20);
  const QImage expected = first->Picture().Image();
  first.reset();  // the copy keeps knob pictures of its own
  copy->SetValueL(20);
  EXPECT_EQ(copy->ValueL(), 20);
  EXPECT_EQ(copy->Picture().Image(), expected);
  copy->SetLinked(0);
  EXPECT_EQ(copy->Linked(), 1) << "the lock on the link is copied too";
}

TEST(ControlCopies, ATextPanelCopyKeepsItsColourSetsAndTextSpaces) {
  UC_TextPicture first;
  first.resize(33, 17);
  first.AddStdColorSet(1);
  first.AddTextSpace();
  first.Init();
  std::unique_ptr<UC_TextPicture> copy(CopyControl(first));
  first.DispMes(0, "42");
  copy->DispMes(0, "42");
  EXPECT_EQ(copy->Picture().Image(), first.Picture().Image());
}

}  // namespace
}  // namespace ampora
