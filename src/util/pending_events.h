#pragma once

#include <functional>

// "Let pending user-interface events run": one settable hook. The program sets it to
// the Qt event loop's processEvents; tests set a scripted callback to provoke re-entry
// (a handler that closes or restarts the stream in the middle of a poll).
//
// Thread: UI thread only.

namespace ampora {

using PendingEventsHook = std::function<void()>;

// Replaces the hook; an empty hook makes RunPendingEvents() do nothing. A hook must not
// replace itself while it runs.
void SetPendingEventsHook(PendingEventsHook hook);

// Lets pending events run once through the hook.
void RunPendingEvents();

}  // namespace ampora
