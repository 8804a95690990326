#pragma once

#include <exception>
#include <string>

// The report of an error that ends the program: with ErrorCatch on, a run-time error of
// the program; otherwise anything unexpected. The program then ends with exit code 1,
// without the shut-down: what failed may be what the shut-down would run into.
//
// Thread: UI thread.

namespace ampora {

// Says on standard error that the program ends because of an error, with the error's
// text, and in a message box too when a window can show one (util/message_seam.h). Only
// the first error of a run is reported: true then, false for every later one.
bool ReportFatalError(const std::string& what);

// The text of the exception being handled (for use inside a catch block).
std::string CurrentExceptionText();

inline constexpr int kFatalErrorExitCode = 1;

}  // namespace ampora
