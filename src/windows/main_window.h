#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "controls/button_bar.h"
#include "controls/fader.h"
#include "controls/io_selector.h"
#include "controls/picture_box.h"
#include "controls/surface.h"
#include "effects/fx_param.h"
#include "live/live_path.h"
#include "live/live_view.h"
#include "windows/effect_editor.h"
#include "windows/fader_control.h"
#include "windows/placed_qt_window.h"

class QLineEdit;

// FrmMain, the program's main window: the transport bar, the bank number and name, the
// tuner display, the input and output faders with their labels, the signal-flow area with
// the sixteen effect buttons and the status line, and the menu bar. It is a thin layer
// over the live path: its controls' events go to LivePath's entry points, and it shows
// what the live path tells it through LiveView. The 5 ms timer runs from creation to
// shut-down. The controls carry the names the program's design gives them (objectName
// "CtrlButton", "TextNum", "TextBank", "PictureTuner", "PictureTunerNote", "PictureIO0",
// "PictureIO1", "StFader0", "StFader1", "Picture1", "FXButton0".."FXButton15").
//
// Function keys and Escape reach the bank handler wherever the focus is in the window:
// the self-drawn controls leave their releases to the window, and those of the text boxes
// are taken before the boxes see them and go no further, so each acts once.
//
// Thread: UI thread.

namespace ampora {

class FrmMain final : public QMainWindow, public LiveView {
  Q_OBJECT

 public:
  // Lays the controls out and builds the live path over them; nothing is read yet.
  explicit FrmMain(LiveSetup setup);
  ~FrmMain() override;

  // The start-up, inside the start-up's settings batch: the live path's (settings, devices, stream,
  // working setting), then the UI font, the controls' faces and the window's placement;
  // then the window is shown. The stream is stopped until the transport or the command
  // line starts it.
  void Load();
  // The shut-down, once: the placement and the live path's shut-down; also what closing
  // the window does (it never refuses to close).
  void Unload();

  LivePath& Live() { return *live_; }
  // What the status line shows.
  const std::string& StatusText() const { return status_; }

  // LiveView.
  LevelFader& Fader(int fader) override;
  void SetTextNum(const std::string& text) override;
  std::string TextBank() const override;
  void SetTextBank(const std::string& text) override;
  void SetEffectButton(int effect, bool on) override;
  void ShowStatus(const std::string& text) override;
  void SetStartCaption(const std::string& caption) override;
  void SetSelectedButton(int32_t button) override;
  void SetTunerShown(bool shown) override;
  void DrawTuner(const TunerReading& reading) override;
  int EditedEffect() const override;
  void CloseEffectEditor() override;
  void OpenEffectEditor(int effect) override;
  void EffectSettingsLoaded() override;
  // What depends on the UI font (the controls' faces, the transport bar's buttons): part of
  // Load, after the live path's start-up has read which face to use (altFont 1: the
  // alternative face).
  void ApplyFonts(int32_t altFont);
  // The effect editor the right mouse button opens on an effect button.
  EffectEditor& Editor() { return *editor_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildLevelControls();
  void BuildEffectButtons();
  void DrawSignalFlow();
  void DrawLevelLabels();
  void InitTransportBar();
  void DrawStatus();
  void MenuConf();
  void MenuMixer();
  void MenuInfo(int index);
  // Hands a released function key or Escape to the bank handler; true when consumed.
  bool BankKeyReleased(QKeyEvent& event);

  QTimer timerRec_;
  PictureBox* pictureTuner_ = nullptr;
  PictureBox* pictureTunerNote_ = nullptr;
  UC_Buttons* ctrlButton_ = nullptr;
  QLineEdit* textNum_ = nullptr;
  QLineEdit* textBank_ = nullptr;
  std::array<PictureBox*, 2> pictureIO_{};
  std::array<UC_Fader*, 2> stFader_{};
  std::array<Surface, 2> pictureKnob_;
  PictureBox* picture1_ = nullptr;
  std::array<UC_IOSelector*, kEffectCount> fxButton_{};
  std::array<std::unique_ptr<FaderControl>, 2> faderLevels_;
  PlacedQtWindow placed_{*this};
  std::string status_;
  // The reading the tuner picture shows; empty until one is drawn.
  std::optional<TunerReading> shownTuner_;
  std::unique_ptr<LivePath> live_;
  // Made after the live path, whose chain it edits, and before the start-up loads a bank.
  std::unique_ptr<EffectEditor> editor_;
};

}  // namespace ampora
