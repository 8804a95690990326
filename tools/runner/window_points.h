#pragma once

#include <QPoint>
#include <string>
#include <vector>

namespace ampora {

class FrmMain;

// A point of the program's windows that the scripts driving the real program click, in
// pixels from the window's top-left corner (the menu bar included):
//   main start|bypass|tuner|store   the transport buttons' middles
//   main quiet                      beside the transport bar, on no control: keys sent with
//                                   the pointer there reach the window and nothing else
//   main effect0..effect15          the effect buttons' middles (effect0: the Limiter)
//   main settings                   the settings menu's title
//   editor slider0-top|slider0-bottom   the first slider, near its top and its bottom
//   editor close                    the editor's Close button
//   settings block-length|ok        the settings dialog's block length box, its OK button
struct WindowPoint {
  std::string window;
  std::string name;
  QPoint at;
};

// Measures the points on the windows as laid out (the main window shown, its fonts
// applied); opens the limiter's editor and the settings dialog for it and closes them
// again. Nothing is read from or written to a settings file.
std::vector<WindowPoint> MeasureWindowPoints(FrmMain& main);

}  // namespace ampora
