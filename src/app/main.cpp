#include <QApplication>
#include <QLabel>

#include "controls/screen_metrics.h"
#include "util/twips.h"

// Until the main window lands, the program opens a window that says so.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ampora::TwipsPerPixel = ampora::MeasureTwipsPerPixel();
  QLabel placeholder(QString::fromUtf8("ampora: メインウィンドウは準備中です"));
  placeholder.setWindowTitle(QStringLiteral("ampora"));
  placeholder.setMinimumSize(360, 120);
  placeholder.setAlignment(Qt::AlignCenter);
  placeholder.show();
  return QApplication::exec();
}
