#include "controls/ui_language.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "audio/device_catalogue.h"
#include "audio/devices/wav_file_input.h"
#include "audio/devices/wav_recorder.h"
#include "audio/devices/wave_device.h"
#include "audio/sample_rate.h"
#include "controls/centered_message_box.h"
#include "controls/surface.h"
#include "controls/twips_geometry.h"
#include "effects/effect_catalogue.h"
#include "main_window_fixture.h"
#include "midi/midi_input.h"
#include "util/message_seam.h"
#include "util/ui_text.h"
#include "windows/config_dialog.h"
#include "windows/effect_editor.h"
#include "windows/main_window.h"
#include "windows/version_info.h"

namespace ampora {
namespace {

// Kana, CJK punctuation and ideographs, and the full-width forms: what no English text holds.
bool HasJapanese(const QString& text) {
  for (const char32_t c : text.toUcs4()) {
    if ((c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x9FFF) ||
        (c >= 0xFF00 && c <= 0xFFEF)) {
      return true;
    }
  }
  return false;
}

// Every text the program shows: window captions, the texts of Qt widgets and menus, the
// texts printed on the self-drawn controls, and the texts of the message boxes.
class ShownTexts {
 public:
  ShownTexts() {
    SetPrintObserver([this](const std::string& text) { Add(QString::fromStdString(text)); });
  }
  ~ShownTexts() { SetPrintObserver({}); }

  void Add(const QString& text) {
    if (!text.isEmpty()) texts_.push_back(text);
  }
  void Add(const std::string& text) { Add(QString::fromStdString(text)); }

  void AddWindow(const QWidget& window) {
    Add(window.windowTitle());
    AddActions(window);
    for (const QWidget* child : window.findChildren<QWidget*>()) {
      AddActions(*child);
      if (const auto* button = qobject_cast<const QAbstractButton*>(child)) Add(button->text());
      if (const auto* label = qobject_cast<const QLabel*>(child)) Add(label->text());
      if (const auto* box = qobject_cast<const QLineEdit*>(child)) Add(box->text());
      if (const auto* combo = qobject_cast<const QComboBox*>(child)) {
        for (int i = 0; i < combo->count(); ++i) Add(combo->itemText(i));
      }
    }
  }

  bool Holds(const QString& text) const { return texts_.contains(text); }
  const QStringList& All() const { return texts_; }

 private:
  void AddActions(const QWidget& widget) {
    for (const QAction* action : widget.actions()) {
      Add(action->text());
      if (action->menu() != nullptr) AddWindow(*action->menu());
    }
  }

  QStringList texts_;
};

// Shows a message box and takes its caption, text and buttons before closing it.
void ShowBox(ShownTexts& shown, const std::function<void()>& show) {
  QTimer::singleShot(0, [&shown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown.AddWindow(*box);
    shown.Add(box->text());
    box->buttons().front()->click();
  });
  show();
}

// The program in one language: the main window over the built-in devices, every effect
// editor, the settings dialog, the version box, a message box of every kind of buttons,
// the tuner, and the messages of the devices.
class UiLanguageTest : public test::MainWindowFixture {
 protected:
  void TearDown() override {
    shown_.reset();
    MainWindowFixture::TearDown();
    UseUiLanguage(UiLanguage::kJapanese, {});
  }

  ShownTexts& ShowEverything(UiLanguage language) {
    shown_.reset();
    EXPECT_TRUE(UseUiLanguage(language, {AMPORA_TEST_TRANSLATIONS_DIR}));
    shown_ = std::make_unique<ShownTexts>();
    ShownTexts& shown = *shown_;
    FrmMain& window = Open("[conf]\nDeviceIn=Test Tone\nDeviceOut=null\n");
    shown.AddWindow(window);
    window.SetTunerShown(true);
    window.DrawTuner(TunerReading(10, 20000, 20000));

    for (int effect = 0; effect < kEffectCount; ++effect) {
      window.OpenEffectEditor(effect);
      for (const QWidget* top : QApplication::topLevelWidgets()) {
        if (top != &window && top->isVisible()) shown.AddWindow(*top);
      }
      window.CloseEffectEditor();
    }
    {
      FrmConf dialog(&window, ConfigTargetsOf(window.Live()));
      shown.AddWindow(dialog);
    }
    ShowBox(shown, [&] { ShowVersionInfo(window); });
    for (const int32_t style :
         {kMbOk, kMbOkCancel, kMbAbortRetryIgnore, kMbYesNoCancel, kMbRetryCancel}) {
      ShowBox(shown, [&] { ShowMessageCentered("", style, "", &window); });
    }

    for (int32_t code = kDeviceOk; code <= kDeviceLost + 1; ++code) {
      shown.Add(DeviceErrorText(code));
    }
    shown.Add(UnsupportedSampleRateText(1000));
    std::vector<Frame> frames;
    std::string error;
    for (const std::string& path : {std::string(), AppDir() + "missing.wav", IniPath()}) {
      LoadWavFile(path, 44100, frames, error);
      shown.Add(error);
    }
    for (const std::string& path : {std::string(), AppDir() + "no/such/folder.wav"}) {
      WavRecorder recorder;
      recorder.Open(path, 44100, error);
      shown.Add(error);
    }
    shown.Add(UiText("DeviceError", kDeviceNotFoundText));
    shown.Add(UiText("DeviceError", kMidiInLostText));
    return shown;
  }

 private:
  std::unique_ptr<ShownTexts> shown_;
};

TEST_F(UiLanguageTest, InEnglishNoShownTextHoldsJapanese) {
  const ShownTexts& shown = ShowEverything(UiLanguage::kEnglish);
  for (const QString& text : shown.All()) {
    EXPECT_FALSE(HasJapanese(text)) << text.toStdString();
  }
  // Some of each window, so that a window that shows nothing does not pass unseen.
  for (const char* text :
       {"Ampora", "&Settings", "&Extras", "About", "Settings", "Input device", "Use MIDI control",
        "Reference A4", "Thresh", "Low cut", "Cancel", "&Yes", "&Ignore", "Version information",
        "·", "The connection to the audio device was lost."}) {
    EXPECT_TRUE(shown.Holds(QString::fromUtf8(text))) << text;
  }
}

// The English texts stay within the places the windows give the Japanese ones: each
// dialog label starts inside the dialog, left of its control; the editor's labels, centred
// over their sliders, keep at least a pixel between neighbours and stay inside the window.
TEST_F(UiLanguageTest, InEnglishTheLabelsFitTheirPlaces) {
  ShowEverything(UiLanguage::kEnglish);
  FrmMain& window = Window();
  for (int effect = 0; effect < kEffectCount; ++effect) {
    window.OpenEffectEditor(effect);
    FrmFX* editor = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* fx = qobject_cast<FrmFX*>(top); fx != nullptr && fx->isVisible()) editor = fx;
    }
    ASSERT_NE(editor, nullptr) << effect;
    const Surface& background = editor->Background();
    double rightOfLast = 0;
    for (int k = 0; k < editor->SliderCount(); ++k) {
      const QWidget& slider = editor->SliderValue(k);
      const double centre = TwipsLeft(slider) + TwipsWidth(slider) / 2;
      const double half = background.TextWidth(editor->Label(k)) / 2;
      EXPECT_GE(centre - half, rightOfLast + (k > 0 ? TwipsPerPixel : 0))
          << FxName[effect] << " " << editor->Label(k);
      rightOfLast = centre + half;
    }
    EXPECT_LE(rightOfLast, background.ScaleWidth()) << FxName[effect];
    window.CloseEffectEditor();
  }

  FrmConf dialog(&window, ConfigTargetsOf(window.Live()));
  const Surface& background = dialog.Client().Background();
  const std::vector<std::pair<const QWidget*, const char*>> labels = {
      {&dialog.ComboDev(0), "Input device"},   {&dialog.ComboDev(1), "Output device"},
      {&dialog.TextMS(0), "Buffer length"},    {&dialog.TextMS(1), "Latency min"},
      {&dialog.TextMS(2), "Latency max"},      {&dialog.ComboDev(2), "MIDI input"},
      {&dialog.ComboMidiCh(), "MIDI channel"}, {&dialog.TextMS(2), "Reference A4"},
  };
  for (const auto& [control, label] : labels) {
    // A label ends 90 twips left of its control.
    EXPECT_LE(background.TextWidth(label) + 90, TwipsLeft(*control)) << label;
  }
}

TEST_F(UiLanguageTest, InJapaneseEveryTextIsTheOriginal) {
  // Japanese after English: nothing of the English translation stays behind.
  ShowEverything(UiLanguage::kEnglish);
  const ShownTexts& shown = ShowEverything(UiLanguage::kJapanese);
  for (const char* text :
       {"アンポラ",
        "設定(&C)",
        "ミキサー(&M)",
        "その他(&E)",
        "ユーザー情報",
        "設定",
        "入力デバイス",
        "出力デバイス",
        "MIDI入力デバイス",
        "バッファ長",
        "遅延最小",
        "遅延最長",
        "MIDI入力Ch",
        "MIDIコントローラ使用",
        "基準ピッチ A4",
        "敷居値",
        "サスティン",
        "Lowカット",
        "キャンセル",
        "はい(&Y)",
        "いいえ(&N)",
        "再試行(&R)",
        "中止(&A)",
        "無視(&I)",
        "バージョン情報",
        "・",
        "オーディオデバイスとの接続が切れました。",
        "WAVファイルが設定されていません。",
        "このデバイスのサンプリング周波数 1000 Hz には対応していません (対応範囲: 22050～192000 "
        "Hz)。"}) {
    EXPECT_TRUE(shown.Holds(QString::fromUtf8(text))) << text;
  }
  for (const QString& text : shown.All()) {
    EXPECT_FALSE(text.contains(QStringLiteral("Thresh")) || text == QStringLiteral("Cancel"))
        << text.toStdString();
  }
}

}  // namespace
}  // namespace ampora
