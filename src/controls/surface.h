#pragma once

#include <QFont>
#include <QImage>
#include <functional>
#include <string>

#include "controls/color.h"
#include "util/twips.h"

// A drawing surface with a persistent image: everything the program paints on (window
// backgrounds, control faces, icon strips) is drawn into one of these and copied to the
// screen afterwards. It follows the rules of the classic window toolkit:
// - positions for Line, Box and text are in twips (1/1440 inch); a twip position becomes
//   the pixel nearest(twips) integer-divided by TwipsPerPixel;
// - a line with pen width 1 stops one pixel short of its end point; a box covers both
//   corners; a wider pen draws round-ended lines that include both ends;
// - colours are 0xBBGGRR values, system colours are resolved when drawing;
// - text is printed with its top-left corner at the current print position.
// Outside the image nothing is drawn; reading a pixel outside gives -1.
//
// Thread: UI thread.

namespace ampora {

// Hears every text a surface prints, drawn or not (tests read what the windows show with
// it); an empty observer ends the watch.
using PrintObserver = std::function<void(const std::string& text)>;
void SetPrintObserver(PrintObserver observer);

class Surface {
 public:
  // Block copies: the source as it is, AND-ed with the target, XOR-ed into the target.
  enum class CopyMode { kSource, kAnd, kInvert };

  explicit Surface(int32_t widthPx = 0, int32_t heightPx = 0);

  int32_t WidthPx() const { return image_.width(); }
  int32_t HeightPx() const { return image_.height(); }
  // Keeps the top-left part of the image; new area takes the back colour.
  void Resize(int32_t widthPx, int32_t heightPx);

  // Size in twips.
  double ScaleWidth() const;
  double ScaleHeight() const;

  Color BackColor() const { return backColor_; }
  // Stores the colour and clears the surface to it.
  void SetBackColor(Color color);
  // Fills the surface with the back colour and puts the print position at 0, 0.
  void Clear();

  Color ForeColor() const { return foreColor_; }
  void SetForeColor(Color color) { foreColor_ = color; }
  int32_t DrawWidth() const { return drawWidth_; }
  void SetDrawWidth(int32_t width) { drawWidth_ = width < 1 ? 1 : width; }

  // Twips.
  void Line(double x1, double y1, double x2, double y2, Color color);
  void Box(double x1, double y1, double x2, double y2, Color color);

  // A filled disc around (x, y), twips.
  void Disc(double x, double y, double radius, Color color);

  // Pixels, in the current pen (fore colour, draw width).
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);

  // Pixels.
  Color Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, Color color);
  void FillPx(int32_t left, int32_t top, int32_t right, int32_t bottom, Color color);
  void Copy(int32_t x, int32_t y, int32_t width, int32_t height, const Surface& source,
            int32_t sourceX, int32_t sourceY, CopyMode mode = CopyMode::kSource);
  // A sunken two-pixel edge inside the rectangle (right and bottom exclusive): outer ring
  // button shadow over button highlight, inner ring 3D dark shadow over 3D light.
  void DrawSunkenEdge(int32_t left, int32_t top, int32_t right, int32_t bottom);

  const QFont& Font() const { return font_; }
  void SetFont(const QFont& font) { font_ = font; }
  double CurrentX() const { return currentX_; }
  double CurrentY() const { return currentY_; }
  void SetPrintPosition(double x, double y);
  // Prints in the fore colour; afterwards the print position is at the start of the next
  // line.
  void Print(const std::string& text);
  double TextWidth(const std::string& text) const;
  double TextHeight(const std::string& text) const;

  const QImage& Image() const { return image_; }
  // Puts an image into the surface at 0, 0 (clipped), as a source copy.
  void Load(const QImage& image);

 private:
  void LinePx(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Color color);
  void WideLinePx(int32_t x1, int32_t y1, int32_t x2, int32_t y2, QRgb rgb);
  void PlotPx(int32_t x, int32_t y, uint32_t rgb);

  QImage image_;
  Color backColor_ = 0xFFFFFF;
  Color foreColor_ = 0;
  int32_t drawWidth_ = 1;
  QFont font_;
  double currentX_ = 0;
  double currentY_ = 0;
  int32_t penX_ = 0;
  int32_t penY_ = 0;
};

}  // namespace ampora
