// The running process: where its program file is, and how it ends.
#pragma once

#include <stdint.h>

namespace platform {

// Writes the full path of the running program, NUL-terminated, into `buffer` of `size`
// bytes. Returns false, with an empty buffer, when the path is unavailable or does not
// fit: a cut-off path would name another file.
bool GetModulePath(char* buffer, uint32_t size);

// Ends the process at once with `code`; nothing after the call runs.
[[noreturn]] void ExitProcessNow(uint32_t code);

}  // namespace platform
