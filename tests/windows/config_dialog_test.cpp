#include "windows/config_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/paint_surface.h"
#include "controls/qt_test_helpers.h"
#include "live/live_rig.h"
#include "util/twips.h"
#include "windows/control_placement.h"

namespace ampora {
namespace {

// Presses and releases the left mouse button in the middle of a widget, or at x.
void ClickAt(QWidget& widget, int x) {
  const QPointF at(x, widget.height() / 2);
  SendMouse(widget, QEvent::MouseButtonPress, at);
  SendMouse(widget, QEvent::MouseButtonRelease, at);
}

// The OK/Cancel bar holds "キャンセル" left and "OK" right.
void ClickOK(FrmConf& dialog) {
  ClickAt(dialog.OKCancelButtons(), dialog.OKCancelButtons().width() * 3 / 4);
}
void ClickCancel(FrmConf& dialog) {
  ClickAt(dialog.OKCancelButtons(), dialog.OKCancelButtons().width() / 4);
}

class ConfigDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TwipsPerPixel = 15;
    waveIn.Remember("test tone");
    waveOut.Remember("null");
    midiIn.Remember("keys A");
  }

  std::unique_ptr<FrmConf> Open() {
    return std::make_unique<FrmConf>(nullptr, ConfigTargets{waveIn, waveOut, bufferMs, delayMinMs,
                                                            delayMaxMs, midiIn, midiCh, useMidi});
  }

  float bufferMs = 7, delayMinMs = 20, delayMaxMs = 70;
  int32_t midiCh = 0, useMidi = 1;
  std::vector<std::string> waveIns{"demo guitar", "test tone", "silence"};
  std::vector<std::string> waveOuts{"null", "WAV recorder"};
  std::vector<std::string> midiPorts{"keys A", "keys B"};
  DeviceCatalogue waveDevices{
      [this](int32_t direction) { return direction == 1 ? waveIns : waveOuts; }};
  DeviceCatalogue midiInputs{[this](int32_t) { return midiPorts; }};
  DeviceChoice waveIn{waveDevices, 1};
  DeviceChoice waveOut{waveDevices, 0};
  DeviceChoice midiIn{midiInputs, 1};
};

TEST_F(ConfigDialogTest, TheControlsStandInOneColumnAtTheirTops) {
  const auto dialog = Open();
  const std::vector<std::pair<const QWidget*, double>> tops = {
      {&dialog->ComboDev(0), 90},   {&dialog->ComboDev(1), 420},    {&dialog->TextMS(0), 750},
      {&dialog->TextMS(1), 1050},   {&dialog->TextMS(2), 1350},     {&dialog->CheckUseMidi(), 1740},
      {&dialog->ComboDev(2), 2025}, {&dialog->ComboMidiCh(), 2355},
  };
  for (const auto& [control, top] : tops) {
    EXPECT_EQ(TwipsTop(*control), top) << top;
    EXPECT_EQ(TwipsLeft(*control), 1875) << top;
    EXPECT_EQ(control->parentWidget(), &dialog->Client()) << top;
  }
  EXPECT_EQ(dialog->TextMS(2).size(), dialog->TextMS(0).size()) << "elements copy the first";
  EXPECT_EQ(dialog->Client().size(), QSize(373, 244));
  EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("設定"));
  EXPECT_EQ(dialog->TextMS(0).nextInFocusChain(), &dialog->TextMS(1)) << "tab order follows";
}

TEST_F(ConfigDialogTest, PlacingAgainstAReferenceFollowsPlacementAndAlignment) {
  QWidget parent;
  QWidget reference(&parent);
  MoveTwips(reference, 300, 600, 900, 300);  // 20, 40, 60 x 20 pixels
  struct Case {
    int32_t placement, alignMode;
    double gap;
    QPoint expected;  // pixels; the control starts at (7, 9), 30 x 10
  };
  const Case cases[] = {
      {kPlaceBelow, kAlignToReference, kTwoPixelGap, {20, 62}},
      {kPlaceBelow, kAlignToValue, 150, {5, 70}},  // align value 75 twips
      {kPlaceBelow, 0, 0, {7, 60}},
      {kPlaceRightOf, kAlignToReference, kTwoPixelGap, {82, 40}},
      {kPlaceCentred, kAlignToReference, 0, {20, 45}},
      {kPlaceRightAligned, kAlignToReference, 30, {52, 62}},
      {kPlaceRightAligned, kAlignToValue, 0, {50, 5}},
      {7, kAlignToReference, 0, {7, 9}},
  };
  for (const Case& c : cases) {
    QWidget control(&parent);
    control.setGeometry(7, 9, 30, 10);
    PlaceControl(control, reference, c.placement, c.gap, c.alignMode, 75);
    EXPECT_EQ(control.pos(), c.expected) << c.placement << " " << c.alignMode;
    EXPECT_EQ(control.size(), QSize(30, 10));
  }
}

TEST_F(ConfigDialogTest, OpensWithTheCurrentSettings) {
  useMidi = 0;
  const auto dialog = Open();
  EXPECT_EQ(dialog->TextMS(0).text(), "7.0");
  EXPECT_EQ(dialog->TextMS(1).text(), "20.0");
  EXPECT_EQ(dialog->TextMS(2).text(), "70.0");
  EXPECT_EQ(dialog->ComboDev(0).count(), 3);
  EXPECT_EQ(dialog->ComboDev(0).currentText(), "test tone");
  EXPECT_EQ(dialog->ComboDev(1).currentText(), "null");
  EXPECT_EQ(dialog->ComboDev(2).currentText(), "keys A");
  EXPECT_EQ(dialog->CheckUseMidi().Value(), 0);
  EXPECT_EQ(dialog->CheckUseMidi().Caption(), "MIDIコントローラ使用");
  EXPECT_FALSE(dialog->ComboDev(2).isEnabled()) << "MIDI off: its lists start disabled";
  EXPECT_FALSE(dialog->ComboMidiCh().isEnabled());
  EXPECT_TRUE(dialog->ComboDev(0).isEnabled());
  ASSERT_EQ(dialog->ComboMidiCh().count(), 17);
  EXPECT_EQ(dialog->ComboMidiCh().itemText(15), "16");
  EXPECT_EQ(dialog->ComboMidiCh().itemText(16), "all");
}

TEST_F(ConfigDialogTest, TimesAreTakenOnOkWithinTheirRanges) {
  struct Case {
    float start[3];
    const char* typed[3];
    float expected[3];
  };
  const Case cases[] = {
      {{7, 20, 70}, {"0.5", "0", "1"}, {1, 1, 2}},
      {{7, 20, 70}, {"45", "5000", "5000"}, {30, 1000, 1000}},
      {{7, 20, 70}, {"12.5", "80", "50"}, {12.5f, 80, 50}},   // minimum above maximum: as typed
      {{7, 20, 70}, {"abc", "", "7,5"}, {7, 20, 70}},         // no numbers: kept
      {{7, 20, 70}, {"１０", " 30 ", "1e2"}, {10, 30, 100}},  // full-width digits count
      {{40, 0.25f, 5000}, {"x", "x", "x"}, {40, 1, 1000}},    // bounds hold for kept values too
  };
  for (const Case& c : cases) {
    bufferMs = c.start[0];
    delayMinMs = c.start[1];
    delayMaxMs = c.start[2];
    const auto dialog = Open();
    for (int i = 0; i < 3; ++i) dialog->TextMS(i).setText(QString::fromUtf8(c.typed[i]));
    ClickOK(*dialog);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(bufferMs, c.expected[0]) << c.typed[0];
    EXPECT_EQ(delayMinMs, c.expected[1]) << c.typed[1];
    EXPECT_EQ(delayMaxMs, c.expected[2]) << c.typed[2];
  }
}

TEST_F(ConfigDialogTest, TheChannelListShowsOneChannelOrAll) {
  struct Case {
    int32_t stored;
    const char* shown;
    int32_t afterOk;
  };
  const Case cases[] = {
      {-1, "all", -1}, {0, "1", 0},     {15, "16", 15},
      {16, "all", -1}, {-7, "all", -1},  // no item of their own: every channel
  };
  for (const Case& c : cases) {
    midiCh = c.stored;
    const auto dialog = Open();
    EXPECT_EQ(dialog->ComboMidiCh().currentText(), c.shown) << c.stored;
    ClickOK(*dialog);
    EXPECT_EQ(midiCh, c.afterOk) << c.stored;
  }
  midiCh = 99;
  const auto cancelled = Open();
  cancelled->ComboMidiCh().setCurrentIndex(3);
  ClickCancel(*cancelled);
  EXPECT_EQ(cancelled->result(), QDialog::Rejected);
  EXPECT_EQ(midiCh, 99) << "Cancel keeps even a value the list cannot show";
  const auto chosen = Open();
  chosen->ComboMidiCh().setCurrentIndex(15);
  ClickOK(*chosen);
  EXPECT_EQ(midiCh, 15);
}

TEST_F(ConfigDialogTest, UntickingMidiActsAtOnceAndCancelKeepsItButNothingElse) {
  const auto dialog = Open();
  EXPECT_TRUE(dialog->ComboDev(2).isEnabled());
  EXPECT_TRUE(dialog->ComboMidiCh().isEnabled());
  dialog->TextMS(0).setText("12");
  dialog->ComboDev(0).setCurrentIndex(2);
  ClickAt(dialog->CheckUseMidi(), 5);
  EXPECT_EQ(useMidi, 0) << "at once, before OK";
  EXPECT_FALSE(dialog->ComboDev(2).isEnabled());
  EXPECT_FALSE(dialog->ComboMidiCh().isEnabled());
  ClickCancel(*dialog);
  EXPECT_EQ(useMidi, 0);
  EXPECT_EQ(bufferMs, 7);
  EXPECT_EQ(waveIn.Name(), "test tone");

  const auto again = Open();
  ClickAt(again->CheckUseMidi(), 5);
  EXPECT_EQ(useMidi, 1);
  EXPECT_TRUE(again->ComboMidiCh().isEnabled());
}

TEST_F(ConfigDialogTest, OkMakesThePickedDevicesTheChoice) {
  waveOut.Remember("gone");  // missing: nothing to select
  const auto dialog = Open();
  EXPECT_EQ(dialog->ComboDev(1).currentIndex(), -1);
  dialog->ComboDev(0).setCurrentIndex(2);
  dialog->ComboDev(2).setCurrentIndex(1);
  ClickOK(*dialog);
  EXPECT_EQ(waveIn.Name(), "silence");
  EXPECT_EQ(waveIn.IdToOpen(), 2);
  EXPECT_EQ(waveOut.Name(), "gone") << "nothing picked: kept for when the device is back";
  EXPECT_EQ(waveOut.IdToOpen(), -1);
  EXPECT_EQ(midiIn.Name(), "keys B");
  EXPECT_EQ(useMidi, 1);
}

TEST_F(ConfigDialogTest, LabelsArePrintedBesideTheirControlsOnThePaintedBackground) {
  const auto dialog = Open();
  const Surface& background = dialog->Client().Background();
  Surface plain(background.WidthPx(), background.HeightPx());
  PaintSurface(plain, 14);
  // Pixels of the region that differ from the bare background.
  const auto inked = [&](QRect region) {
    int32_t count = 0;
    for (int32_t y = region.top(); y <= region.bottom(); ++y) {
      for (int32_t x = region.left(); x <= region.right(); ++x) {
        if (background.Pixel(x, y) != plain.Pixel(x, y)) ++count;
      }
    }
    return count;
  };
  const auto leftOf = [](const QWidget& c) { return QRect(2, c.y(), c.x() - 4, c.height()); };
  const auto rightOf = [](const QWidget& c) {
    return QRect(c.x() + c.width() + 1, c.y(), 20, c.height());
  };
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(inked(leftOf(dialog->ComboDev(i))), 20) << "device label " << i;
    EXPECT_GT(inked(leftOf(dialog->TextMS(i))), 20) << "time label " << i;
    EXPECT_GT(inked(rightOf(dialog->TextMS(i))), 10) << "ms " << i;
  }
  EXPECT_GT(inked(leftOf(dialog->ComboMidiCh())), 20);
  EXPECT_EQ(inked(leftOf(dialog->CheckUseMidi())), 0) << "the check box has its caption";
  EXPECT_EQ(inked(QRect(0, 236, 150, 8)), 0) << "the bottom left stays bare";
  const QRect check = dialog->CheckUseMidi().geometry();
  EXPECT_EQ(dialog->CheckUseMidi().Picture().Pixel(check.width() - 1, 0),
            background.Pixel(check.right(), check.top()))
      << "the check box shows the background under it";
}

// The dialog on the live path, opened from its entry point as the main window does.
class ConfigDialogLiveTest : public test::LiveTest {
 protected:
  void SetUp() override {
    LiveTest::SetUp();
    TwipsPerPixel = 15;
  }

  // Runs action on the dialog once it is open.
  static void WhenOpen(std::function<void(FrmConf&)> action) {
    QTimer::singleShot(0, [action] {
      auto* dialog = qobject_cast<FrmConf*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      action(*dialog);
    });
  }

  QWidget owner;
};

TEST_F(ConfigDialogLiveTest, EachOpeningReadsTheDeviceListsAfresh) {
  StartWith("[conf]\nMidiInDeviceName=keys B\nUseMIDIF=1\nDeviceIn=silence\n");
  owner.show();
  std::vector<std::string> shown;
  WhenOpen([&](FrmConf& dialog) {
    shown.push_back(dialog.ComboDev(2).currentText().toStdString());
    shown.push_back(std::to_string(dialog.ComboDev(2).count()));
    dialog.TextMS(0).setText("15");
    ClickCancel(dialog);
  });
  EXPECT_EQ(ShowConfigDialog(owner, Live()), 0);

  midiPorts = {"pad X", "keys A", "keys B"};
  WhenOpen([&](FrmConf& dialog) {
    shown.push_back(dialog.ComboDev(2).currentText().toStdString());
    shown.push_back(std::to_string(dialog.ComboDev(2).count()));
    shown.push_back(dialog.ComboDev(0).currentText().toStdString());
    dialog.TextMS(0).setText("15");
    ClickOK(dialog);
  });
  EXPECT_EQ(ShowConfigDialog(owner, Live()), 1);
  EXPECT_EQ(shown, (std::vector<std::string>{"keys B", "2", "keys B", "3", "silence"}));
  EXPECT_EQ(Live().MidiInChoice().IdToOpen(), 2);
  EXPECT_EQ(Engine().BufferMS, 15);

  Live().ShutDown();
  EXPECT_EQ(Stored("conf", "BufferMS"), "15");
  EXPECT_EQ(Stored("conf", "MidiInDeviceName"), "keys B");
  EXPECT_EQ(Stored("conf", "DeviceIn"), "silence");
}

// The MIDI input through a session: start-up with the ports of that moment, the dialog
// (which reads the ports again), a pick or none, OK, Start and shut-down. The port the
// user chose stays chosen however the ports renumber or vanish; a missing wave input
// likewise keeps its name through the dialog's OK.
TEST_F(ConfigDialogLiveTest, TheChosenPortStaysChosenWhilePortsRenumberAndVanish) {
  using Ports = std::vector<std::string>;
  struct Case {
    const char* what;
    const char* stored;
    Ports atStartUp;
    Ports inDialog;
    const char* pick;   // the entry picked; nullptr = none
    const char* shown;  // selected when the dialog opens; "" = nothing
    const char* kept;   // the name Start opens and shut-down stores
  };
  const Ports ab = {"keys A", "keys B"};
  const Ports xab = {"pad X", "keys A", "keys B"};
  const Ports seq14 = {"Midi Through:Midi Through Port-0 14:0", "VMPK Output:out 128:0"};
  const Ports seq15 = {"Midi Through:Midi Through Port-0 14:0", "VMPK Output:out 129:0"};
  const std::vector<Case> cases = {
      {"renumbered, the old number picked", "keys B", ab, xab, "keys A", "keys B", "keys A"},
      {"renumbered, left as it is", "keys B", ab, xab, nullptr, "keys B", "keys B"},
      {"renumbered, picked again", "keys B", ab, xab, "keys B", "keys B", "keys B"},
      {"vanished, left as it is", "keys B", ab, {"keys A"}, nullptr, "", "keys B"},
      {"vanished, another picked", "keys B", ab, {"keys A"}, "keys A", "", "keys A"},
      {"missing at start-up, back in the dialog",
       "keys B",
       {"keys A"},
       xab,
       nullptr,
       "keys B",
       "keys B"},
      {"no ports at all", "keys B", {}, {}, nullptr, "", "keys B"},
      {"sequencer numbers changed", "VMPK Output:out 128:0", seq14, seq15, nullptr,
       "VMPK Output:out 129:0", "VMPK Output:out 128:0"},
      {"sequencer port picked", "", seq14, seq15, "VMPK Output:out 129:0",
       "Midi Through:Midi Through Port-0 14:0", "VMPK Output:out"},
  };
  owner.show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    midiPorts = c.atStartUp;
    StartWith(std::string("[conf]\nUseMIDIF=1\nDeviceIn=gone\nMidiInDeviceName=") + c.stored +
              "\n");
    midiPorts = c.inDialog;
    std::string shown;
    WhenOpen([&](FrmConf& dialog) {
      QComboBox& ports = dialog.ComboDev(2);
      shown = ports.currentIndex() < 0 ? "" : ports.currentText().toStdString();
      if (c.pick != nullptr) ports.setCurrentIndex(ports.findText(QString::fromUtf8(c.pick)));
      ClickOK(dialog);
    });
    ASSERT_EQ(ShowConfigDialog(owner, Live()), 1);
    EXPECT_EQ(shown, c.shown);
    midiService.calls.clear();
    Live().ButtonClicked(kStartButton);
    EXPECT_EQ(midiService.calls.front(), std::string("open ") + c.kept);
    Live().ShutDown();
    EXPECT_EQ(Stored("conf", "MidiInDeviceName"), c.kept);
    EXPECT_EQ(Stored("conf", "DeviceIn"), "gone");
  }
}

}  // namespace
}  // namespace ampora
