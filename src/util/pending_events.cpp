#include "util/pending_events.h"

#include <utility>

namespace ampora {

namespace {
PendingEventsHook& Hook() {
  static PendingEventsHook hook;
  return hook;
}
}  // namespace

void SetPendingEventsHook(PendingEventsHook hook) {
  Hook() = std::move(hook);
}

// Called from the poll: no copy of the hook, so nothing is allocated here.
void RunPendingEvents() {
  if (const PendingEventsHook& hook = Hook()) hook();
}

}  // namespace ampora
