#pragma once

#include <stdexcept>
#include <string>

namespace ampora {

// Why a render cannot go on, in words for the user ("cannot read in.wav: ...").
class RenderError : public std::runtime_error {
 public:
  explicit RenderError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace ampora
