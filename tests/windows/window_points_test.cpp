#include "runner/window_points.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <memory>
#include <string>
#include <vector>

#include "controls/button_bar.h"
#include "controls/fader.h"
#include "support/settings_fixture.h"
#include "util/twips.h"
#include "windows/config_dialog.h"
#include "windows/effect_editor.h"
#include "windows/main_window.h"

namespace ampora {
namespace {

// The points the scripts click must land on the controls they are named after, at every
// screen density (a point worked out for 15 twips per pixel misses at 12).
class WindowPointsTest : public test::SettingsFixture, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    saved_ = TwipsPerPixel;
    TwipsPerPixel = GetParam();
    LiveSetup setup;
    setup.devices.realDevices = false;
    setup.midiInputs = [](int32_t) { return std::vector<std::string>{}; };
    main_ = std::make_unique<FrmMain>(std::move(setup));
    main_->ApplyFonts(0);
    main_->show();
    QCoreApplication::processEvents();
    points_ = MeasureWindowPoints(*main_);
  }
  void TearDown() override {
    main_.reset();
    TwipsPerPixel = saved_;
    SettingsFixture::TearDown();
  }

  QPoint At(const std::string& window, const std::string& name) const {
    for (const WindowPoint& p : points_) {
      if (p.window == window && p.name == name) return p.at;
    }
    ADD_FAILURE() << "no point " << window << " " << name;
    return {-1, -1};
  }

  std::unique_ptr<FrmMain> main_;
  std::vector<WindowPoint> points_;

 private:
  int saved_ = 15;
};

TEST_P(WindowPointsTest, MainWindowPointsHitTheirControls) {
  FrmMain& main = *main_;
  const auto& bar = *main.findChild<UC_Buttons*>("CtrlButton");
  const char* transport[] = {"start", "bypass", "tuner", "store"};
  for (int32_t i = 0; i < 4; ++i) {
    const QPoint p = At("main", transport[i]);
    EXPECT_EQ(main.childAt(p), &bar) << transport[i];
    EXPECT_TRUE(bar.ButtonRect(i).contains(bar.mapFrom(&main, p))) << transport[i];
  }
  for (int i = 0; i < 16; ++i) {
    const QWidget* button = main.findChild<QWidget*>(QString("FXButton%1").arg(i));
    EXPECT_EQ(main.childAt(At("main", "effect" + std::to_string(i))), button) << i;
  }
  const QWidget* underQuiet = main.childAt(At("main", "quiet"));
  EXPECT_TRUE(underQuiet == nullptr || underQuiet == main.centralWidget())
      << "the quiet point lies on " << underQuiet->objectName().toStdString();
  const QMenuBar& menus = *main.menuBar();
  EXPECT_EQ(menus.actionAt(menus.mapFrom(&main, At("main", "settings"))), menus.actions().at(0));
}

TEST_P(WindowPointsTest, EditorAndSettingsDialogPointsHitTheirControls) {
  main_->OpenEffectEditor(0);
  QCoreApplication::processEvents();
  FrmFX& editor = *main_->Editor().Window();
  const QPoint top = At("editor", "slider0-top");
  const QPoint bottom = At("editor", "slider0-bottom");
  EXPECT_EQ(editor.childAt(top), &editor.SliderValue(0));
  EXPECT_EQ(editor.childAt(bottom), &editor.SliderValue(0));
  EXPECT_LT(top.y(), bottom.y());
  const QPoint close = At("editor", "close");
  EXPECT_EQ(editor.childAt(close), &editor.CloseButton());
  EXPECT_TRUE(
      editor.CloseButton().ButtonRect(0).contains(editor.CloseButton().mapFrom(&editor, close)));
  main_->CloseEffectEditor();

  FrmConf dialog(main_.get(), ConfigTargetsOf(main_->Live()));
  dialog.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.childAt(At("settings", "block-length")), &dialog.TextMS(0));
  const UC_Buttons& buttons = dialog.OKCancelButtons();
  const QPoint ok = At("settings", "ok");
  EXPECT_EQ(dialog.childAt(ok), &buttons);
  EXPECT_TRUE(buttons.ButtonRect(1).contains(buttons.mapFrom(&dialog, ok)));
}

INSTANTIATE_TEST_SUITE_P(Densities, WindowPointsTest, testing::Values(15, 12));

}  // namespace
}  // namespace ampora
