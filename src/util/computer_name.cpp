#include "util/computer_name.h"

#include <unistd.h>

#include "util/error_trap.h"
#include "util/text.h"

namespace ampora {

std::string ComputerNameText() {
  std::string name;
  TrapErrors([&] {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) == 0) name = CutAtNul(buffer);
  });
  return name;
}

}  // namespace ampora
