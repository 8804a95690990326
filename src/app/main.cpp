#include <QApplication>
#include <QCoreApplication>
#include <QLabel>

#include "controls/centered_message_box.h"
#include "controls/screen_metrics.h"
#include "settings/settings_location.h"
#include "util/message_seam.h"
#include "util/pending_events.h"
#include "util/twips.h"

// Until the main window lands, the program opens a window that says so.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ampora::TwipsPerPixel = ampora::MeasureTwipsPerPixel();
  ampora::InitSettingsPaths();
  ampora::SetPendingEventsHook([] { QCoreApplication::processEvents(); });
  ampora::SetMessageHook([](const std::string& text, int32_t style, const std::string& caption) {
    return ampora::ShowMessageCentered(text, style, caption, QApplication::activeWindow());
  });
  QLabel placeholder(QString::fromUtf8("ampora: メインウィンドウは準備中です"));
  placeholder.setWindowTitle(QStringLiteral("ampora"));
  placeholder.setMinimumSize(360, 120);
  placeholder.setAlignment(Qt::AlignCenter);
  placeholder.show();
  return QApplication::exec();
}
