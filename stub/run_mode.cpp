// The mode dispatch: the background window's start message runs the handler of the
// package's mode; the uninstaller first hands over to a copy of itself.
#include "stub/run_mode.h"

#include "installer/run_installation.h"
#include "maintenance/finalizer.h"
#include "maintenance/relaunch.h"
#include "maintenance/relaunch_uninstaller.h"
#include "maintenance/uninstaller.h"
#include "package/format.h"
#include "platform/background_window.h"
#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"

namespace {

constexpr int kStartInstallMessage = 1025;    // WM_USER + 1
constexpr int kStartUninstallMessage = 1026;  // WM_USER + 2
constexpr int kStartFinalizeMessage = 1027;   // WM_USER + 3

}  // namespace

namespace {

// A run whose window could not be made did nothing: it failed.
int RunWindow(platform::Instance instance, int startMessage, platform::StartHandler handler,
              bool shown) {
  const int code = platform::RunBackgroundWindow(instance, startMessage, handler, shown);
  return code < 0 ? static_cast<int>(FailureExitCode()) : code;
}

}  // namespace

int RunMode(platform::Instance instance, const char* commandTail) {
  platform::SetBackgroundTexts(g_setup.title, g_setup.bottomText);
  const bool shown = !g_setup.quiet;
  if (g_setup.mode == kModeFinalize) {
    return RunWindow(instance, kStartFinalizeMessage, RunFinalize, shown);
  }
  if (g_setup.mode == kModeUninstall) {
    uint32_t copyExitCode = 0;
    uint32_t parentHandle = 0;
    if (ReadRelaunchTail(commandTail, &parentHandle)) {
      // In a quiet run the first process waits for this copy to end and hands it no
      // handle: waiting for it in turn would never end.
      WaitForRelaunchingProcess(parentHandle);
    } else if (RelaunchFromTempFolder(&copyExitCode)) {
      return static_cast<int>(copyExitCode);
    }
    return RunWindow(instance, kStartUninstallMessage, RunUninstall, shown);
  }
  return RunWindow(instance, kStartInstallMessage, RunInstallation, shown);
}
