#pragma once

#include <string>

// Lines for the reliability scripts (tools/reliability), written to standard error only
// when the environment variable AMPORA_TRACE is set to a non-empty value: a soak or a
// flood reads what the program counted and when it handled a key without slowing a
// normal run. Each line is "ampora-trace: " and the text, flushed at once.
//
// Thread: UI thread only; never from a device thread or the MIDI callback, where
// writing could block.

namespace ampora {

bool TraceOn();
// Does nothing while tracing is off.
void Trace(const std::string& text);

}  // namespace ampora
