// The running process: where its program file is, how it ends, the handle it hands to a
// process it starts, and the processes it starts.
#pragma once

#include <stdint.h>

namespace platform {

// Writes the full path of the running program, NUL-terminated, into `buffer` of `size`
// bytes. Returns false, with an empty buffer, when the path is unavailable or does not
// fit: a cut-off path would name another file.
bool GetModulePath(char* buffer, uint32_t size);

// Ends the process at once with `code`; nothing after the call runs.
[[noreturn]] void ExitProcessNow(uint32_t code);

// A handle to this process that a process it starts inherits (its number, to be handed
// over on the command line; the number means the same in both processes, and a handle's
// number fits 32 bits on 64-bit Windows too), allowing only a wait for this process's
// end. It stays open for the life of the process. 0 when it cannot be made.
uint32_t InheritableProcessHandle();

// Waits without a time limit for the process whose handle, inherited from the process
// that started this one, has the number `handle`: returns when that process has ended,
// or at once when `handle` names no handle that can be waited for.
void WaitForProcessHandle(uint32_t handle);

// Starts a process from `commandLine` (at most 1023 characters; the program is its first
// item, quoted or up to the first blank) with the inherited environment, normal priority
// and `workingFolder` as its current folder; it inherits the handles made inheritable
// (InheritableProcessHandle) exactly when `inheritHandles`. Returns true when the process
// was started; it then runs on its own and is not waited for.
bool StartProcess(const char* commandLine, const char* workingFolder, bool inheritHandles);

// The same, and waits for the started process to end: true with its exit code in
// *exitCode, false (the process not started) otherwise.
bool StartProcessAndWait(const char* commandLine, const char* workingFolder,
                         uint32_t* exitCode);

}  // namespace platform
