// ampora-window-pictures: the main window, the limiter's editor and the settings dialog,
// drawn without a display in Japanese and in English into PNG pictures of a folder
// (main_window.png, main_window_en.png, effect_editor.png, ...), as the README shows them.
// The window plays bank 3 on the built-in devices from a settings file of its own.
//   ampora-window-pictures <folder> <translations folder>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "controls/ui_language.h"
#include "settings/settings_store.h"
#include "util/twips.h"
#include "windows/config_dialog.h"
#include "windows/main_window.h"

namespace ampora {
namespace {

constexpr char kSettings[] =
    "[conf]\nDeviceIn=demo guitar\nDeviceOut=null\n"
    "[Current]\nLevelOutL=4\nLevelOutR=4\n"
    "[Bank03]\nBankName=Crunch lead\nLevelOutL=4\nLevelOutR=4\n"
    "OverDrive-01=1\nChorus-01=1\nEcho-01=1\nReverb-01=1\n";

bool Save(QWidget& widget, const QString& path) {
  if (widget.grab().save(path)) return true;
  std::fprintf(stderr, "ampora-window-pictures: cannot write %s\n", qPrintable(path));
  return false;
}

bool DrawLanguage(UiLanguage language, const QString& folder, const std::string& translations) {
  if (!UseUiLanguage(language, {translations})) {
    std::fprintf(stderr, "ampora-window-pictures: no translation in %s\n", translations.c_str());
    return false;
  }
  const QString suffix = language == UiLanguage::kEnglish ? "_en.png" : ".png";
  QTemporaryDir settingsFolder;
  SettingsIniPath = settingsFolder.filePath("ampora.ini").toStdString();
  std::ofstream(SettingsIniPath) << kSettings;

  LiveSetup setup;
  setup.devices.realDevices = false;
  FrmMain window(std::move(setup));
  window.Load();
  window.Live().ObeyCommandLine("F03");
  QApplication::processEvents();
  bool saved = Save(window, QDir(folder).filePath("main_window" + suffix));

  window.OpenEffectEditor(0);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top != &window && top->isVisible()) {
      saved = Save(*top, QDir(folder).filePath("effect_editor" + suffix)) && saved;
    }
  }
  window.CloseEffectEditor();
  {
    FrmConf dialog(&window, ConfigTargetsOf(window.Live()));
    saved = Save(dialog, QDir(folder).filePath("settings_dialog" + suffix)) && saved;
  }
  window.close();
  return saved;
}

}  // namespace
}  // namespace ampora

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: ampora-window-pictures <folder> <translations folder>\n");
    return 2;
  }
  // Drawn at the standard screen factor, whatever the display says.
  ampora::TwipsPerPixel = 15;
  const std::string translations = std::string(argv[2]) + "/";
  bool drawn = true;
  for (const auto language : {ampora::UiLanguage::kJapanese, ampora::UiLanguage::kEnglish}) {
    drawn = ampora::DrawLanguage(language, argv[1], translations) && drawn;
  }
  return drawn ? 0 : 1;
}
