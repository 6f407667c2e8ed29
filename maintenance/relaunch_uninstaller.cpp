// The uninstaller's relaunch, carried out.
#include "maintenance/relaunch_uninstaller.h"

#include "maintenance/relaunch.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/system.h"

bool RelaunchFromTempFolder() {
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
      !ComposeRelaunchCommand(copyPath, commandLine, sizeof commandLine)) {
    return false;
  }
  return platform::StartProcess(commandLine, windowsFolder);
}

void WaitForRelaunchingProcess() { platform::WaitForNamedMutex(kRelaunchMutexName); }
