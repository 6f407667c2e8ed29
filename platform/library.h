// Loading a library to call its registration entry points.
#pragma once

#include <stdint.h>

namespace platform {

using Library = void*;  // nullptr = none

Library LoadLibraryAt(const char* path);
// Calls the exported function `name` (no arguments, returning a 32-bit result code,
// the platform's COM calling convention). False when it is not exported.
bool CallEntryPoint(Library library, const char* name, int32_t* result);
void FreeLibraryHandle(Library library);

}  // namespace platform
