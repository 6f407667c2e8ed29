// Threads over the Win32 API: threads, critical sections and auto-reset events, which
// every Windows family has.
#include "platform/threads.h"

#include <stdlib.h>
#include <windows.h>

namespace platform {
namespace {

struct ThreadStart {
  ThreadProcedure procedure;
  void* context;
};

DWORD WINAPI ThreadEntry(LPVOID parameter) {
  ThreadStart start = *static_cast<ThreadStart*>(parameter);
  free(parameter);
  start.procedure(start.context);
  return 0;
}

}  // namespace

uint32_t ProcessorCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

Thread StartThread(ThreadProcedure procedure, void* context) {
  ThreadStart* start = static_cast<ThreadStart*>(malloc(sizeof(ThreadStart)));
  if (start == nullptr) return nullptr;
  start->procedure = procedure;
  start->context = context;
  HANDLE thread = CreateThread(nullptr, 0, ThreadEntry, start, 0, nullptr);
  if (thread == nullptr) free(start);
  return thread;
}

void JoinThread(Thread thread) {
  if (thread == nullptr) return;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

Lock NewLock() {
  CRITICAL_SECTION* section = static_cast<CRITICAL_SECTION*>(malloc(sizeof(CRITICAL_SECTION)));
  if (section != nullptr) InitializeCriticalSection(section);
  return section;
}

void DeleteLock(Lock lock) {
  if (lock == nullptr) return;
  DeleteCriticalSection(static_cast<CRITICAL_SECTION*>(lock));
  free(lock);
}

void EnterLock(Lock lock) { EnterCriticalSection(static_cast<CRITICAL_SECTION*>(lock)); }
void LeaveLock(Lock lock) { LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(lock)); }

Signal NewSignal() { return CreateEventA(nullptr, FALSE, FALSE, nullptr); }

void DeleteSignal(Signal signal) {
  if (signal != nullptr) CloseHandle(signal);
}

void RaiseSignal(Signal signal) { SetEvent(signal); }
void WaitForSignal(Signal signal) { WaitForSingleObject(signal, INFINITE); }

}  // namespace platform
