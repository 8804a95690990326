#pragma once

namespace ampora {

// Marks the upper parts of the processor's wide vector registers unused, where the
// processor has them (x86-64 with AVX; nothing elsewhere).
//
// The effects run on the user-interface thread, between the window's painting, and code
// of the window's libraries that uses the wide registers may leave their upper parts in
// use. The effects' own code uses only the low parts, and on such processors every one of
// its vector instructions then waits to merge the upper parts: the sweep effects and
// their sines took five times as long in the window as without it. Values in the low
// parts are kept, so results stay bit for bit the same.
//
// Not inline: a call keeps no vector value alive across it.
void ClearUpperVectorState();

}  // namespace ampora
