#pragma once

#include <cstddef>
#include <cstdint>

// A short MIDI message (a status byte and up to two data bytes) packed into 32 bits as the
// MIDI ring holds it: status in bits 0..7, first data byte in bits 8..15, second in bits
// 16..23. 0 is never a message: the ring marks its empty slots with it.

namespace ampora {

// The packed value of bytes[0..size); 0 when they are not one short message: nothing, more
// than three bytes, a first byte that is no status byte, a data byte that is one, or a
// system exclusive start or end. Called on the MIDI service's thread: no allocation, no blocking.
uint32_t PackShortMessage(const unsigned char* bytes, size_t size);

}  // namespace ampora
