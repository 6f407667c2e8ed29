// The running process: where its program file is, how it ends, the named mutexes it
// shares with other processes, and the processes it starts.
#pragma once

#include <stdint.h>

namespace platform {

// Writes the full path of the running program, NUL-terminated, into `buffer` of `size`
// bytes. Returns false, with an empty buffer, when the path is unavailable or does not
// fit: a cut-off path would name another file.
bool GetModulePath(char* buffer, uint32_t size);

// Ends the process at once with `code`; nothing after the call runs.
[[noreturn]] void ExitProcessNow(uint32_t code);

// Creates the named mutex `name` owned by the calling thread from the start. The handle
// is never closed: the system releases the mutex when this process ends, and that end is
// what another process waits for. False when the mutex cannot be created.
bool CreateOwnedMutex(const char* name);

// Opens or creates the named mutex `name` without taking ownership and waits for it
// without a time limit: returns when the process that owns it has ended, or at once when
// no process owns it or it cannot be opened. The handle stays open for the life of the
// process.
void WaitForNamedMutex(const char* name);

// Starts a process from `commandLine` (at most 1023 characters; the program is its first
// item, quoted or up to the first blank) with the inherited environment, normal priority
// and `workingFolder` as its current folder. Returns true when the process was started;
// it then runs on its own and is not waited for.
bool StartProcess(const char* commandLine, const char* workingFolder);

// The same, and waits for the started process to end: true with its exit code in
// *exitCode, false (the process not started) otherwise.
bool StartProcessAndWait(const char* commandLine, const char* workingFolder,
                         uint32_t* exitCode);

}  // namespace platform
