#pragma once

#include <cstdint>
#include <functional>

// Whether the program must give its UI font to every window explicitly: on a Japanese
// system whose default dialog font cannot show Japanese text the windows would otherwise
// show empty boxes. Decided once at start-up.
//
// Thread: UI thread.

namespace ampora {

// 1: the effect editor applies the UI font to itself and the font cache is released at
// shut-down. 0 until DetectLanguageMode decides otherwise.
extern int32_t ExplicitUiFont;

// The system's default language as a Windows language id (primary language in the low
// byte, 0x0411 for Japanese), from the system locale; 0 for a language without an id.
int32_t SystemDefaultLangId();

// Whether the toolkit's default font, with its fallbacks, has glyphs for Japanese text.
bool CanShowJapanese();

// The "LangMode" setting (default 0), rounded; text that is no number
// (settings/setting_number.h) counts as 0.
int32_t ReadLangMode();

// The decision itself. A language id whose low byte has both bits 0x01 and 0x10 set
// counts as Japanese (a bit test, so a few other languages pass too); only then is the
// language mode read, and a non-zero mode turns the explicit font off; otherwise it is on
// exactly when Japanese text cannot be shown.
int32_t DecideExplicitUiFont(int32_t langId, const std::function<int32_t()>& readLangMode,
                             bool japaneseShown);

// Sets ExplicitUiFont from the system, the "LangMode" setting (default 0) and the
// toolkit's fonts. Acts once per process; later calls return at once.
void DetectLanguageMode();

}  // namespace ampora
