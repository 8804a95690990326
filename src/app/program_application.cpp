#include "app/program_application.h"

namespace ampora {

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    if (ReportFatalError(CurrentExceptionText())) QCoreApplication::exit(kFatalErrorExitCode);
  }
  return false;
}

}  // namespace ampora
