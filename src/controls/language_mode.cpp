#include "controls/language_mode.h"

#include <QGuiApplication>
#include <QLocale>
#include <QTextLayout>
#include <optional>
#include <string>
#include <utility>

#include "settings/setting_number.h"
#include "settings/settings_store.h"
#include "util/error_trap.h"
#include "util/rounding.h"

namespace ampora {

int32_t ExplicitUiFont = 0;

namespace {

// Windows primary language ids of the languages the system locale may name.
constexpr std::pair<QLocale::Language, int32_t> kPrimaryLanguageIds[] = {
    {QLocale::Arabic, 0x01},     {QLocale::Bulgarian, 0x02},
    {QLocale::Catalan, 0x03},    {QLocale::Chinese, 0x04},
    {QLocale::Czech, 0x05},      {QLocale::Danish, 0x06},
    {QLocale::German, 0x07},     {QLocale::Greek, 0x08},
    {QLocale::English, 0x09},    {QLocale::Spanish, 0x0A},
    {QLocale::Finnish, 0x0B},    {QLocale::French, 0x0C},
    {QLocale::Hebrew, 0x0D},     {QLocale::Hungarian, 0x0E},
    {QLocale::Icelandic, 0x0F},  {QLocale::Italian, 0x10},
    {QLocale::Japanese, 0x11},   {QLocale::Korean, 0x12},
    {QLocale::Dutch, 0x13},      {QLocale::NorwegianBokmal, 0x14},
    {QLocale::Polish, 0x15},     {QLocale::Portuguese, 0x16},
    {QLocale::Romansh, 0x17},    {QLocale::Romanian, 0x18},
    {QLocale::Russian, 0x19},    {QLocale::Croatian, 0x1A},
    {QLocale::Slovak, 0x1B},     {QLocale::Albanian, 0x1C},
    {QLocale::Swedish, 0x1D},    {QLocale::Thai, 0x1E},
    {QLocale::Turkish, 0x1F},    {QLocale::Urdu, 0x20},
    {QLocale::Indonesian, 0x21}, {QLocale::Ukrainian, 0x22},
    {QLocale::Belarusian, 0x23}, {QLocale::Slovenian, 0x24},
    {QLocale::Estonian, 0x25},   {QLocale::Latvian, 0x26},
    {QLocale::Lithuanian, 0x27}, {QLocale::Persian, 0x29},
    {QLocale::Vietnamese, 0x2A},
};

constexpr int32_t kSubLanguageDefault = 0x0400;

}  // namespace

int32_t SystemDefaultLangId() {
  const QLocale::Language language = QLocale::system().language();
  for (const auto& [known, id] : kPrimaryLanguageIds) {
    if (known == language) return kSubLanguageDefault | id;
  }
  return 0;
}

bool CanShowJapanese() {
  QTextLayout layout(QString::fromUtf8("日本語のテキスト"), QGuiApplication::font());
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const QList<QGlyphRun> runs = layout.glyphRuns();
  if (runs.isEmpty()) return false;
  for (const QGlyphRun& run : runs) {
    for (const quint32 glyph : run.glyphIndexes()) {
      if (glyph == 0) return false;  // the missing-glyph box
    }
  }
  return true;
}

int32_t ReadLangMode() {
  const std::optional<double> mode =
      ParseSettingNumber<double>(ReadSetting("LangMode", SettingValue::Int32(0)));
  return mode ? RoundInt32(*mode) : 0;
}

int32_t DecideExplicitUiFont(int32_t langId, const std::function<int32_t()>& readLangMode,
                             bool japaneseShown) {
  if ((langId & 0x11) != 0x11) return 0;
  if (readLangMode() != 0) return 0;
  return japaneseShown ? 0 : 1;
}

void DetectLanguageMode() {
  static bool decided = false;
  if (decided) return;
  decided = true;
  TrapErrors([] {
    ExplicitUiFont = DecideExplicitUiFont(SystemDefaultLangId(), ReadLangMode, CanShowJapanese());
  });
}

}  // namespace ampora
