// ampora-window-points: where the scripts that drive the real program point and click,
// measured on the program's own windows as they are laid out on this display (its
// density, its fonts). One line per point, "WINDOW NAME X Y", in pixels from the window's
// top-left corner (the menu bar included):
//   main start|bypass|tuner|store   the transport buttons' middles
//   main quiet                      beside the transport bar, on no control: keys sent with
//                                   the pointer there reach the window and nothing else
//   main effect0..effect15          the effect buttons' middles (effect0: the Limiter)
//   main settings                   the settings menu's title
//   editor slider0-top|slider0-bottom   the first slider, near its top and its bottom
//   editor close                    the editor's Close button
//   settings block-length|ok        the settings dialog's block length box, its OK button
// Nothing is read from or written to a settings file.
#include <QApplication>
#include <QMenuBar>
#include <QWidget>
#include <iostream>
#include <string>

#include "controls/button_bar.h"
#include "controls/fader.h"
#include "controls/screen_metrics.h"
#include "util/twips.h"
#include "windows/config_dialog.h"
#include "windows/effect_editor.h"
#include "windows/main_window.h"

namespace ampora {
namespace {

void Print(const char* window, const std::string& name, const QWidget& control, QPoint at) {
  const QPoint p = control.mapTo(control.window(), at);
  std::cout << window << ' ' << name << ' ' << p.x() << ' ' << p.y() << '\n';
}

void PrintMain(FrmMain& main) {
  const auto& bar = *main.findChild<UC_Buttons*>("CtrlButton");
  const char* transport[] = {"start", "bypass", "tuner", "store"};
  for (int32_t i = 0; i < 4; ++i) Print("main", transport[i], bar, bar.ButtonRect(i).center());
  // Leftwards from the bar along its middle: the middle of the first stretch of bare
  // client area.
  const QWidget& client = *main.centralWidget();
  const int y = bar.mapTo(&client, bar.ButtonRect(0).center()).y();
  auto bare = [&](int x) { return client.childAt(x, y) == nullptr; };
  int right = bar.mapTo(&client, QPoint(0, 0)).x() - 1;
  while (right > 0 && !bare(right)) --right;
  int left = right;
  while (left > 0 && bare(left - 1)) --left;
  Print("main", "quiet", client, {(left + right) / 2, y});
  for (int i = 0; i < 16; ++i) {
    const QWidget& button = *main.findChild<QWidget*>(QString("FXButton%1").arg(i));
    Print("main", "effect" + std::to_string(i), button, button.rect().center());
  }
  const QMenuBar& menus = *main.menuBar();
  Print("main", "settings", menus, menus.actionGeometry(menus.actions().at(0)).center());
}

void PrintEditor(FrmMain& main) {
  main.OpenEffectEditor(0);
  QCoreApplication::processEvents();
  FrmFX& editor = *main.Editor().Window();
  const UC_Fader& slider = editor.SliderValue(0);
  // A pointer's height in from either end: a press there moves the pointer.
  const int x = slider.width() / 2;
  const int pointer = PixelsFromTwips(slider.PointerSize());
  Print("editor", "slider0-top", slider, {x, pointer});
  Print("editor", "slider0-bottom", slider, {x, slider.height() - 2 * pointer});
  const UC_Buttons& close = editor.CloseButton();
  Print("editor", "close", close, close.ButtonRect(0).center());
  main.CloseEffectEditor();
}

void PrintSettingsDialog(FrmMain& main) {
  FrmConf dialog(&main, ConfigTargetsOf(main.Live()));
  dialog.show();
  QCoreApplication::processEvents();
  const QLineEdit& blockLength = dialog.TextMS(0);
  Print("settings", "block-length", blockLength, blockLength.rect().center());
  const UC_Buttons& buttons = dialog.OKCancelButtons();
  Print("settings", "ok", buttons, buttons.ButtonRect(1).center());
}

}  // namespace
}  // namespace ampora

int main(int argc, char** argv) {
  const QApplication application(argc, argv);
  ampora::TwipsPerPixel = ampora::MeasureTwipsPerPixel();
  ampora::LiveSetup setup;
  setup.devices.realDevices = false;
  setup.midiInputs = [](int32_t) { return std::vector<std::string>{}; };
  ampora::FrmMain main(std::move(setup));
  main.ApplyFonts(0);
  main.show();
  QCoreApplication::processEvents();
  ampora::PrintMain(main);
  ampora::PrintEditor(main);
  ampora::PrintSettingsDialog(main);
  return 0;
}
