// The mode dispatch: the background window's start message runs the install handler
// (the uninstaller and the finalizer join as they are written).
#include "installer/run_mode.h"

#include "installer/run_installation.h"
#include "package/setup_state.h"
#include "platform/background_window.h"

namespace {

constexpr int kStartInstallMessage = 1025;  // WM_USER + 1

}  // namespace

int RunMode(platform::Instance instance, const char* commandTail) {
  (void)commandTail;  // read by the uninstaller's relaunch
  return platform::RunBackgroundWindow(instance, kStartInstallMessage, RunInstallation);
}
