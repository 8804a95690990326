#include "controls/centered_message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "controls/qt_text_measure.h"
#include "util/message_placement.h"
#include "util/message_seam.h"
#include "util/twips.h"

namespace ampora {
namespace {

class CenteredMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { TwipsPerPixel = 15; }

  // Runs action on the box once it is open.
  static void WhenOpen(std::function<void(QMessageBox&)> action) {
    QTimer::singleShot(0, [action] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      action(*box);
    });
  }

  static QPushButton* ButtonNamed(QMessageBox& box, const char* text) {
    for (QAbstractButton* button : box.buttons()) {
      if (button->text() == QString::fromUtf8(text)) return qobject_cast<QPushButton*>(button);
    }
    return nullptr;
  }
};

TEST_F(CenteredMessageBoxTest, OpensAtThePlacedPositionAndAnswersTheChosenButton) {
  QWidget owner;
  const QRect area = owner.screen()->geometry();
  // Near the bottom right corner, so that both edge rules act.
  owner.setGeometry(area.right() - 150, area.bottom() - 80, 300, 60);
  owner.show();

  QPoint seen;
  QSize size;
  QString title;
  WhenOpen([&](QMessageBox& box) {
    seen = box.pos();
    size = box.size();
    title = box.windowTitle();
    ButtonNamed(box, "いいえ(&N)")->click();
  });
  const int16_t result =
      ShowMessageCentered("保存しますか", kMbYesNo | kMbIconQuestion, "ampora", &owner);
  EXPECT_EQ(result, kIdNo);
  EXPECT_EQ(title, QStringLiteral("ampora"));

  const QRect frame = owner.frameGeometry();
  const auto centre = MessageBoxCentre(
      {frame.x() * 15.0, frame.y() * 15.0, frame.width() * 15.0, frame.height() * 15.0}, false, 15);
  const PixelPoint expected = PlaceMessageBox(
      *centre, size.width(), size.height(), {area.x(), area.y(), area.width(), area.height()}, 15);
  EXPECT_EQ(seen, QPoint(expected.x, expected.y));
  EXPECT_LE(seen.x() + size.width(), area.x() + area.width());
  EXPECT_LE(seen.y() + size.height(), area.y() + area.height() - 40);
}

TEST_F(CenteredMessageBoxTest, ButtonsFollowTheStyleWithoutAnOwner) {
  WhenOpen([](QMessageBox& box) {
    EXPECT_EQ(box.buttons().size(), 2);
    EXPECT_EQ(box.icon(), QMessageBox::Warning);
    box.defaultButton()->click();
  });
  EXPECT_EQ(ShowMessageCentered("x", kMbOkCancel | kMbIconWarning | kMbDefaultButton2, "", nullptr),
            kIdCancel);

  WhenOpen([](QMessageBox& box) { box.reject(); });  // closed without a button
  EXPECT_EQ(ShowMessageCentered("x", kMbAbortRetryIgnore, "", nullptr), kIdAbort);
  WhenOpen([](QMessageBox& box) { box.reject(); });
  EXPECT_EQ(ShowMessageCentered("x", kMbYesNoCancel, "", nullptr), kIdCancel);
}

TEST_F(CenteredMessageBoxTest, TextMeasureFitsTextsDrawnWithAFont) {
  const QtTextMeasure measure(QApplication::font());
  const std::string text = "あいうえおかきくけこ";
  const int32_t limit = measure.TextWidthTwips("あいう");
  EXPECT_GT(limit, 0);
  EXPECT_EQ(limit % TwipsPerPixel, 0);
  EXPECT_EQ(FitText(text, measure, limit, false), "あいう");
  EXPECT_EQ(FitText(text, measure, limit, true), "くけこ");
}

}  // namespace
}  // namespace ampora
