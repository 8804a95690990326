#pragma once

#include <QApplication>

#include "app/fatal_error.h"

// The windowed program's application object. Qt does not let an exception pass through
// its event loop, so this is the one place where one that escapes an event handler is
// caught: it is reported (ReportFatalError) and every running event loop ends with exit
// code 1. Errors that follow the first one (the timer keeps ticking while the message box
// is up) are not reported: ending the loops for them would take the message box away.
//
// Thread: UI thread.

namespace ampora {

class ProgramApplication final : public QApplication {
 public:
  ProgramApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace ampora
