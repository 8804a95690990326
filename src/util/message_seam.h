#pragma once

#include <cstdint>
#include <functional>
#include <string>

// How the core speaks to the user: a message box. The windowed program routes it to a Qt
// message box centred over the main window; tests capture the texts. With no window to
// show it (no hook set), the message goes to standard error as one line.
//
// Thread: UI thread only.

namespace ampora {

// Message-box style flags and result codes, as the callers pass and read them.
inline constexpr int32_t kMbOk = 0x0;
inline constexpr int32_t kMbOkCancel = 0x1;
inline constexpr int32_t kMbAbortRetryIgnore = 0x2;
inline constexpr int32_t kMbYesNoCancel = 0x3;
inline constexpr int32_t kMbYesNo = 0x4;
inline constexpr int32_t kMbRetryCancel = 0x5;
inline constexpr int32_t kMbButtonsMask = 0xF;
inline constexpr int32_t kMbIconError = 0x10;
inline constexpr int32_t kMbIconQuestion = 0x20;
inline constexpr int32_t kMbIconWarning = 0x30;
inline constexpr int32_t kMbIconInformation = 0x40;
inline constexpr int32_t kMbIconMask = 0xF0;
inline constexpr int32_t kMbDefaultButton2 = 0x100;
inline constexpr int32_t kMbDefaultButton3 = 0x200;
inline constexpr int32_t kMbDefaultButtonMask = 0xF00;
inline constexpr int16_t kIdOk = 1;
inline constexpr int16_t kIdCancel = 2;
inline constexpr int16_t kIdAbort = 3;
inline constexpr int16_t kIdRetry = 4;
inline constexpr int16_t kIdIgnore = 5;
inline constexpr int16_t kIdYes = 6;
inline constexpr int16_t kIdNo = 7;

using MessageHook =
    std::function<int16_t(const std::string& text, int32_t style, const std::string& caption)>;

// Replaces the message hook; an empty hook sends the messages to standard error.
void SetMessageHook(MessageHook hook);
// Whether a hook shows the messages.
bool MessageHookSet();

// Shows a message box and returns its result code. Without a hook, writes "ampora: ",
// the caption and ": " when there is one, and the text with its line breaks as spaces,
// and answers kIdOk.
int16_t ShowMessage(const std::string& text, int32_t style, const std::string& caption);

}  // namespace ampora
