#include "windows/main_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <algorithm>
#include <memory>

#include "../controls/qt_test_helpers.h"
#include "audio/devices/device_clock.h"
#include "controls/twips_geometry.h"
#include "effects/db_to_gain.h"
#include "main_window_fixture.h"
#include "settings/settings_store.h"
#include "support/settings_fixture.h"
#include "util/pending_events.h"
#include "util/wait.h"

namespace ampora {
namespace {

constexpr Color kBlack = 0;

class MainWindowTest : public test::MainWindowFixture {
 protected:
  template <class Control>
  Control& Find(const char* name) {
    auto* control = Window().findChild<Control*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }

  std::string Stored(const std::string& section, const std::string& key) const {
    return ReadIniValue(key, SettingValue::Text(""), IniPath(), section, 0);
  }

  // The signal-flow area as drawn, in pixels.
  const Surface& FlowArea() { return Find<PictureBox>("Picture1").Picture(); }
};

TEST_F(MainWindowTest, StartsFromTheSettingsFileAndSavesCurrentWhenClosed) {
  FrmMain& w = Open(
      "[conf]\nDeviceIn=Test Tone\nDeviceOut=null\n"
      "[Current]\nLevelInL=-3\nLevelInR=-3\nLevelOutL=2\nLevelOutR=6\nEcho-01=1\n");
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.windowTitle(), QString("アンポラ"));
  EXPECT_EQ(w.Live().WaveInChoice().IdToOpen(), 1);
  EXPECT_EQ(w.Live().WaveOutChoice().IdToOpen(), 0);
  EXPECT_EQ(w.Live().Engine().StreamRunning(), 0) << "streaming waits for the transport";
  EXPECT_EQ(Find<UC_Fader>("StFader0").ValueL(), -3);
  EXPECT_EQ(Find<UC_Fader>("StFader1").ValueL(), 2);
  EXPECT_EQ(Find<UC_Fader>("StFader1").ValueR(), 6);
  EXPECT_EQ(w.StatusText(), "OUT : L=+02db R=+06db");
  EXPECT_FALSE(Find<PictureBox>("PictureTuner").isVisible()) << "only in tuner mode";

  w.Live().EffectClicked(kFuzz, kMouseLeft);
  Find<UC_Fader>("StFader1").SetValueL(-7);
  Find<UC_Fader>("StFader1").SetValueR(-8);
  w.Live().LevelChanged(kOutFader);
  EXPECT_TRUE(w.close());
  EXPECT_EQ(Stored("Current", "Fuzz-01"), "1");
  EXPECT_EQ(Stored("Current", "Echo-01"), "1");
  EXPECT_EQ(Stored("Current", "LevelOutL"), "-7");
  EXPECT_EQ(Stored("Current", "LevelOutR"), "-8");
  EXPECT_EQ(Stored("conf", "DeviceIn"), "Test Tone") << "as chosen";
  EXPECT_EQ(Stored("conf", "DeviceOut"), "null");
  EXPECT_FALSE(w.Live().ShutDown()) << "closing ran the shut-down once";
}

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  Open("");
  struct Case {
    const char* name;
    double left, top, width, height;
  };
  const Case cases[] = {
      {"CtrlButton", 3585, 315, 3570, 315}, {"TextNum", 3585, 630, 375, 270},
      {"TextBank", 3975, 630, 3180, 270},   {"PictureIO0", 60, 1110, 495, 240},
      {"PictureIO1", 7215, 1110, 495, 240}, {"StFader0", 60, 1365, 510, 2565},
      {"StFader1", 7215, 1365, 510, 2565},  {"Picture1", 585, 1365, 6615, 2565},
      {"FXButton0", 465, 540, 555, 555},
  };
  for (const Case& c : cases) {
    const auto& control = Find<QWidget>(c.name);
    // Each edge lands on the pixel nearest to it.
    EXPECT_NEAR(TwipsLeft(control), c.left, 7.5) << c.name;
    EXPECT_NEAR(TwipsTop(control), c.top, 7.5) << c.name;
    EXPECT_NEAR(TwipsWidth(control), c.width, 7.5) << c.name;
    EXPECT_NEAR(TwipsHeight(control), c.height, 7.5) << c.name;
  }
}

TEST_F(MainWindowTest, EffectButtonsRunInTwoRowsOfEight) {
  Open("");
  const auto& first = Find<QWidget>("FXButton0");
  for (int i = 1; i < kEffectCount; ++i) {
    const auto& button = Find<QWidget>(("FXButton" + std::to_string(i)).c_str());
    const auto& before = Find<QWidget>(("FXButton" + std::to_string(i - 1)).c_str());
    EXPECT_EQ(button.size(), first.size()) << i;
    EXPECT_TRUE(button.isVisible()) << i;
    if (i == 8) {
      EXPECT_EQ(button.pos(), QPoint(first.x(), first.y() + first.height() + 30));
    } else {
      EXPECT_EQ(button.pos(), QPoint(before.x() + before.width() + 12, before.y())) << i;
    }
  }
}

// The line shows between the buttons, where nothing covers it.
TEST_F(MainWindowTest, SignalFlowLineSnakesBehindTheButtons) {
  Open("");
  const auto& b0 = Find<QWidget>("FXButton0");
  const auto& b1 = Find<QWidget>("FXButton1");
  const auto& b7 = Find<QWidget>("FXButton7");
  const auto& b8 = Find<QWidget>("FXButton8");
  const Surface& s = FlowArea();
  const int y1 = b0.y() + b0.height() / 4;
  const int y2 = b7.y() + b7.height() + 18;
  const int y3 = b8.y() + b8.height() / 4;
  const int x1 = b7.x() + b7.width() + 16;  // 240 twips
  const int x2 = b0.x() - 16;
  const int betweenButtons = b0.x() + b0.width() + 6;
  struct Case {
    const char* where;
    int x, y;
    bool black;
  };
  const Case cases[] = {
      {"first row, left edge", 0, y1, true},
      {"first row, between buttons", betweenButtons, y1, true},
      {"first row, beside the last button", x1 - 4, y1, true},
      {"down at the right turn", x1, (y1 + y2) / 2, true},
      {"back between the rows", (x1 + x2) / 2, y2, true},
      {"down at the left turn", x2, (y2 + y3) / 2, true},
      {"second row, between buttons", betweenButtons, y3, true},
      {"second row, right edge", s.WidthPx() - 1, y3, true},
      {"not right of the first row's turn", x1 + 4, y1, false},
      {"not left of the second row's turn", x2 - 4, y3, false},
      {"not across the first row's bottom", b1.x() - 6, y2 - 8, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(s.Pixel(c.x, c.y) == kBlack, c.black) << c.where;
  }
}

// The status line is the bottom of the signal-flow area: a new text replaces the old one
// completely, and an empty one leaves the plain background.
TEST_F(MainWindowTest, StatusLineIsRedrawnForEveryText) {
  FrmMain& w = Open("");
  const Surface& s = FlowArea();
  const int top = s.HeightPx() - 20;
  auto inkedPixels = [&] {
    int count = 0;
    for (int y = top; y < s.HeightPx(); ++y) {
      for (int x = 0; x < s.WidthPx(); ++x) count += s.Pixel(x, y) != s.BackColor() ? 1 : 0;
    }
    return count;
  };
  w.ShowStatus("OUT : L=+02db R=+06db");
  const int longText = inkedPixels();
  EXPECT_GT(longText, 0);
  w.ShowStatus("IN");
  EXPECT_GT(inkedPixels(), 0);
  EXPECT_LT(inkedPixels(), longText) << "the longer text is gone";
  w.ShowStatus("");
  EXPECT_EQ(inkedPixels(), 0);
  EXPECT_EQ(w.StatusText(), "");
}

// Function keys and Escape act wherever the focus is, also in the bank name's text box,
// which otherwise takes every key.
TEST_F(MainWindowTest, FunctionKeysReachTheBankHandlerFromAnyControl) {
  FrmMain& w = Open("[Bank02]\nBankName=Clean\n[Bank12]\nBankName=Lead\n");
  auto& textBank = Find<QLineEdit>("TextBank");
  auto& textNum = Find<QLineEdit>("TextNum");
  struct Case {
    const char* from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* number;
    const char* name;
  };
  const Case cases[] = {
      {"TextBank", Qt::Key_F2, Qt::NoModifier, "02", "Clean"},
      {"StFader1", Qt::Key_F12, Qt::NoModifier, "12", "Lead"},
      {"FXButton9", Qt::Key_F2, Qt::NoModifier, "02", "Clean"},
      {"TextBank", Qt::Key_A, Qt::NoModifier, "02", "Clean"},
      {"TextBank", Qt::Key_F12, Qt::ShiftModifier, "12", "Lead"},
  };
  for (const Case& c : cases) {
    QTest::keyRelease(&Find<QWidget>(c.from), c.key, c.modifiers);
    EXPECT_EQ(textNum.text().toStdString(), c.number) << c.from << " " << c.key;
    EXPECT_EQ(textBank.text().toStdString(), c.name) << c.from << " " << c.key;
  }

  // A typed name, Store, then F5 from the text box stores bank 5 under that name.
  textBank.setText("Crunch");
  w.Live().ButtonClicked(kStoreButton);
  EXPECT_EQ(textBank.text().toStdString(), "Press F1 - F12 key");
  QTest::keyRelease(&textBank, Qt::Key_F5);
  EXPECT_EQ(Stored("Bank05", "BankName"), "Crunch");
  // Escape cancels an armed store: F6 then loads (an empty bank) instead of storing.
  w.Live().ButtonClicked(kStoreButton);
  QTest::keyRelease(&textBank, Qt::Key_Escape);
  QTest::keyRelease(&textBank, Qt::Key_F6);
  EXPECT_EQ(textNum.text().toStdString(), "06");
  EXPECT_EQ(Stored("Bank06", "BankName"), "NoName") << "loaded, so named on first load";
}

TEST_F(MainWindowTest, TunerPictureShowsOnlyInTunerMode) {
  FrmMain& w = Open("[conf]\nDeviceIn=Test Tone\nDeviceOut=null\n");
  auto& tuner = Find<PictureBox>("PictureTuner");
  w.Live().ButtonClicked(kTunerButton);
  EXPECT_TRUE(tuner.isVisible());
  auto& bar = Find<UC_Buttons>("CtrlButton");
  const QPoint barMiddle = bar.geometry().center();
  ASSERT_TRUE(tuner.geometry().contains(barMiddle)) << "the picture overlaps the bar";
  EXPECT_EQ(bar.parentWidget()->childAt(barMiddle), &bar) << "the buttons stay in front";
  w.Live().ButtonClicked(kStartButton);
  EXPECT_TRUE(tuner.isVisible()) << "Start restarts in the same mode";
  w.Live().ButtonClicked(kTunerButton);
  EXPECT_FALSE(tuner.isVisible());
}

// The note picture hangs right under the tuner picture, left of the bank number, and
// shows and hides with it.
TEST_F(MainWindowTest, TheNotePictureShowsWithTheTunerRightBelowIt) {
  FrmMain& w = Open("[conf]\nDeviceIn=Test Tone\nDeviceOut=null\n");
  const QRect tuner = Find<PictureBox>("PictureTuner").geometry();
  auto& note = Find<PictureBox>("PictureTunerNote");
  EXPECT_FALSE(note.isVisible());
  EXPECT_EQ(note.geometry().top(), tuner.bottom() + 1);
  EXPECT_EQ(note.geometry().left(), tuner.left());
  EXPECT_LT(note.geometry().right(), Find<QLineEdit>("TextNum").geometry().left());
  EXPECT_LT(note.geometry().bottom(), Find<PictureBox>("Picture1").geometry().top());
  w.Live().ButtonClicked(kTunerButton);
  EXPECT_TRUE(note.isVisible());
  w.Live().ButtonClicked(kTunerButton);
  EXPECT_FALSE(note.isVisible());
}

// A reading like the one shown is not drawn again; any other one is, whichever of its
// parts differs.
TEST_F(MainWindowTest, TunerPictureFollowsEveryChangedReading) {
  FrmMain& w = Open("");
  const Surface& picture = Find<PictureBox>("PictureTuner").Picture();
  const TunerReading first{5, 1000, 20000};
  w.DrawTuner(first);
  const QImage shown = picture.Image().copy();
  for (const TunerReading& other :
       {TunerReading{6, 1000, 20000}, TunerReading{5, 30000, 20000}, TunerReading{5, 1000, 500}}) {
    w.DrawTuner(other);
    EXPECT_NE(picture.Image(), shown) << other.found << " " << other.peak << " " << other.hold;
    w.DrawTuner(first);
    EXPECT_EQ(picture.Image(), shown);
  }
}

TEST_F(MainWindowTest, PlacementIsWrittenAfterTheFirstRunAndRestoredNextTime) {
  Open("").close();
  EXPECT_EQ(Stored("", "WindowState"), "0");
  EXPECT_FALSE(Stored("", "WindowLeft").empty());
  EXPECT_FALSE(Stored("", "WindowTop").empty());

  FrmMain& w = Open("[conf]\nWindowLeft=3000\nWindowTop=1500\nWindowState=0\n");
  EXPECT_EQ(w.frameGeometry().topLeft(), QPoint(200, 100));
}

// A right click links the output fader: the right channel follows the left one at once,
// into the gains, the status line and what the next store keeps.
TEST_F(MainWindowTest, LinkingTheOutputFaderIsALevelChange) {
  FrmMain& w = Open("[Current]\nLevelOutL=-3\nLevelOutR=6\n");
  auto& out = Find<UC_Fader>("StFader1");
  ASSERT_EQ(out.Linked(), 0);
  SendMouse(out, QEvent::MouseButtonPress, QPointF(10, 50), Qt::RightButton);
  SendMouse(out, QEvent::MouseButtonRelease, QPointF(10, 50), Qt::RightButton);
  EXPECT_EQ(out.Linked(), 1);
  EXPECT_EQ(w.Live().LevelState().LevelOut, (std::array<int32_t, 2>{-3, -3}));
  EXPECT_EQ(w.Live().Engine().Buffers().OutGain[1], DbToGain(-3.0f));
  EXPECT_EQ(w.StatusText(), "OUT : L=-03db R=-03db");
  w.close();
  EXPECT_EQ(Stored("Current", "LevelOutR"), "-3") << "the working setting reloads linked";
}

// With a store armed, Shift+F5 in a text box stores bank 5 and nothing more: a second
// handling of the same release would load the bank at once, cutting the delay and
// reverb tails.
TEST_F(MainWindowTest, FunctionKeysWithShiftKeysInTheTextBoxesActOnce) {
  FrmMain& w = Open("");
  auto& textBank = Find<QLineEdit>("TextBank");
  for (const Qt::KeyboardModifiers keys :
       {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
    SCOPED_TRACE(keys.toInt());
    textBank.setText("Crunch");
    w.Live().ButtonClicked(kStoreButton);
    w.Live().Chain().FxResync.fill(false);
    w.ShowStatus("before");
    QTest::keyRelease(&textBank, Qt::Key_F5, keys);
    EXPECT_EQ(Stored("Bank05", "BankName"), "Crunch");
    EXPECT_EQ(textBank.text().toStdString(), "Crunch");
    EXPECT_EQ(w.StatusText(), "before") << "stored, not loaded";
    EXPECT_EQ(std::count(w.Live().Chain().FxResync.begin(), w.Live().Chain().FxResync.end(), true),
              0);
  }
}

// A message box that opens during a drag (a lost device) takes the button's release: the
// fader must not stay held, or it would ignore every bank load from then on.
TEST_F(MainWindowTest, AFaderWhoseReleaseGoesToAMessageBoxFollowsBankLoadsAgain) {
  FrmMain& w = Open("[Bank02]\nLevelOutL=7\nLevelOutR=7\n");
  auto& out = Find<UC_Fader>("StFader1");
  SendMouse(out, QEvent::MouseButtonPress, QPointF(10, 50));
  ASSERT_TRUE(out.Clicked());
  {
    QMessageBox box(QMessageBox::Warning, "ampora", "lost", QMessageBox::Ok, &w);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QApplication::processEvents();
  }
  EXPECT_FALSE(out.Clicked());
  QTest::keyRelease(&w, Qt::Key_F2);
  EXPECT_EQ(out.ValueL(), 7);
  EXPECT_EQ(out.ValueR(), 7);
}

}  // namespace
}  // namespace ampora
