#include "app/windowed_program.h"

#include <memory>

#include "app/program_application.h"
#include "app/shutdown_signals.h"
#include "controls/centered_message_box.h"
#include "controls/screen_metrics.h"
#include "controls/ui_language.h"
#include "live/live_program.h"
#include "live/start_switches.h"
#include "util/message_seam.h"
#include "util/pending_events.h"
#include "util/twips.h"
#include "windows/main_window.h"

namespace ampora {

namespace {

class WindowedFrontEnd final : public LiveFrontEnd {
 public:
  LivePath& Build(LiveSetup setup) override {
    // The windows take their texts as they are built.
    ApplyUiLanguageSetting();
    window_ = std::make_unique<FrmMain>(std::move(setup));
    return window_->Live();
  }
  void Load() override { window_->Load(); }
  // Closing the window is its shut-down (FrmMain::Unload).
  void Unload() override { window_->close(); }
  int RunLoop() override { return QApplication::exec(); }
  void EndLoop() override { QCoreApplication::exit(0); }

 private:
  std::unique_ptr<FrmMain> window_;
};

int Run(int argc, char** argv) {
  TwipsPerPixel = MeasureTwipsPerPixel();
  SetPendingEventsHook([] { QCoreApplication::processEvents(); });
  SetMessageHook([](const std::string& text, int32_t style, const std::string& caption) {
    return ShowMessageCentered(text, style, caption, QApplication::activeWindow());
  });
  WindowedFrontEnd frontEnd;
  LiveProgram program(frontEnd);
  const ShutdownSignals endingSignals([&] { program.AskToEnd(); });
  return program.Run(JoinArguments(argc, argv));
}

}  // namespace

int RunWindowed(int argc, char** argv) {
  ProgramApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("ampora"));
  try {
    return Run(argc, argv);
  } catch (...) {
    ReportFatalError(CurrentExceptionText());
    return kFatalErrorExitCode;
  }
}

}  // namespace ampora
