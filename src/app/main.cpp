// ampora: the program. Start-up, the event loop and the ways it ends.

#include <QApplication>
#include <QCoreApplication>
#include <memory>

#include "app/program_application.h"
#include "app/shutdown_signals.h"
#include "app/single_instance.h"
#include "controls/centered_message_box.h"
#include "controls/screen_metrics.h"
#include "live/process_priority.h"
#include "live/start_switches.h"
#include "settings/settings_batch.h"
#include "settings/settings_location.h"
#include "util/debug_trace.h"
#include "util/message_seam.h"
#include "util/pending_events.h"
#include "util/twips.h"
#include "windows/main_window.h"

namespace ampora {
namespace {

int Run(int argc, char** argv) {
  TwipsPerPixel = MeasureTwipsPerPixel();
  // Before any setting is touched: a second instance ends silently.
  SingleInstance instance;
  if (instance.OtherInstanceRunning()) return 0;
  InitSettingsPaths();
  SetPendingEventsHook([] { QCoreApplication::processEvents(); });
  SetMessageHook([](const std::string& text, int32_t style, const std::string& caption) {
    return ShowMessageCentered(text, style, caption, QApplication::activeWindow());
  });

  std::unique_ptr<FrmMain> window;
  // A signal ends the program the way closing its window does. One that arrives during
  // the start-up (whose waits let events run) ends it once the start-up is complete, so
  // that the shut-down saves what the start-up loaded; the one of the command line's
  // waits ends it there, and the action waiting does not reopen the stream.
  bool signalled = false;
  bool started = false;
  const ShutdownSignals endingSignals([&] {
    signalled = true;
    if (!started) return;
    window->close();
    QCoreApplication::exit(0);
  });
  {
    SettingsBatch batch;
    window = std::make_unique<FrmMain>(ReadLiveSetup());
    RaiseProcessPriority();
    window->Load();
  }
  started = true;
  if (!signalled) window->Live().ObeyCommandLine(JoinArguments(argc, argv));
  // The loop is not running yet: an exit asked for meanwhile would be lost.
  if (signalled) {
    window->close();
    return 0;
  }
  const int result = QApplication::exec();
  Trace("counts " + window->Live().CountsReport());
  return result;
}

}  // namespace
}  // namespace ampora

int main(int argc, char** argv) {
  ampora::ProgramApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("ampora"));
  try {
    return ampora::Run(argc, argv);
  } catch (...) {
    ampora::ReportFatalError(ampora::CurrentExceptionText());
    return ampora::kFatalErrorExitCode;
  }
}
