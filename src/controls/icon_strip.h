#pragma once

#include <QImage>
#include <cstdint>

// The button bar's icon strip: icon k occupies columns 18k..18k+17, its image in rows
// 0..17 (black where transparent) and its mask in rows 18..35 (white where transparent,
// black under the icon), for an AND-then-XOR copy onto a button face.
//
//   0 record   1 play     2 pause    3 stop      4 to start   5 rewind     6 forward
//   7 to end   8..11 lit record, play, pause, stop             12 loop     13 lit loop
//  14 eject   15 previous 16 reverse 17 next     18..20 lit previous, reverse, next
//  21 speaker 22 muted    23, 24 lit speaker, muted             25 close
//
// Plain icons are drawn for a face of brightness 210 and tinted to the real face colour
// by the button bar; the lit icons keep their own colours.
//
// Thread: UI thread.

namespace ampora {

constexpr int32_t kIconSize = 18;
constexpr int32_t kIconCount = 26;

QImage BuildIconStrip();

}  // namespace ampora
