#include "controls/icon_strip.h"

#include <QPainter>
#include <QPolygon>
#include <functional>

namespace ampora {

namespace {

const QColor kInk(44, 44, 52);
const QColor kRecordInk(150, 36, 36);
const QColor kLitGreen(40, 230, 40);
const QColor kLitRed(255, 56, 48);
const QColor kLitAmber(255, 196, 32);
const QColor kLitBlue(80, 170, 255);

// A shape in icon coordinates (0..17), filled with the given brush by the caller.
using Shape = std::function<void(QPainter&)>;

void Triangle(QPainter& p, int left, int right, bool pointsRight) {
  const int tip = pointsRight ? right : left;
  const int base = pointsRight ? left : right;
  p.drawPolygon(QPolygon({QPoint(base, 3), QPoint(tip, 9), QPoint(base, 15)}));
}

void Bar(QPainter& p, int left, int width) {
  p.drawRect(left, 4, width, 10);
}

void Speaker(QPainter& p) {
  p.drawRect(2, 7, 3, 4);
  p.drawPolygon(QPolygon({QPoint(6, 7), QPoint(10, 3), QPoint(10, 15), QPoint(6, 11)}));
}

struct IconArt {
  Shape shape;
  QColor ink;
};

const Shape kRecord = [](QPainter& p) { p.drawEllipse(4, 4, 9, 9); };
const Shape kPlay = [](QPainter& p) { Triangle(p, 5, 14, true); };
const Shape kPause = [](QPainter& p) {
  Bar(p, 4, 4);
  Bar(p, 10, 4);
};
const Shape kStop = [](QPainter& p) { p.drawRect(4, 4, 9, 9); };
const Shape kToStart = [](QPainter& p) {
  Bar(p, 2, 2);
  Triangle(p, 4, 9, false);
  Triangle(p, 10, 15, false);
};
const Shape kRewind = [](QPainter& p) {
  Triangle(p, 2, 8, false);
  Triangle(p, 9, 15, false);
};
const Shape kForward = [](QPainter& p) {
  Triangle(p, 2, 8, true);
  Triangle(p, 9, 15, true);
};
const Shape kToEnd = [](QPainter& p) {
  Triangle(p, 2, 7, true);
  Triangle(p, 8, 13, true);
  Bar(p, 14, 2);
};
const Shape kLoop = [](QPainter& p) {
  p.drawRect(3, 5, 11, 1);
  p.drawRect(3, 12, 11, 1);
  p.drawRect(3, 5, 1, 8);
  p.drawRect(13, 5, 1, 8);
  p.drawPolygon(QPolygon({QPoint(9, 2), QPoint(13, 5), QPoint(9, 8)}));
};
const Shape kEject = [](QPainter& p) {
  p.drawPolygon(QPolygon({QPoint(3, 10), QPoint(9, 3), QPoint(15, 10)}));
  p.drawRect(3, 12, 12, 2);
};
const Shape kPrevious = [](QPainter& p) {
  Bar(p, 4, 2);
  Triangle(p, 6, 13, false);
};
const Shape kReverse = [](QPainter& p) { Triangle(p, 4, 13, false); };
const Shape kNext = [](QPainter& p) {
  Triangle(p, 4, 11, true);
  Bar(p, 12, 2);
};
const Shape kSpeakerOn = [](QPainter& p) {
  Speaker(p);
  p.drawRect(12, 6, 1, 6);
  p.drawRect(14, 4, 1, 10);
};
const Shape kMuted = [](QPainter& p) {
  Speaker(p);
  p.drawPolygon(QPolygon({QPoint(11, 6), QPoint(12, 5), QPoint(16, 11), QPoint(15, 12)}));
  p.drawPolygon(QPolygon({QPoint(11, 11), QPoint(15, 5), QPoint(16, 6), QPoint(12, 12)}));
};
const Shape kClose = [](QPainter& p) {
  p.drawPolygon(QPolygon({QPoint(3, 5), QPoint(5, 3), QPoint(14, 12), QPoint(12, 14)}));
  p.drawPolygon(QPolygon({QPoint(3, 12), QPoint(12, 3), QPoint(14, 5), QPoint(5, 14)}));
};

const IconArt kIcons[kIconCount] = {
    {kRecord, kRecordInk}, {kPlay, kInk},      {kPause, kInk},         {kStop, kInk},
    {kToStart, kInk},      {kRewind, kInk},    {kForward, kInk},       {kToEnd, kInk},
    {kRecord, kLitRed},    {kPlay, kLitGreen}, {kPause, kLitAmber},    {kStop, kLitBlue},
    {kLoop, kInk},         {kLoop, kLitGreen}, {kEject, kInk},         {kPrevious, kInk},
    {kReverse, kInk},      {kNext, kInk},      {kPrevious, kLitGreen}, {kReverse, kLitGreen},
    {kNext, kLitGreen},    {kSpeakerOn, kInk}, {kMuted, kInk},         {kSpeakerOn, kLitGreen},
    {kMuted, kLitRed},     {kClose, kInk},
};

}  // namespace

QImage BuildIconStrip() {
  QImage strip(kIconSize * kIconCount, 2 * kIconSize, QImage::Format_RGB32);
  strip.fill(Qt::black);
  QPainter painter(&strip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  painter.fillRect(0, kIconSize, strip.width(), kIconSize, Qt::white);
  for (int k = 0; k < kIconCount; ++k) {
    // The same shape twice: in colour on the image, in black on the mask.
    for (const bool mask : {false, true}) {
      painter.save();
      painter.translate(k * kIconSize, mask ? kIconSize : 0);
      painter.setClipRect(0, 0, kIconSize, kIconSize);
      painter.setBrush(mask ? QColor(Qt::black) : kIcons[k].ink);
      kIcons[k].shape(painter);
      painter.restore();
    }
  }
  return strip;
}

}  // namespace ampora
