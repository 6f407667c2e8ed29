// Numbers that another program cannot guess: for names that nobody may take first.
#pragma once

#include <stdint.h>

namespace platform {

// 32 bits from the system's cryptographic generator where it has one; on systems
// without (Windows 9x, which has no users to keep apart) a mix of clocks and ids.
uint32_t RandomNumber();

}  // namespace platform
