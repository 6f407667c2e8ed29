// The process entry of the stub on Windows. The stub links no C runtime: this is where
// Windows starts it, and where it ends.
#include <windows.h>

#include "stub/command_tail.h"
#include "stub/program_entry.h"

namespace {

using Constructor = void (*)();

}  // namespace

// The linker gathers the constructors of static objects between a -1 and a 0 entry.
extern "C" Constructor __CTOR_LIST__[];

// Where Windows starts the process (the link names it). Static objects are constructed
// as the C++ start-up code would, last listed first, although the stub's are all
// constant.
extern "C" void StubStart() {
  size_t count = 0;
  while (__CTOR_LIST__[count + 1] != nullptr) ++count;
  for (; count > 0; --count) __CTOR_LIST__[count]();
  const int code = ProgramEntry(GetModuleHandleA(nullptr), CommandTail(GetCommandLineA()));
  ExitProcess(static_cast<UINT>(code));
}
