#pragma once

#include <QFont>
#include <QWidget>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "controls/surface.h"

// The program's user-interface fonts: one face for every window, chosen once at start-up
// from the installed fonts, and a process-wide cache of the fonts made from it. A font's
// index in the cache is how windows and controls refer to it; the cache only grows until
// ReleaseUiFonts.
//
// Sizes are in points. Bold and italic flags are -1 (on) or 0 (off).
//
// Thread: UI thread.

namespace ampora {

// The face used when a caller names none; empty until chosen. A font request made while
// it is still empty sets it to kFallbackUiFace.
extern std::string UiFaceName;

inline const std::string kFallbackUiFace = "ＭＳ Ｐゴシック";

// The one face whose cell is taller than its size (by 1.34): text placed in it needs
// the line rate of its font record.
inline const std::string kMeiryoFace = "メイリオ";

// What the program asks the toolkit for, in the terms of a classic font record: the cell
// height in pixels, the weight (0 = normal), italic, the character set (0 for "Impact",
// else 128 for Japanese) and the face name cut to 32 bytes in the double-byte Japanese
// code page, at a character boundary.
struct UiFontRequest {
  int32_t height = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t charSet = 0;
  std::string faceName;
};

struct UiFontRecord {
  QFont font;
  float size = 0;
  int16_t bold = 0;
  int16_t italic = 0;
  std::string face;
  // 1 / the cell scale of the face (1 / 1.34 for "メイリオ", else 1): the text panel
  // places text vertically with it.
  float lineRate = 1;
};

// A window or drawing surface that a font can be given to.
using FontTarget = std::variant<QWidget*, Surface*>;

// Faces in order of preference: the three Windows faces the program was designed with,
// then the Japanese faces of a Linux desktop.
const std::vector<std::string>& UiFaceCandidates();

// Chooses UiFaceName: the first candidate that equals (exactly) an installed face, else
// kFallbackUiFace. ChooseUiFace asks the toolkit for the installed faces.
void ChooseUiFace();
void ChooseUiFaceFrom(const std::vector<std::string>& installedFaces);

UiFontRequest MakeUiFontRequest(float size, int16_t bold, int16_t italic, const std::string& face);

// 1 when a font was made and appended to the cache, 0 otherwise (cache unchanged).
int32_t CreateUiFont(float size, int16_t bold, int16_t italic, const std::string& face);

// Gives a cached font to a window (a picture widget's surface gets it too) and returns
// its index, or -3 when no font could be given. index >= 0: that cached font. -2: the
// first cached font with these attributes, made when missing (size 0 or less means 9,
// an empty face means UiFaceName). -1: the attributes are taken from the source's font,
// and the font goes to the source.
int32_t ApplyUiFont(FontTarget window, int32_t index, FontTarget source = {}, float size = 0,
                    int16_t bold = 0, int16_t italic = 0, const std::string& face = "");

// Empties the cache; indices start at 0 again.
void ReleaseUiFonts();

const std::vector<UiFontRecord>& UiFontCache();

}  // namespace ampora
