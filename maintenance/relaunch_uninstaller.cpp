// The uninstaller's relaunch, carried out.
#include "maintenance/relaunch_uninstaller.h"

#include "maintenance/relaunch.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/system.h"
#include "runtime/setup_state.h"

bool RelaunchFromTempFolder(uint32_t* exitCode) {
  *exitCode = 0;
  char modulePath[kRelaunchPathSize];
  char tempFolder[kRelaunchPathSize];
  char copyPath[kRelaunchPathSize];
  if (!platform::GetModulePath(modulePath, sizeof modulePath) ||
      !platform::GetTempFolder(tempFolder, sizeof tempFolder) ||
      !ComposeCopyPath(modulePath, tempFolder, copyPath, sizeof copyPath)) {
    return false;
  }
  if (!platform::CopyFileTo(modulePath, copyPath)) return false;
  // Without the mutex the copy could not tell when this process has let go of the
  // program file; uninstalling in place is then the safe course.
  if (!platform::CreateOwnedMutex(kRelaunchMutexName)) return false;
  char windowsFolder[kRelaunchPathSize];
  char commandLine[kRelaunchCommandSize];
  if (!platform::GetWindowsFolder(windowsFolder, sizeof windowsFolder) ||
      !ComposeRelaunchCommand(copyPath, g_setup.quiet, commandLine, sizeof commandLine)) {
    return false;
  }
  if (g_setup.quiet) return platform::StartProcessAndWait(commandLine, windowsFolder, exitCode);
  return platform::StartProcess(commandLine, windowsFolder);
}

void WaitForRelaunchingProcess() { platform::WaitForNamedMutex(kRelaunchMutexName); }
