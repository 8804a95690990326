#pragma once

#include <string>

namespace ampora {

// The computer's name (the host name); empty text when it cannot be read.
// Thread: any.
std::string ComputerNameText();

}  // namespace ampora
