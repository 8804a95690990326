#include "app/program_application.h"

#include <iostream>

#include "settings/settings_store.h"
#include "util/message_seam.h"

namespace ampora {

namespace {

constexpr char kFatalErrorText[] = "エラーが発生したため、プログラムを終了します。";

}  // namespace

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportFatalError(CurrentExceptionText());
  }
  return false;
}

std::string CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown exception";
  }
}

// Errors that follow the first one (the timer keeps ticking while the message box is up)
// are not reported: ending the loops for them would take the message box away.
void ReportFatalError(const std::string& what) {
  static bool reported = false;
  if (reported) return;
  reported = true;
  std::cerr << "ampora: " << kFatalErrorText << " (" << what << ")" << std::endl;
  ShowMessage(std::string(kFatalErrorText) + "\n\n" + what, kMbOk | kMbIconError, AppTitle);
  QCoreApplication::exit(kFatalErrorExitCode);
}

}  // namespace ampora
