// The system's folders, family, next-boot work, the shell, restarting and OLE over the
// ANSI Win32 API.
#include "platform/system.h"

#include <string.h>
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <shellapi.h>

#include "platform/win32/desktop_shell_win32.h"
#include "platform/win32/process_token_win32.h"

namespace platform {
namespace {

// The answer of the Get...Directory calls: the length without the NUL when it fit, the
// size needed when it did not, 0 on failure.
bool FolderFits(UINT length, char* out, uint32_t size) {
  if (length == 0 || length >= size) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace

bool GetWindowsFolder(char* out, uint32_t size) {
  return FolderFits(GetWindowsDirectoryA(out, size), out, size);
}

bool GetSystemFolder(char* out, uint32_t size) {
  return FolderFits(GetSystemDirectoryA(out, size), out, size);
}

bool GetTempFolder(char* out, uint32_t size) {
  return FolderFits(GetTempPathA(size, out), out, size);
}

bool GetShellFolder(int csidl, char* out, uint32_t size) {
  if (size > 0) out[0] = '\0';
  LPITEMIDLIST items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items)) || items == nullptr) {
    return false;
  }
  // SHGetPathFromIDList writes up to MAX_PATH characters whatever the caller's room.
  char path[MAX_PATH];
  const bool found = SHGetPathFromIDListA(items, path) != FALSE;
  // The item list belongs to the shell's allocator, which older systems do not share
  // with CoTaskMemFree before OLE is initialised.
  IMalloc* shellAllocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&shellAllocator))) {
    shellAllocator->Free(items);
    shellAllocator->Release();
  }
  const size_t length = found ? strlen(path) : 0;
  if (length == 0 || length >= size) return false;
  memcpy(out, path, length + 1);
  return true;
}

bool IsNtFamily() {
  OSVERSIONINFOA version;
  memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool MoveFileAtBoot(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool WriteProfileText(const char* file, const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

void OpenWithShell(Window owner, const char* command, const char* folder) {
  if (folder != nullptr && folder[0] == '\0') folder = nullptr;
  ShellExecuteA(static_cast<HWND>(owner), nullptr, command, nullptr, folder, SW_SHOW);
}

void OpenForDesktopUser(Window owner, const char* command, const char* folder) {
  // The elevated half of a split token would hand the program administrator rights
  // that the user never meant it to have: the desktop, which runs with the other half,
  // starts it instead.
  if (RunsBesideUnelevatedDesktop() &&
      OpenThroughDesktopShell(command, folder != nullptr && folder[0] != '\0' ? folder : nullptr)) {
    return;
  }
  OpenWithShell(owner, command, folder);
}

// Only asked for on Windows 9x, which needs no shutdown privilege for it.
void RequestRestart() { ExitWindowsEx(EWX_REBOOT, 0); }

bool InitializeOle() { return SUCCEEDED(OleInitialize(nullptr)); }

void UninitializeOle() { OleUninitialize(); }

}  // namespace platform
