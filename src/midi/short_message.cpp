#include "midi/short_message.h"

namespace ampora {

namespace {
constexpr unsigned char kSysExStart = 0xF0;
constexpr unsigned char kSysExEnd = 0xF7;
}  // namespace

uint32_t PackShortMessage(const unsigned char* bytes, size_t size) {
  if (size == 0 || size > 3) return 0;
  const unsigned char status = bytes[0];
  if (status < 0x80 || status == kSysExStart || status == kSysExEnd) return 0;
  uint32_t packed = status;
  for (size_t i = 1; i < size; ++i) {
    if (bytes[i] >= 0x80) return 0;  // a data byte never has its top bit set
    packed |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  }
  return packed;
}

}  // namespace ampora
