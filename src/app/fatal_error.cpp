#include "app/fatal_error.h"

#include <iostream>

#include "settings/settings_store.h"
#include "util/message_seam.h"

namespace ampora {

namespace {

constexpr char kFatalErrorText[] = "エラーが発生したため、プログラムを終了します。";

}  // namespace

std::string CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown exception";
  }
}

bool ReportFatalError(const std::string& what) {
  static bool reported = false;
  if (reported) return false;
  reported = true;
  std::cerr << "ampora: " << kFatalErrorText << " (" << what << ")" << std::endl;
  if (MessageHookSet()) {
    ShowMessage(std::string(kFatalErrorText) + "\n\n" + what, kMbOk | kMbIconError, AppTitle);
  }
  return true;
}

}  // namespace ampora
