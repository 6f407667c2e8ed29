// Loading a library to call its registration entry points.
#pragma once

#include <stdint.h>

namespace platform {

using Library = void*;  // nullptr = none

// The folders in which Windows looks for the DLLs that a loaded library imports, as bits.
// Left to itself it would look in the running program's folder and the current folder
// first: for an installer, the downloads folder, where anyone may have left a DLL.
constexpr uint32_t kImportsFromLibraryFolder = 1;  // the folder the library lies in
constexpr uint32_t kImportsFromSystemFolder = 2;

// Loads the library at the full path `path`, its imports looked for in the folders
// `importFolders` names. Where Windows cannot limit the search to them (before Windows 7
// with its update, and on Windows 9x) the library's own folder still comes first, then
// the system's folders, and never the current folder.
Library LoadLibraryAt(const char* path, uint32_t importFolders);
// Calls the exported function `name` (no arguments, returning a 32-bit result code,
// the platform's COM calling convention). False when it is not exported.
bool CallEntryPoint(Library library, const char* name, int32_t* result);
void FreeLibraryHandle(Library library);

}  // namespace platform
