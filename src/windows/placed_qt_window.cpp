#include "windows/placed_qt_window.h"

#include <QGuiApplication>
#include <QScreen>

#include "util/twips.h"

namespace ampora {

namespace {

constexpr Qt::WindowStates kPlacedStates = Qt::WindowMinimized | Qt::WindowMaximized;

float Twips(int pixels) {
  return static_cast<float>(TwipsFromPixels(pixels));
}

QRect Desktop(const QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->virtualGeometry() : QRect();
}

}  // namespace

int16_t PlacedQtWindow::WindowState() const {
  const Qt::WindowStates state = window_.windowState();
  if (state & Qt::WindowMinimized) return kWindowMinimised;
  if (state & Qt::WindowMaximized) return kWindowMaximised;
  return kWindowNormal;
}

void PlacedQtWindow::SetWindowState(int16_t state) {
  Qt::WindowStates states = window_.windowState() & ~kPlacedStates;
  if (state == kWindowMinimised) states |= Qt::WindowMinimized;
  if (state == kWindowMaximised) states |= Qt::WindowMaximized;
  window_.setWindowState(states);
}

float PlacedQtWindow::Left() const {
  return Twips(window_.pos().x());
}

float PlacedQtWindow::Top() const {
  return Twips(window_.pos().y());
}

float PlacedQtWindow::Width() const {
  return Twips(window_.frameGeometry().width());
}

float PlacedQtWindow::Height() const {
  return Twips(window_.frameGeometry().height());
}

void PlacedQtWindow::Move(int32_t left, int32_t top) {
  window_.move(PixelsFromTwips(left), PixelsFromTwips(top));
}

// The sizes are outer ones, the frame included.
void PlacedQtWindow::SetWidth(float width) {
  const int frame = window_.frameGeometry().width() - window_.width();
  window_.resize(PixelsFromTwips(width) - frame, window_.height());
}

void PlacedQtWindow::SetHeight(float height) {
  const int frame = window_.frameGeometry().height() - window_.height();
  window_.resize(window_.width(), PixelsFromTwips(height) - frame);
}

float PlacedQtWindow::ScreenWidth() const {
  return Twips(Desktop(window_).width());
}

float PlacedQtWindow::ScreenHeight() const {
  return Twips(Desktop(window_).height());
}

}  // namespace ampora
