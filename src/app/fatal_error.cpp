#include "app/fatal_error.h"

#include <iostream>

#include "settings/settings_store.h"
#include "util/message_seam.h"
#include "util/ui_text.h"

namespace ampora {

namespace {

constexpr char kFatalErrorText[] =
    UI_TEXT_NOOP("Message", "エラーが発生したため、プログラムを終了します。");

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
  const std::string sentence = UiText("Message", kFatalErrorText);
  std::cerr << "ampora: " << sentence << " (" << what << ")" << std::endl;
  if (MessageHookSet()) {
    ShowMessage(sentence + "\n\n" + what, kMbOk | kMbIconError, AppTitle);
  }
  return true;
}

}  // namespace ampora
