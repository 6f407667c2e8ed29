// What this process's access token says about its rights. The functions that ask are
// looked up at run time: Windows 9x has no tokens, and Windows before Vista no elevation.
#pragma once

#include <stdint.h>

namespace platform {

// Whether the process runs with an administrator's full rights raised by the user account
// control (or as SYSTEM). False where Windows cannot tell (before Vista).
bool RunsElevated();

// Whether the process runs with the elevated half of a split token: the user's desktop,
// and every program it starts, runs with the other half, without administrator rights.
bool RunsBesideUnelevatedDesktop();

// The user's security identifier as text ("S-1-5-21-..."), NUL-terminated in `out` of
// `size` bytes. False when it cannot be read or does not fit.
bool UserSidText(char* out, uint32_t size);

}  // namespace platform
