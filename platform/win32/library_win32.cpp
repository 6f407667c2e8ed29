// Loading a library and calling its registration entry points over the Win32 API.
#include "platform/library.h"

#include <windows.h>

#include "platform/win32/system_export_win32.h"

namespace platform {
namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

}  // namespace

Library LoadLibraryAt(const char* path, uint32_t importFolders) {
  // Windows knows the LOAD_LIBRARY_SEARCH flags where it exports AddDllDirectory.
  if (SystemExport<FARPROC>("kernel32.dll", "AddDllDirectory") != nullptr) {
    DWORD flags = 0;
    if (importFolders & kImportsFromLibraryFolder) flags |= LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR;
    if (importFolders & kImportsFromSystemFolder) flags |= LOAD_LIBRARY_SEARCH_SYSTEM32;
    return LoadLibraryExA(path, nullptr, flags);
  }
  // The library's folder in place of the program's; the process entry has taken the
  // current folder out of every search where Windows allows it.
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool CallEntryPoint(Library library, const char* name, int32_t* result) {
  FARPROC address = GetProcAddress(static_cast<HMODULE>(library), name);
  if (address == nullptr) return false;
  // FARPROC stands for any export; the cast through the generic function pointer type
  // says that this one is known to take nothing and return an HRESULT.
  EntryPoint entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(address));
  *result = entry();
  return true;
}

void FreeLibraryHandle(Library library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace platform
