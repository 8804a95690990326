#include "runner/window_points.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QWidget>

#include "controls/button_bar.h"
#include "controls/fader.h"
#include "util/twips.h"
#include "windows/config_dialog.h"
#include "windows/effect_editor.h"
#include "windows/main_window.h"

namespace ampora {
namespace {

using Points = std::vector<WindowPoint>;

void Add(Points& points, const char* window, const std::string& name, const QWidget& control,
         QPoint at) {
  points.push_back({window, name, control.mapTo(control.window(), at)});
}

void AddMain(Points& points, FrmMain& main) {
  const auto& bar = *main.findChild<UC_Buttons*>("CtrlButton");
  const char* transport[] = {"start", "bypass", "tuner", "store"};
  for (int32_t i = 0; i < 4; ++i)
    Add(points, "main", transport[i], bar, bar.ButtonRect(i).center());
  // Leftwards from the bar along its middle: the middle of the first stretch of bare
  // client area.
  const QWidget& client = *main.centralWidget();
  const int y = bar.mapTo(&client, bar.ButtonRect(0).center()).y();
  auto bare = [&](int x) { return client.childAt(x, y) == nullptr; };
  int right = bar.mapTo(&client, QPoint(0, 0)).x() - 1;
  while (right > 0 && !bare(right)) --right;
  int left = right;
  while (left > 0 && bare(left - 1)) --left;
  Add(points, "main", "quiet", client, {(left + right) / 2, y});
  for (int i = 0; i < 16; ++i) {
    const QWidget& button = *main.findChild<QWidget*>(QString("FXButton%1").arg(i));
    Add(points, "main", "effect" + std::to_string(i), button, button.rect().center());
  }
  const QMenuBar& menus = *main.menuBar();
  Add(points, "main", "settings", menus, menus.actionGeometry(menus.actions().at(0)).center());
}

void AddEditor(Points& points, FrmMain& main) {
  main.OpenEffectEditor(0);
  QCoreApplication::processEvents();
  FrmFX& editor = *main.Editor().Window();
  const UC_Fader& slider = editor.SliderValue(0);
  // A pointer's height in from either end: a press there moves the pointer.
  const int x = slider.width() / 2;
  const int pointer = PixelsFromTwips(slider.PointerSize());
  Add(points, "editor", "slider0-top", slider, {x, pointer});
  Add(points, "editor", "slider0-bottom", slider, {x, slider.height() - 2 * pointer});
  const UC_Buttons& close = editor.CloseButton();
  Add(points, "editor", "close", close, close.ButtonRect(0).center());
  main.CloseEffectEditor();
}

void AddSettingsDialog(Points& points, FrmMain& main) {
  FrmConf dialog(&main, ConfigTargetsOf(main.Live()));
  dialog.show();
  QCoreApplication::processEvents();
  const QLineEdit& blockLength = dialog.TextMS(0);
  Add(points, "settings", "block-length", blockLength, blockLength.rect().center());
  const UC_Buttons& buttons = dialog.OKCancelButtons();
  Add(points, "settings", "ok", buttons, buttons.ButtonRect(1).center());
}

}  // namespace

std::vector<WindowPoint> MeasureWindowPoints(FrmMain& main) {
  Points points;
  AddMain(points, main);
  AddEditor(points, main);
  AddSettingsDialog(points, main);
  return points;
}

}  // namespace ampora
