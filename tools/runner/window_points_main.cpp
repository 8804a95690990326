// ampora-window-points: where the scripts that drive the real program point and click
// (tools/runner/program-runner.sh), measured on the program's own windows as they are laid
// out on this display (its density, its fonts): one line "WINDOW NAME X Y" per point of
// runner/window_points.h.
#include <QApplication>
#include <iostream>

#include "controls/screen_metrics.h"
#include "runner/window_points.h"
#include "util/twips.h"
#include "windows/main_window.h"

int main(int argc, char** argv) {
  const QApplication application(argc, argv);
  ampora::TwipsPerPixel = ampora::MeasureTwipsPerPixel();
  ampora::LiveSetup setup;
  setup.devices.realDevices = false;
  setup.midiInputs = [](int32_t) { return std::vector<std::string>{}; };
  ampora::FrmMain main(std::move(setup));
  main.ApplyFonts(0);
  main.show();
  QCoreApplication::processEvents();
  for (const ampora::WindowPoint& p : ampora::MeasureWindowPoints(main)) {
    std::cout << p.window << ' ' << p.name << ' ' << p.at.x() << ' ' << p.at.y() << '\n';
  }
  return 0;
}
