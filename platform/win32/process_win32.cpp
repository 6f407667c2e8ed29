// The running process over the ANSI Win32 API.
#include "platform/process.h"

#include <string.h>
#include <windows.h>

namespace platform {
namespace {

// CreateProcessA may write into the command line, so it gets a copy of its own.
constexpr size_t kCommandLineSize = 1024;

}  // namespace

bool GetModulePath(char* buffer, uint32_t size) {
  if (size == 0) return false;
  DWORD length = GetModuleFileNameA(nullptr, buffer, size);
  // A path that fills the whole buffer was cut off; Windows XP then leaves it without
  // its NUL, later versions with one. Either way it names the wrong file.
  if (length == 0 || length >= size) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

void ExitProcessNow(uint32_t code) { ExitProcess(code); }

uint32_t InheritableProcessHandle() {
  HANDLE self = GetCurrentProcess();
  HANDLE duplicate = nullptr;
  // Only a wait: the started process can do nothing else with it.
  if (!DuplicateHandle(self, self, self, &duplicate, SYNCHRONIZE, TRUE, 0)) return 0;
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(duplicate));
}

void WaitForProcessHandle(uint32_t handle) {
  HANDLE process = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
  // A number that names no handle, or none that can be waited for, fails at once.
  if (WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0) CloseHandle(process);
}

namespace {

// Starts the process; the caller closes both handles in *started.
bool Start(const char* commandLine, const char* workingFolder, bool inheritHandles,
           PROCESS_INFORMATION* started) {
  char line[kCommandLineSize];
  const size_t length = strlen(commandLine);
  if (length >= sizeof line) return false;
  memcpy(line, commandLine, length + 1);
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  memset(started, 0, sizeof *started);
  return CreateProcessA(nullptr, line, nullptr, nullptr, inheritHandles ? TRUE : FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, workingFolder, &startup, started) != FALSE;
}

}  // namespace

bool StartProcess(const char* commandLine, const char* workingFolder, bool inheritHandles) {
  PROCESS_INFORMATION started;
  if (!Start(commandLine, workingFolder, inheritHandles, &started)) return false;
  // The started process runs on without us; its handles are not needed.
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

bool StartProcessAndWait(const char* commandLine, const char* workingFolder,
                         uint32_t* exitCode) {
  PROCESS_INFORMATION started;
  if (!Start(commandLine, workingFolder, false, &started)) return false;
  CloseHandle(started.hThread);
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  *exitCode = code;
  return true;
}

}  // namespace platform
