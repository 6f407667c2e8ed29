// Functions of a system DLL that not every Windows the stub runs on exports: looked up
// by name at run time, so that the program still loads where one is missing (Windows 9x,
// NT 4) and the caller takes its fallback there.
#pragma once

#include <windows.h>

namespace platform {

// The export `name` of the already loaded system DLL `module`, as a `Function`; nullptr
// when the DLL is not loaded or does not export it. The caller names the export's true
// type: the cast through the generic function pointer type says that it is known.
template <typename Function>
Function SystemExport(const char* module, const char* name) {
  HMODULE handle = GetModuleHandleA(module);
  FARPROC address = handle != nullptr ? GetProcAddress(handle, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

}  // namespace platform
