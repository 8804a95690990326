#pragma once

#include <functional>
#include <initializer_list>
#include <string>

// The texts the program shows the user are written in Japanese in the sources; that text
// is also the key of its translation. The core has no Qt: it asks for a text through
// UiText, which answers through a hook the program's front end sets (the Qt translator
// of the chosen language) and answers the source text without one (tests, the LV2
// plugin, a front end that shows the Japanese texts).
//
// Thread: the hook is set once at start-up, before any other thread asks for a text.

namespace ampora {

// Marks a text kept in a table for the translation tools; the text itself is unchanged.
// The text is translated where it is shown, by UiText with the same context.
#define UI_TEXT_NOOP(context, text) text

using UiTextHook = std::function<std::string(const char* context, const char* source)>;

// Replaces the hook; an empty hook makes UiText answer the source texts.
void SetUiTextHook(UiTextHook hook);

// The text to show for source (UTF-8) in the chosen language. A text the translation
// does not know shows as it is written.
std::string UiText(const char* context, const char* source);

// Fills "%1", "%2" ... "%9" in text with the arguments in order, so that a translation can
// place them where its word order wants them. A marker without an argument stays as it is.
std::string FillIn(const std::string& text, std::initializer_list<std::string> arguments);

}  // namespace ampora
