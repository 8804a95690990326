#include "windows/main_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <chrono>
#include <string>

#include "controls/color_scheme.h"
#include "controls/control_copy.h"
#include "controls/language_mode.h"
#include "controls/mouse_codes.h"
#include "controls/paint_surface.h"
#include "controls/painted_window.h"
#include "controls/tuner_display.h"
#include "controls/twips_geometry.h"
#include "controls/ui_fonts.h"
#include "effects/effect_catalogue.h"
#include "util/debug_trace.h"
#include "util/pending_events.h"
#include "util/twips.h"
#include "util/ui_text.h"
#include "windows/config_dialog.h"
#include "windows/mixer_launcher.h"
#include "windows/version_info.h"

namespace ampora {

namespace {

// The designed layout, in twips of the client area.
struct TwipsRect {
  double left, top, width, height;
};

constexpr double kClientWidth = 7785;
constexpr double kClientHeight = 3990;
// Where the window opens before it has a place of its own.
constexpr int32_t kDesignedLeft = 1440;
constexpr int32_t kDesignedTop = 1440;

constexpr TwipsRect kCtrlButton{3585, 315, 3570, 315};
constexpr TwipsRect kTextNum{3585, 630, 375, 270};
constexpr TwipsRect kTextBank{3975, 630, 3180, 270};
constexpr TwipsRect kPictureTuner{585, 75, kTunerDisplayWidth, 435};
// Right below the tuner picture, left of the bank number.
constexpr TwipsRect kPictureTunerNote{585, 510, kTunerNoteWidth, kTunerNoteHeight};
constexpr std::array<TwipsRect, 2> kPictureIO{{{60, 1110, 495, 240}, {7215, 1110, 495, 240}}};
constexpr std::array<TwipsRect, 2> kStFader{{{60, 1365, 510, 2565}, {7215, 1365, 510, 2565}}};
constexpr TwipsRect kPicture1{585, 1365, 6615, 2565};
constexpr TwipsRect kFirstFxButton{465, 540, 555, 555};
// The knob pictures' height; their widths follow the faders' (as a fader makes its own).
constexpr double kKnobHeight = 150;

// The effect buttons: eight in a row, 12 pixels apart; the second row 30 pixels below.
constexpr int kButtonsPerRow = 8;
constexpr int kButtonGapPx = 12;
constexpr int kRowGapPx = 30;

// The signal-flow line turns 240 twips beside the rows, 18 pixels below the first.
constexpr double kFlowTurnOut = 240;
constexpr int kFlowGapPx = 18;

constexpr double kStatusHeight = 300;
constexpr double kStatusLeft = 90;
constexpr Color kSignalFlowBack = Rgb(236, 238, 232);
constexpr Color kTunerBack = Rgb(0, 0, 0);

constexpr Color kTransportSelected = 0xC000;
constexpr float kTransportFontSize = 9;
constexpr std::array<const char*, 4> kTransportCaptions = {kStartCaption, "Bypass", "Tuner",
                                                           "Store"};
constexpr std::array<const char*, 2> kLevelLabels = {"IN", "OUT"};

constexpr char kCaption[] = UI_TEXT_NOOP("MainWindow", "アンポラ");

void Place(QWidget& control, const TwipsRect& r) {
  MoveTwips(control, r.left, r.top, r.width, r.height);
}

template <class Control>
Control* Make(QWidget* parent, const char* name, const TwipsRect& r) {
  auto* control = new Control(parent);
  control->setObjectName(QString::fromUtf8(name));
  Place(*control, r);
  return control;
}

// The window's background: a flat base under 20-pixel gradient bands.
class MainBackground final : public PaintedWindow {
 public:
  using PaintedWindow::PaintedWindow;

 protected:
  void PaintBackground() override {
    PaintSurface(Background(), -2);
    PaintSurface(Background(), 0);
  }
};

// The key codes the bank handler knows; 0 for every other key.
int32_t BankKeyCode(int key) {
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return kKeyF1 + (key - Qt::Key_F1);
  if (key == Qt::Key_Escape) return kKeyEscape;
  return 0;
}

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// When a key was handled: on the wall clock, which the scripts that press the keys read
// too, and in milliseconds since the X server stamped the release. That stamp is the
// server's monotonic clock in milliseconds, 32 bits wide: the difference is the wait in
// this program alone, whatever it took the script to send the key.
void TraceKeyHandled(int32_t key, uint64_t eventTimestamp) {
  using std::chrono::duration_cast;
  const auto wall = std::chrono::system_clock::now().time_since_epoch();
  const auto monotonic = std::chrono::steady_clock::now().time_since_epoch();
  const auto nowMs =
      static_cast<uint32_t>(duration_cast<std::chrono::milliseconds>(monotonic).count());
  const auto waitedMs = static_cast<int32_t>(nowMs - static_cast<uint32_t>(eventTimestamp));
  Trace("key " + std::to_string(key) + " waited " + std::to_string(waitedMs) + " ms, handled at " +
        std::to_string(duration_cast<std::chrono::nanoseconds>(wall).count()));
}

}  // namespace

FrmMain::FrmMain(LiveSetup setup) {
  auto* client = new MainBackground(this);
  client->setFixedSize(PixelsFromTwips(kClientWidth), PixelsFromTwips(kClientHeight));
  setCentralWidget(client);
  BuildMenus();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  move(PixelsFromTwips(kDesignedLeft), PixelsFromTwips(kDesignedTop));

  ctrlButton_ = Make<UC_Buttons>(client, "CtrlButton", kCtrlButton);
  textNum_ = Make<QLineEdit>(client, "TextNum", kTextNum);
  textNum_->setReadOnly(true);
  textBank_ = Make<QLineEdit>(client, "TextBank", kTextBank);
  for (QLineEdit* box : {textNum_, textBank_}) {
    SetColorScheme(*box, 1);
    box->installEventFilter(this);
  }
  pictureTuner_ = Make<PictureBox>(client, "PictureTuner", kPictureTuner);
  pictureTuner_->hide();
  pictureTunerNote_ = Make<PictureBox>(client, "PictureTunerNote", kPictureTunerNote);
  pictureTunerNote_->hide();
  // The tuner picture reaches down over the transport bar's upper half; the buttons stay
  // in front, readable and clickable, since leaving tuner mode takes one of them.
  ctrlButton_->raise();
  picture1_ = Make<PictureBox>(client, "Picture1", kPicture1);
  picture1_->setMouseTracking(true);
  picture1_->installEventFilter(this);
  picture1_->Picture().SetBackColor(kSignalFlowBack);
  BuildLevelControls();
  BuildEffectButtons();
  DrawSignalFlow();

  live_ = std::make_unique<LivePath>(*this, std::move(setup));
  editor_ = std::make_unique<EffectEditor>(
      EditorLinksOf(live_->Chain(), pictureKnob_[1], pictureKnob_[0]));
  connect(ctrlButton_, &UC_Buttons::ButtonClicked, this, [this](int16_t button) {
    Trace("transport " + std::to_string(button));
    live_->ButtonClicked(button);
  });
  timerRec_.setTimerType(Qt::PreciseTimer);
  timerRec_.setInterval(kTickIntervalMs);
  connect(&timerRec_, &QTimer::timeout, this, [this] { live_->Tick(); });
  timerRec_.start();
}

FrmMain::~FrmMain() = default;

void FrmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  connect(bar->addAction(Text(UiText("MainWindow", "設定(&C)"))), &QAction::triggered, this,
          [this] { MenuConf(); });
  connect(bar->addAction(Text(UiText("MainWindow", "ミキサー(&M)"))), &QAction::triggered, this,
          [this] { MenuMixer(); });
  QMenu* other = bar->addMenu(Text(UiText("MainWindow", "その他(&E)")));
  connect(other->addAction(Text(UiText("MainWindow", "ユーザー情報"))), &QAction::triggered, this,
          [this] { MenuInfo(0); });
}

void FrmMain::MenuConf() {
  ShowConfigDialog(*this, *live_);
}

void FrmMain::MenuMixer() {
  LaunchMixer();
}

void FrmMain::MenuInfo(int /*index*/) {
  ShowVersionInfo(*this);
}

void FrmMain::BuildLevelControls() {
  QWidget* client = centralWidget();
  for (size_t i = 0; i < 2; ++i) {
    const std::string n = std::to_string(i);
    pictureIO_[i] = Make<PictureBox>(client, ("PictureIO" + n).c_str(), kPictureIO[i]);
    stFader_[i] = Make<UC_Fader>(client, ("StFader" + n).c_str(), kStFader[i]);
  }
  // PictureKnob(1) is one channel's pointer, PictureKnob(0) the linked one.
  const int32_t faderWidth = stFader_[0]->width();
  const int32_t knobHeight = PixelsFromTwips(kKnobHeight);
  pictureKnob_[0].Resize(faderWidth - 5, knobHeight);
  pictureKnob_[1].Resize((faderWidth - 6) / 2, knobHeight);
  for (Surface& knob : pictureKnob_) PaintSurface(knob, 9);

  for (size_t i = 0; i < 2; ++i) {
    UC_Fader& fader = *stFader_[i];
    fader.SetKnobPicA(&pictureKnob_[1]);
    fader.SetKnobPicB(&pictureKnob_[0]);
    fader.SetMax(kFaderMaxDb);
    fader.SetMin(kFaderMinDb);
    if (i == 0) fader.SetLinkDisabled(1);  // the input is mono
    fader.Init();
    faderLevels_[i] = std::make_unique<FaderControl>(fader);
    const int index = static_cast<int>(i);
    connect(&fader, &UC_Fader::LevelChanged, this, [this, index] { live_->LevelChanged(index); });
    connect(&fader, &UC_Fader::DblClicked, this,
            [this, index] { live_->FaderDoubleClicked(index); });
  }
}

void FrmMain::BuildEffectButtons() {
  fxButton_[0] = Make<UC_IOSelector>(picture1_, "FXButton0", kFirstFxButton);
  for (int i = 1; i < kEffectCount; ++i) {
    UC_IOSelector* button = CopyControl(*fxButton_[0]);
    button->setObjectName(QString("FXButton%1").arg(i));
    const UC_IOSelector& before = *fxButton_[static_cast<size_t>(i - 1)];
    if (i == kButtonsPerRow) {
      button->move(fxButton_[0]->x(), fxButton_[0]->y() + fxButton_[0]->height() + kRowGapPx);
    } else {
      button->move(before.x() + before.width() + kButtonGapPx, before.y());
    }
    fxButton_[static_cast<size_t>(i)] = button;
  }
  for (int i = 0; i < kEffectCount; ++i) {
    UC_IOSelector& button = *fxButton_[static_cast<size_t>(i)];
    button.SetText(0, std::string(kEffectCatalogue[i].button));
    button.show();
    connect(
        &button, &UC_IOSelector::Clicked, this,
        [this, i](int32_t, int16_t mouseButton, int16_t) { live_->EffectClicked(i, mouseButton); });
    connect(&button, &UC_IOSelector::Hover, this, [this, i](int32_t) { live_->EffectHovered(i); });
  }
}

// Behind the first row from left to right, back along the gap between the rows, and
// behind the second row from left to right.
void FrmMain::DrawSignalFlow() {
  const QWidget& first = *fxButton_[0];
  const QWidget& endOfRow = *fxButton_[kButtonsPerRow - 1];
  const QWidget& secondRow = *fxButton_[kButtonsPerRow];
  const double y1 = TwipsTop(first) + TwipsHeight(first) / 4;
  const double x1 = TwipsLeft(endOfRow) + TwipsWidth(endOfRow) + kFlowTurnOut;
  const double y2 = TwipsTop(endOfRow) + TwipsHeight(endOfRow) + TwipsFromPixels(kFlowGapPx);
  const double x2 = TwipsLeft(first) - kFlowTurnOut;
  const double y3 = TwipsTop(secondRow) + TwipsHeight(secondRow) / 4;
  const double right = TwipsWidth(*picture1_);
  Surface& s = picture1_->Picture();
  constexpr Color kBlack = 0;
  s.Line(0, y1, x1, y1, kBlack);
  s.Line(x1, y1, x1, y2, kBlack);
  s.Line(x1, y2, x2, y2, kBlack);
  s.Line(x2, y2, x2, y3, kBlack);
  s.Line(x2, y3, right, y3, kBlack);
  picture1_->update();
}

void FrmMain::Load() {
  live_->StartUp();
  ApplyFonts(live_->StartSettings().AltFont);
  RunPendingEvents();
  RestoreWindowPlacement(placed_, "", 1, 0, 0);
  show();
}

void FrmMain::ApplyFonts(int32_t altFont) {
  DetectLanguageMode();
  if (altFont == 1) ChooseUiFace();
  for (QWidget* target : {static_cast<QWidget*>(this), static_cast<QWidget*>(picture1_),
                          static_cast<QWidget*>(textBank_), static_cast<QWidget*>(textNum_)}) {
    ApplyUiFont(target, -2);
  }
  setWindowTitle(Text(UiText("MainWindow", kCaption)));
  DrawLevelLabels();
  InitTransportBar();
  for (UC_IOSelector* button : fxButton_) {
    button->Init();
    button->DrawAll();
  }
  Surface& tuner = pictureTuner_->Picture();
  ApplyTunerFont(tuner);
  tuner.SetBackColor(kTunerBack);
  pictureTunerNote_->Picture().SetBackColor(kTunerBack);
  shownTuner_.reset();
  DrawStatus();
}

void FrmMain::DrawLevelLabels() {
  for (size_t i = 0; i < 2; ++i) {
    PictureBox& label = *pictureIO_[i];
    ApplyUiFont(&label, -2);
    Surface& s = label.Picture();
    PaintSurface(s, 7);
    const std::string text = kLevelLabels[i];
    s.SetPrintPosition((s.ScaleWidth() - s.TextWidth(text)) / 2,
                       (s.ScaleHeight() - s.TextHeight(text)) / 2);
    s.Print(text);
    label.update();
  }
}

void FrmMain::InitTransportBar() {
  UC_Buttons& bar = *ctrlButton_;
  bar.SetNumButtons(static_cast<int32_t>(kTransportCaptions.size()));
  bar.SetFontSize(kTransportFontSize);
  bar.SetSelectedColor(kTransportSelected);
  bar.SetDisable3D(1);
  for (size_t b = 0; b < kTransportCaptions.size(); ++b) {
    bar.SetButtonChar(static_cast<int32_t>(b), kTransportCaptions[b]);
  }
  bar.Init();
}

void FrmMain::Unload() {
  // The editor is a window of its own: left open, it would keep the program running.
  editor_->Close();
  if (!live_->ShutDown([this] { SaveWindowPlacement(placed_, "", 1, 0); })) return;
  timerRec_.stop();
  if (ExplicitUiFont == 1) ReleaseUiFonts();
}

void FrmMain::closeEvent(QCloseEvent* event) {
  Unload();
  event->accept();
}

// The self-drawn controls leave function keys and Escape to their window, so the
// releases arrive here from wherever the focus is; the text boxes keep every key they
// get, so theirs are taken on their way in (eventFilter).
void FrmMain::keyReleaseEvent(QKeyEvent* event) {
  if (!BankKeyReleased(*event)) QMainWindow::keyReleaseEvent(event);
}

// A key held down repeats; only its last release counts.
bool FrmMain::BankKeyReleased(QKeyEvent& event) {
  const int32_t key = BankKeyCode(event.key());
  if (key == 0 || event.isAutoRepeat()) return false;
  const bool consumed = live_->KeyReleased(key, ShiftState(event.modifiers()));
  event.setAccepted(consumed);
  if (consumed && TraceOn()) TraceKeyHandled(key, event.timestamp());
  return consumed;
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  const bool textBox = watched == textBank_ || watched == textNum_;
  if (textBox && event->type() == QEvent::KeyRelease) {
    auto& key = *static_cast<QKeyEvent*>(event);
    // Handled here, a bank key goes no further, consumed or not: the box has no use for
    // it, and passed on (a key not accepted travels up to the parents) it would reach the
    // window's own handler and act a second time.
    if (BankKeyCode(key.key()) != 0 && !key.isAutoRepeat()) {
      BankKeyReleased(key);
      key.accept();
      return true;
    }
  }
  // Mouse movement over the signal-flow area outside the effect buttons.
  if (watched == picture1_ && event->type() == QEvent::MouseMove) live_->SignalFlowHovered();
  return QMainWindow::eventFilter(watched, event);
}

LevelFader& FrmMain::Fader(int fader) {
  return *faderLevels_[fader == kInFader ? 0 : 1];
}

void FrmMain::SetTextNum(const std::string& text) {
  textNum_->setText(Text(text));
}

std::string FrmMain::TextBank() const {
  return textBank_->text().toStdString();
}

void FrmMain::SetTextBank(const std::string& text) {
  textBank_->setText(Text(text));
}

void FrmMain::SetEffectButton(int effect, bool on) {
  UC_IOSelector& button = *fxButton_[static_cast<size_t>(effect)];
  button.SetState(0, 1);
  button.SetState(1, on ? 1 : 0);
  button.DrawAll();
}

void FrmMain::ShowStatus(const std::string& text) {
  status_ = text;
  DrawStatus();
}

void FrmMain::DrawStatus() {
  Surface& s = picture1_->Picture();
  const double top = s.ScaleHeight() - kStatusHeight;
  s.Box(0, top, s.ScaleWidth(), s.ScaleHeight(), s.BackColor());
  if (!status_.empty()) {
    s.SetPrintPosition(kStatusLeft, top);
    s.Print(status_);
  }
  picture1_->update();
}

void FrmMain::SetStartCaption(const std::string& caption) {
  ctrlButton_->SetButtonChar(0, caption);
  ctrlButton_->DrawButton(0, 0);
}

void FrmMain::SetSelectedButton(int32_t button) {
  ctrlButton_->SetSelectedButton(static_cast<int16_t>(button));
}

void FrmMain::SetTunerShown(bool shown) {
  pictureTuner_->setVisible(shown);
  pictureTunerNote_->setVisible(shown);
}

// Every block of tuner mode brings a reading, most of them the same as the last one (a
// held note, silence): the picture is drawn and painted again only when it changes.
void FrmMain::DrawTuner(const TunerReading& reading) {
  if (shownTuner_ == reading) return;
  ::ampora::DrawTuner(pictureTuner_->Picture(), reading);
  DrawTunerNote(pictureTunerNote_->Picture(), reading);
  shownTuner_ = reading;
  pictureTuner_->update();
  pictureTunerNote_->update();
}

int FrmMain::EditedEffect() const {
  return editor_->EditedEffect();
}

void FrmMain::CloseEffectEditor() {
  editor_->Close();
}

void FrmMain::OpenEffectEditor(int effect) {
  editor_->Open(effect);
}

void FrmMain::EffectSettingsLoaded() {
  editor_->SettingsLoaded();
}

}  // namespace ampora
