// Runs of the maintenance programs on the simulated Windows: the uninstaller after an
// installation, started as its relaunch leaves it; the finalizer over files a test puts.
#pragma once

#include <filesystem>
#include <string>

#include "maintenance/finalizer.h"
#include "platform/background_window.h"
#include "platform/message_box.h"
#include "runtime/setup_state.h"
#include "tests/installer/install_test_support.h"

namespace install_test {

constexpr char kUninstallerCopy[] = "C:\\WINDOWS\\TEMP\\UNINST.EXE";

class MaintenanceTest : public InstallTest {
 protected:
  // Installs with the default answers; afterwards every prompt must be scripted.
  void InstallPackage(const std::string& script, const std::vector<Source>& sources) {
    Build(script, sources);
    sim::UseDefaultAnswers();
    ASSERT_EQ(Install().exitCode, 0);
    machine.user = sim::SimUser();
    machine.ui.answers.useDefaults = false;
  }
  ProgramRun Uninstall() {
    std::filesystem::copy_file(Host(kUninstaller), Host(kUninstallerCopy),
                               std::filesystem::copy_options::overwrite_existing);
    return RunSimulatedProgram(machine, kUninstallerCopy, "/step2");
  }
  // The finalizer needs nothing of its file but its path.
  void Finalize(const std::string& modulePath) {
    machine.process.modulePath = modulePath;
    ResetSetupState();
    platform::RunBackgroundWindow(reinterpret_cast<platform::Instance>(0x400000), 1027,
                                  RunFinalize, true);
    ResetSetupState();
  }
  void Expect(const std::string& text, const std::string& caption, uint32_t flags, int answer) {
    machine.user.Expect(text, caption, flags, answer);
  }
  void ExpectConfirmation(int answer) {
    Expect("Are you SURE you wish to uninstall this program?", "Confirm",
           platform::kMbYesNo | platform::kMbIconQuestion, answer);
  }
};

}  // namespace install_test
