#pragma once

#include <QApplication>
#include <exception>
#include <string>

// The program's application object. Qt does not let an exception pass through its event
// loop, so this is the one place where one that escapes an event handler is caught: with
// ErrorCatch on, a run-time error of the program; otherwise anything unexpected. It is
// reported (ReportFatalError) and the program ends with exit code 1, without the
// shut-down: what failed may be what the shut-down would run into.
//
// Thread: UI thread.

namespace ampora {

class ProgramApplication final : public QApplication {
 public:
  ProgramApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

// Says on standard error, and in a message box, that the program ends because of an
// error, with the error's text; then ends every running event loop with exit code 1.
// Only the first error of a run is reported; later ones are dropped.
void ReportFatalError(const std::string& what);

// The text of the exception being handled (for use inside a catch block).
std::string CurrentExceptionText();

inline constexpr int kFatalErrorExitCode = 1;

}  // namespace ampora
