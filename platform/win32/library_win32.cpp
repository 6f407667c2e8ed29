// Loading a library and calling its registration entry points over the Win32 API.
#include "platform/library.h"

#include <windows.h>

namespace platform {
namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

}  // namespace

Library LoadLibraryAt(const char* path) { return LoadLibraryA(path); }

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
