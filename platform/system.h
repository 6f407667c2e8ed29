// What the installer asks of the system: its folders, its family, next-boot work,
// the shell and restarting.
#pragma once

#include <stdint.h>

#include "platform/handles.h"

namespace platform {

// GetWindowsDirectory, GetSystemDirectory, GetTempPath into `out` of `size` bytes.
bool GetWindowsFolder(char* out, uint32_t size);
bool GetSystemFolder(char* out, uint32_t size);
bool GetTempFolder(char* out, uint32_t size);

// Shell folders, by their CSIDL numbers.
constexpr int kShellDesktop = 0;
constexpr int kShellPrograms = 2;
constexpr int kShellStartup = 7;
constexpr int kShellStartMenu = 11;
// The file-system path of a shell folder; false when it cannot be determined.
bool GetShellFolder(int csidl, char* out, uint32_t size);

// GetVersionEx: true on the Windows NT family, false on Windows 9x.
bool IsNtFamily();

// MoveFileEx(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT); `to`
// nullptr deletes `from` at the next start.
bool MoveFileAtBoot(const char* from, const char* to);
// WritePrivateProfileString(section, key, value, file).
bool WriteProfileText(const char* file, const char* section, const char* key, const char* value);

// ShellExecute(owner, default verb, command, no parameters, folder, SW_SHOW): the started
// program gets `folder` as its current folder (nullptr or "": this process's).
void OpenWithShell(Window owner, const char* command, const char* folder);
// The same, but where this process runs elevated while the user's desktop does not
// (Windows Vista on, with the user account control), the desktop's shell opens it, so
// that the program runs as the user's other programs do, without administrator rights;
// where that cannot be done, this process opens it. Not while Windows starts: the desktop
// is not there yet, and waits for the programs of the run-once entries to end.
void OpenForDesktopUser(Window owner, const char* command, const char* folder);
// ExitWindowsEx(EWX_REBOOT, 0).
void RequestRestart();

// OleInitialize / OleUninitialize for the calling thread.
bool InitializeOle();
void UninitializeOle();

// Creates a shell link file at `linkPath` through the shell's link object: target,
// arguments and working folder set (also when empty), saved with fRemember TRUE. True
// when the link file was saved.
bool SaveShellLink(const char* linkPath, const char* target, const char* arguments,
                   const char* workingFolder);

}  // namespace platform
