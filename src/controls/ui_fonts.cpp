#include "controls/ui_fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

#include "controls/picture_box.h"
#include "util/error_trap.h"
#include "util/rounding.h"
#include "util/twips.h"

namespace ampora {

std::string UiFaceName;

namespace {

constexpr size_t kFaceFieldBytes = 32;

std::vector<UiFontRecord>& Cache() {
  static std::vector<UiFontRecord> cache;
  return cache;
}

// Bytes of a character in the double-byte Japanese code page: ASCII and the half-width
// katakana take one, everything else two.
size_t AnsiBytes(char32_t c) {
  return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
}

std::string CutToFaceField(const std::string& face) {
  const QList<uint> characters = QString::fromStdString(face).toUcs4();
  size_t bytes = 0;
  qsizetype kept = 0;
  for (const uint c : characters) {
    bytes += AnsiBytes(c);
    if (bytes > kFaceFieldBytes) break;
    ++kept;
  }
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), kept)
      .toStdString();
}

// A font whose cell (ascent + descent) is `height` pixels, as the classic font record
// asks for with a positive height.
QFont FontFor(const UiFontRequest& request) {
  QFont font(QString::fromStdString(request.faceName));
  font.setPixelSize(100);
  const QFontMetricsF metrics(font);
  const double cell = metrics.ascent() + metrics.descent();
  const int32_t pixels = cell > 0 ? RoundInt32(request.height * 100.0 / cell) : request.height;
  font.setPixelSize(pixels < 1 ? 1 : pixels);
  if (request.weight > 0) {
    font.setWeight(static_cast<QFont::Weight>(std::clamp(request.weight, 1, 1000)));
  }
  font.setItalic(request.italic != 0);
  return font;
}

QFont FontOf(const FontTarget& target) {
  if (auto* const* widget = std::get_if<QWidget*>(&target)) return (*widget)->font();
  return std::get<Surface*>(target)->Font();
}

bool IsNull(const FontTarget& target) {
  return std::visit([](auto* pointer) { return pointer == nullptr; }, target);
}

void GiveFont(const FontTarget& target, const QFont& font) {
  if (auto* const* widget = std::get_if<QWidget*>(&target)) {
    (*widget)->setFont(font);
    // A picture widget prints through its surface: the font is the surface's too.
    if (auto* picture = qobject_cast<PictureBox*>(*widget)) picture->Picture().SetFont(font);
  } else {
    std::get<Surface*>(target)->SetFont(font);
  }
}

struct FontAttributes {
  float size;
  int16_t bold;
  int16_t italic;
  std::string face;
};

// A cached font reads back as it was asked for; any other font as the toolkit has it.
FontAttributes AttributesOf(const QFont& font) {
  for (const UiFontRecord& record : Cache()) {
    if (record.font == font) return {record.size, record.bold, record.italic, record.face};
  }
  const float size = font.pointSizeF() > 0
                         ? static_cast<float>(font.pointSizeF())
                         : static_cast<float>(TwipsFromPixels(font.pixelSize())) / 20.0f;
  return {size, static_cast<int16_t>(font.bold() ? -1 : 0),
          static_cast<int16_t>(font.italic() ? -1 : 0), font.family().toStdString()};
}

int32_t FindOrCreate(const FontAttributes& wanted) {
  const std::vector<UiFontRecord>& cache = Cache();
  for (size_t i = 0; i < cache.size(); ++i) {
    const UiFontRecord& r = cache[i];
    if (r.face == wanted.face && r.size == wanted.size && r.bold == wanted.bold &&
        r.italic == wanted.italic) {
      return static_cast<int32_t>(i);
    }
  }
  if (CreateUiFont(wanted.size, wanted.bold, wanted.italic, wanted.face) == 0) return -3;
  return static_cast<int32_t>(cache.size()) - 1;
}

}  // namespace

const std::vector<std::string>& UiFaceCandidates() {
  static const std::vector<std::string> candidates = {
      "メイリオ", "MS UI Gothic", "ＭＳ Ｐゴシック", "Noto Sans CJK JP", "IPAPGothic", "VL PGothic",
  };
  return candidates;
}

void ChooseUiFaceFrom(const std::vector<std::string>& installedFaces) {
  UiFaceName = kFallbackUiFace;
  for (const std::string& candidate : UiFaceCandidates()) {
    for (const std::string& installed : installedFaces) {
      // Face names end at their first NUL.
      if (installed.substr(0, installed.find('\0')) == candidate) {
        UiFaceName = candidate;
        return;
      }
    }
  }
}

void ChooseUiFace() {
  std::vector<std::string> installed;
  for (const QString& family : QFontDatabase::families()) installed.push_back(family.toStdString());
  ChooseUiFaceFrom(installed);
}

UiFontRequest MakeUiFontRequest(float size, int16_t bold, int16_t italic, const std::string& face) {
  const double scale = face == kMeiryoFace ? 1.34 : 1.0;
  UiFontRequest request;
  request.height = std::abs(RoundInt32(static_cast<double>(size) * 20 * scale / TwipsPerPixel));
  if (bold == -1) request.weight = RoundInt32(15.0 / TwipsPerPixel * 700);
  request.italic = italic == -1 ? 1 : 0;
  request.charSet = face == "Impact" ? 0 : 128;
  request.faceName = CutToFaceField(face);
  return request;
}

int32_t CreateUiFont(float size, int16_t bold, int16_t italic, const std::string& face) {
  int32_t created = 0;
  TrapErrors([&] {
    const UiFontRequest request = MakeUiFontRequest(size, bold, italic, face);
    const float lineRate = face == kMeiryoFace ? static_cast<float>(1 / 1.34) : 1.0f;
    Cache().push_back({FontFor(request), size, bold, italic, face, lineRate});
    created = 1;
  });
  return created;
}

int32_t ApplyUiFont(FontTarget window, int32_t index, FontTarget source, float size, int16_t bold,
                    int16_t italic, const std::string& face) {
  if (index < -2) return -3;
  int32_t applied = -3;
  TrapErrors([&] {
    if (UiFaceName.empty()) UiFaceName = kFallbackUiFace;
    if (Cache().empty() && CreateUiFont(9, 0, 0, UiFaceName) == 0) return;
    FontAttributes wanted{size, bold, italic, face};
    if (index == -1) {
      if (IsNull(source)) return;
      wanted = AttributesOf(FontOf(source));
      window = source;
    }
    if (wanted.face.empty()) wanted.face = UiFaceName;
    if (wanted.size <= 0) wanted.size = 9;
    if (index < 0) index = FindOrCreate(wanted);
    if (index < 0 || index >= static_cast<int32_t>(Cache().size()) || IsNull(window)) return;
    GiveFont(window, Cache()[static_cast<size_t>(index)].font);
    applied = index;
  });
  return applied;
}

void ReleaseUiFonts() {
  Cache().clear();
}

const std::vector<UiFontRecord>& UiFontCache() {
  return Cache();
}

}  // namespace ampora
