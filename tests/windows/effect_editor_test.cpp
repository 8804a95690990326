#include "windows/effect_editor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "audio/stream_buffers.h"
#include "controls/paint_surface.h"
#include "controls/qt_test_helpers.h"
#include "controls/twips_geometry.h"
#include "effects/effect_catalogue.h"
#include "effects/effect_chain.h"
#include "settings/settings_store.h"
#include "support/settings_fixture.h"

namespace ampora {
namespace {

class EditorTest : public test::SettingsFixture {
 protected:
  EditorTest() {
    PaintSurface(knobA_, 9);
    PaintSurface(knobB_, 9);
    ResetEffectParams(fx);
  }

  // The working setting of the test, with every apply recorded.
  EffectEditorLinks Links() {
    return {&fx, [this](int effect) { applied.push_back(effect); }, &knobA_, &knobB_};
  }
  std::unique_ptr<FrmFX> Build(int effect) {
    auto window = std::make_unique<FrmFX>(Links(), effect);
    window->setAttribute(Qt::WA_DeleteOnClose, false);  // the test owns it
    return window;
  }
  static std::string Stored(const std::string& key) {
    return ReadIniValue(key, SettingValue::Text(""), "", "", 0);
  }

  FxParamTable fx{};
  std::vector<int> applied;

 private:
  // The main window's knob pictures, painted as it paints them.
  Surface knobA_{14, 10};
  Surface knobB_{29, 10};
};

// A drag on a slider from one height to another, in pixels from its top.
void Drag(UC_Fader& slider, double fromY, double toY) {
  const double x = slider.width() / 2.0;
  SendMouse(slider, QEvent::MouseButtonPress, {x, fromY});
  SendMouse(slider, QEvent::MouseMove, {x, toY});
  SendMouse(slider, QEvent::MouseButtonRelease, {x, toY});
}

void DoubleClick(UC_Fader& slider, double y) {
  const QPointF middle(slider.width() / 2.0, y);
  SendMouse(slider, QEvent::MouseButtonPress, middle);
  SendMouse(slider, QEvent::MouseButtonRelease, middle);
  SendMouse(slider, QEvent::MouseButtonDblClick, middle);
  SendMouse(slider, QEvent::MouseButtonRelease, middle);
}

TEST_F(EditorTest, OneSliderAndPanelPerParameterInARowWithTheCloseButtonLast) {
  struct Case {
    int effect;
    int sliders;
    int stepPx;         // slider width 510 twips + the gap, at 15 twips per pixel
    int closeLeftPx;    // last slider's right edge + 60 twips
    int clientWidthPx;  // close button's right edge + 3 pixels
  };
  const Case cases[] = {
      {kLimiter, 4, 48, 188, 256},    {kCompressor, 5, 48, 236, 304}, {kEnhancer, 2, 48, 92, 160},
      {kGraphicEq, 16, 37, 599, 667}, {kPitchShift, 4, 48, 188, 256}, {kReverb, 6, 48, 284, 352},
      {kFuzz, 3, 48, 140, 208},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(FxName[c.effect]));
    const auto window = Build(c.effect);
    ASSERT_EQ(window->SliderCount(), c.sliders);
    EXPECT_EQ(window->windowTitle().toStdString(), FxName[c.effect]);
    for (int k = 0; k < c.sliders; ++k) {
      const ParamSpec& param = kEffectCatalogue[c.effect].params[k];
      const UC_Fader& slider = window->SliderValue(k);
      EXPECT_EQ(slider.geometry(), QRect(6 + k * c.stepPx, 18, 34, 275)) << k;
      EXPECT_EQ(window->TextValue(k).geometry(), QRect(6 + k * c.stepPx, 295, 33, 17)) << k;
      EXPECT_TRUE(slider.isVisibleTo(window.get())) << k;
      EXPECT_EQ(slider.Linked(), 1) << k;
      EXPECT_EQ(slider.Min(), param.min) << k;
      EXPECT_EQ(slider.Max(), param.max) << k;
    }
    EXPECT_EQ(window->CloseButton().geometry(), QRect(c.closeLeftPx, 290, 65, 22));
    EXPECT_EQ(window->size(), QSize(c.clientWidthPx, 319));
  }
}

TEST_F(EditorTest, LabelsAreTheParameterNamesAndTheEqualiserBands) {
  struct Case {
    int effect;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {kLimiter, {"敷居値", "リリース", "レシオ", "レベル"}},
      {kGraphicEq,
       {"25", "40", "63", "100", "160", "250", "400", "630", "1k", "1.6k", "2.5k", "4k", "6.3k",
        "10k", "16k", "レベル"}},
      {kDelay, {"L遅延", "R遅延", "レベル", "原音"}},
  };
  for (const Case& c : cases) {
    const auto window = Build(c.effect);
    std::vector<std::string> labels;
    for (int k = 0; k < window->SliderCount(); ++k) labels.push_back(window->Label(k));
    EXPECT_EQ(labels, c.labels) << FxName[c.effect];
  }
}

// Writing all rows from the panels: a row changed behind the editor's back is put back
// to what its panel shows. The on/off row is never written.
TEST_F(EditorTest, ASliderMoveWritesEveryRowAndAppliesAndLeavesTheSwitchAlone) {
  struct Case {
    int effect;
    int32_t onOff;
  };
  const Case cases[] = {{kCompressor, 0}, {kLimiter, 1}, {kReverb, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(FxName[c.effect]));
    ResetEffectParams(fx);
    fx[FxIndex(c.effect, 0)] = c.onOff;
    applied.clear();
    const auto window = Build(c.effect);
    Drag(window->SliderValue(1), 100, 120);
    EXPECT_TRUE(applied.empty()) << "not open yet";

    window->Open();
    const int32_t first = fx[FxIndex(c.effect, 1)];
    fx[FxIndex(c.effect, 1)] = first + 1;
    const FxParamTable before = fx;
    Drag(window->SliderValue(1), 100, 60);
    const int32_t moved = window->SliderValue(1).ValueL();
    EXPECT_NE(moved, before[FxIndex(c.effect, 2)]);
    EXPECT_EQ(window->TextValue(1).TextMes(0), std::to_string(moved));
    FxParamTable expected = before;
    expected[FxIndex(c.effect, 1)] = first;
    expected[FxIndex(c.effect, 2)] = moved;
    EXPECT_EQ(fx, expected);
    EXPECT_EQ(applied, std::vector<int>(applied.size(), c.effect));
    EXPECT_FALSE(applied.empty());
    window->close();
  }
}

TEST_F(EditorTest, OnTheLivePathsChainAMoveChangesTheWorkingSetting) {
  StreamBuffers stream;
  EffectChain chain(stream);
  Surface knobA(14, 10);
  Surface knobB(29, 10);
  PaintSurface(knobA, 9);
  PaintSurface(knobB, 9);
  FrmFX window(EditorLinksOf(chain, knobA, knobB), kEcho);
  window.setAttribute(Qt::WA_DeleteOnClose, false);
  window.Open();
  Drag(window.SliderValue(1), 200, 30);
  EXPECT_EQ(chain.FxParam[FxIndex(kEcho, 2)], window.SliderValue(1).ValueL());
  EXPECT_GT(chain.FxParam[FxIndex(kEcho, 2)], 50);
  EXPECT_EQ(chain.FxParam[FxIndex(kEcho, 0)], 0);
}

TEST_F(EditorTest, ADoubleClickPutsAnEqualiserSliderBackToItsDefault) {
  struct Case {
    int effect;
    int slider;
    int32_t value;
    int32_t after;
  };
  const Case cases[] = {
      {kGraphicEq, 8, 7, 0},       // the 1k band back to 0 dB
      {kGraphicEq, 0, -15, 0},     // the lowest band
      {kGraphicEq, 15, 150, 100},  // the level back to 100 %
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slider);
    ResetEffectParams(fx);
    fx[FxIndex(c.effect, c.slider + 1)] = c.value;
    const auto window = Build(c.effect);
    window->Open();
    applied.clear();
    DoubleClick(window->SliderValue(c.slider), 40);
    EXPECT_EQ(fx[FxIndex(c.effect, c.slider + 1)], c.after);
    EXPECT_EQ(window->TextValue(c.slider).TextMes(0), std::to_string(c.after));
    ASSERT_FALSE(applied.empty());
    EXPECT_EQ(applied.back(), c.effect);
    window->close();
  }

  // Elsewhere a double click is only the click it is made of.
  ResetEffectParams(fx);
  const auto window = Build(kOverDrive);
  window->Open();
  DoubleClick(window->SliderValue(0), 40);
  EXPECT_GT(window->SliderValue(0).ValueL(), 80) << "where the click put it";
  EXPECT_EQ(fx[FxIndex(kOverDrive, 1)], window->SliderValue(0).ValueL());
}

TEST_F(EditorTest, ABankLoadShowsTheLoadedValuesWithoutWritingOrApplying) {
  EffectEditor editor(Links());
  editor.Open(kDelay);
  fx[FxIndex(kDelay, 1)] = 300;
  fx[FxIndex(kDelay, 2)] = 9999;  // beyond the slider: shown at its end, kept in the row
  fx[FxIndex(kDelay, 4)] = 20;
  const FxParamTable loaded = fx;
  applied.clear();
  editor.SettingsLoaded();
  EXPECT_EQ(fx, loaded);
  EXPECT_TRUE(applied.empty());
  FrmFX& window = *editor.Window();
  EXPECT_EQ(window.SliderValue(0).ValueL(), 300);
  EXPECT_EQ(window.TextValue(0).TextMes(0), "300");
  EXPECT_EQ(window.TextValue(1).TextMes(0), "500");
  EXPECT_EQ(window.TextValue(3).TextMes(0), "20");

  // The next move keeps what was loaded in the other rows.
  Drag(window.SliderValue(2), 200, 100);
  EXPECT_EQ(fx[FxIndex(kDelay, 1)], 300);
  EXPECT_EQ(fx[FxIndex(kDelay, 4)], 20);
  EXPECT_EQ(fx[FxIndex(kDelay, 3)], window.SliderValue(2).ValueL());

  editor.Close();
  editor.SettingsLoaded();  // nothing open: nothing to do
  EXPECT_EQ(editor.EditedEffect(), -1);
}

TEST_F(EditorTest, OneEditorAtATimeClosedByItsButtonOrByTheNextOne) {
  EffectEditor editor(Links());
  EXPECT_EQ(editor.EditedEffect(), -1);
  editor.Open(kChorus);
  const QPointer<FrmFX> first = editor.Window();
  EXPECT_TRUE(first->isVisible());
  editor.Open(kFuzz);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull()) << "the first window is gone";
  EXPECT_EQ(editor.EditedEffect(), kFuzz);

  const QPointer<FrmFX> second = editor.Window();
  UC_Buttons& close = second->CloseButton();
  SendMouse(close, QEvent::MouseButtonPress, {10, 10});
  SendMouse(close, QEvent::MouseButtonRelease, {10, 10});
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(second.isNull());
  EXPECT_EQ(editor.EditedEffect(), -1);

  for (const int outside : {-1, kEffectCount}) {
    editor.Open(outside);
    EXPECT_EQ(editor.EditedEffect(), -1) << outside;
  }
}

TEST_F(EditorTest, PlacementOpensWhereItWasAndKeepsANormalPositionOnly) {
  WriteSetting("WindowLeftFX", SettingValue::Float(1500));
  WriteSetting("WindowTopFX", SettingValue::Float(900));
  WriteSetting("WindowStateFX", SettingValue::Int16(2));
  struct Case {
    Qt::WindowState closedIn;
    const char* left;
    const char* state;
  };
  const Case cases[] = {
      {Qt::WindowMaximized, "1500", "2"},
      {Qt::WindowMinimized, "1500", "1"},
      {Qt::WindowNoState, "1800", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    const auto window = Build(kTremolo);
    window->Open();
    EXPECT_EQ(window->pos(), QPoint(100, 60));
    EXPECT_EQ(window->windowState(), Qt::WindowNoState) << "the stored state is not read";
    window->move(120, 60);
    window->setWindowState(c.closedIn);
    window->close();
    EXPECT_EQ(Stored("WindowLeftFX"), c.left);
    EXPECT_EQ(Stored("WindowTopFX"), "900");
    EXPECT_EQ(Stored("WindowStateFX"), c.state);
    WriteSetting("WindowLeftFX", SettingValue::Float(1500));
  }
}

}  // namespace
}  // namespace ampora
