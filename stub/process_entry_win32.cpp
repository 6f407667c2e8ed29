// The process entry of the stub on Windows. The stub links no C runtime: this is where
// Windows starts it, and where it ends.
#include <windows.h>

#include "stub/command_tail.h"
#include "stub/program_entry.h"

namespace {

using Constructor = void (*)();
using SetDefaultDirectories = BOOL(WINAPI*)(DWORD directories);
using SetDirectory = BOOL(WINAPI*)(LPCSTR folder);

// Every DLL that the stub or a system DLL loads later by name alone (a shell extension's
// helper, a theme or cryptography DLL) would otherwise be looked for in the program's
// folder and the current folder first: for an installer, a downloads folder where anyone
// may have left a DLL of that name, which would then run as administrator. From here on
// only the system folder is searched. Both functions are looked up: Windows 9x, 2000 and
// XP before its first service pack have neither, and Vista and 7 have the first only
// with an update; the second at least takes the current folder out of the search.
void RestrictLibrarySearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto restrict = reinterpret_cast<SetDefaultDirectories>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (restrict != nullptr && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  const auto setDirectory = reinterpret_cast<SetDirectory>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDirectory != nullptr) setDirectory("");
}

}  // namespace

// The linker gathers the constructors of static objects between a -1 and a 0 entry.
extern "C" Constructor __CTOR_LIST__[];

// Where Windows starts the process (the link names it). Static objects are constructed
// as the C++ start-up code would, last listed first, although the stub's are all
// constant.
extern "C" void StubStart() {
  RestrictLibrarySearch();
  size_t count = 0;
  while (__CTOR_LIST__[count + 1] != nullptr) ++count;
  for (; count > 0; --count) __CTOR_LIST__[count]();
  const int code = ProgramEntry(GetModuleHandleA(nullptr), CommandTail(GetCommandLineA()));
  ExitProcess(static_cast<UINT>(code));
}
