#pragma once

#include "audio/stream_buffers.h"

namespace ampora::test {

// The rings allocated as InitStream allocates them.
using ampora::AllocateRings;

}  // namespace ampora::test
