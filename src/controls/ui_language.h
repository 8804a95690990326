#pragma once

#include <QStringList>
#include <string>
#include <vector>

// The language of the program's texts: Japanese, as the sources write them, or English
// from the translation file ampora_en.qm. The setting "Language" of section "conf" picks
// it ("ja", "en"); empty, the desktop's language does (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG as Qt reads them). Japanese for Japanese, English for every other language.
// The font rules (controls/language_mode.h) are separate and unchanged by it.
//
// Thread: UI thread, once at start-up, before the first window and before any other
// thread asks for a text.

namespace ampora {

enum class UiLanguage { kJapanese, kEnglish };

// The language for a "Language" setting and the desktop's languages, first preferred.
// A setting or language name counts as Japanese when its language part (before "-",
// "_", "." or "@") is "ja", in any letter case; a setting of spaces counts as empty.
UiLanguage ChooseUiLanguage(const std::string& setting, const QStringList& desktopLanguages);

// The folders the translation file is looked for in, in order: "translations" beside the
// executable (a build tree), then the installed data folder relative to it.
std::vector<std::string> TranslationFolders();

// Makes UiText (util/ui_text.h) answer in language: Japanese answers the source texts;
// English loads the translation from the first folder that holds it. False when no folder
// does, and the texts then stay Japanese.
bool UseUiLanguage(UiLanguage language, const std::vector<std::string>& folders);

// Reads the "Language" setting and uses the language it and the desktop choose, from
// TranslationFolders; says on standard error when the English translation is missing.
void ApplyUiLanguageSetting();

}  // namespace ampora
