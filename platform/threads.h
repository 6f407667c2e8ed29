// Threads for work that needs no window and no file: the few primitives the installer's
// block decoding on several processors is built from.
#pragma once

#include <stdint.h>

namespace platform {

using Thread = void*;  // a running thread; nullptr = none
using Lock = void*;    // a lock that one thread holds at a time; nullptr = none
using Signal = void*;  // an auto-reset event; nullptr = none

// The processors the program may run on (at least 1).
uint32_t ProcessorCount();

// Starts a thread that calls `procedure(context)`; nullptr when it cannot be started.
using ThreadProcedure = void (*)(void* context);
Thread StartThread(ThreadProcedure procedure, void* context);
// Waits until the thread has returned, and releases it.
void JoinThread(Thread thread);

// nullptr when it cannot be made. Lock and unlock from the same thread; no recursion.
Lock NewLock();
void DeleteLock(Lock lock);
void EnterLock(Lock lock);
void LeaveLock(Lock lock);

// A signal is raised until one waiting thread has woken from it; raising it again before
// then changes nothing. nullptr when it cannot be made.
Signal NewSignal();
void DeleteSignal(Signal signal);
void RaiseSignal(Signal signal);
void WaitForSignal(Signal signal);

}  // namespace platform
