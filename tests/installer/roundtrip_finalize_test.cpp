// A file in use at install time on Windows 9x: the installation leaves it waiting, the
// restart starts the finalizer from the run-once key, and the following restart removes
// the finalizer.
#include "platform/sim/machine/sim_ui.h"
#include "tests/installer/roundtrip_support.h"
#include "twk/simulate/simulate_restart.h"

namespace install_test {
namespace {

const char kTool[] = "C:\\Program Files\\Tool\\tool.exe";
const char kFinalizer[] = "C:\\Program Files\\Tool\\FINALIZE.EXE";
const char kRunAfterKey[] = "HKLM\\SOFTWARE\\Tarnwick\\Kitwright\\RunAfter";

class RoundTripFinalize : public RoundTripTest {
 protected:
  // Installs over an older tool.exe that a running program holds.
  void InstallOverToolInUse() {
    machine.SetFamily(sim::Family::k9x);
    machine.files.PutFile(kTool, Text("old"));
    machine.files.SetLastWriteTimeOf(kTool, platform::FileTime{0, 0x01000000});
    machine.files.MarkInUse(kTool);
    BuildProduct();
    sim::UseDefaultAnswers();
    InstallPlaced();
    ASSERT_TRUE(machine.files.Exists(std::string(kTool) + ".NewTemp"));
    ASSERT_NE(machine.registry.Text(kRunOnceKeyPath, "TWKSetup_Finalize"), "");
  }
  size_t ShellOpensOf(const std::string& command) const {
    size_t count = 0;
    for (const sim::ShellOpen& open : machine.system.shellOpens) count += open.command == command;
    return count;
  }
};

TEST_F(RoundTripFinalize, TheRestartPutsTheWaitingFileInPlaceAndTheNextRemovesTheFinalizer) {
  InstallOverToolInUse();
  EXPECT_EQ(ShellOpensOf(kTool), 0u) << "the run-after command waits for the finalizer";

  RestartWindows(machine, transcript);
  const std::vector<ProcessStep> steps = RunRunOnceEntries(machine, transcript);
  ExpectCleanRun();
  ASSERT_EQ(steps.size(), 1u) << transcript.str();
  EXPECT_EQ(machine.files.FileBytes(kTool), Text("tool"));
  EXPECT_FALSE(machine.files.Exists(std::string(kTool) + ".NewTemp"));
  EXPECT_EQ(ShellOpensOf(kTool), 1u);
  EXPECT_EQ(machine.registry.Value(kRunAfterKey, "RunAfter"), nullptr);
  EXPECT_EQ(machine.registry.Value(kRunOnceKeyPath, "TWKSetup_Finalize"), nullptr);
  EXPECT_EQ(machine.user.Shown().back().caption, "Success!");
  EXPECT_TRUE(machine.files.Exists(kFinalizer));

  // The following start deletes the finalizer and runs nothing more.
  RestartWindows(machine, transcript);
  EXPECT_TRUE(RunRunOnceEntries(machine, transcript).empty());
  EXPECT_FALSE(machine.files.Exists(kFinalizer));
  EXPECT_EQ(ShellOpensOf(kTool), 1u);
}

TEST_F(RoundTripFinalize, ATargetStillInUseKeepsTheFinalizerAndShowsTheError) {
  InstallOverToolInUse();
  RestartWindows(machine, transcript);
  machine.files.MarkInUse(kTool);  // started again before the finalizer ran
  RunRunOnceEntries(machine, transcript);
  ExpectCleanRun();
  const sim::ShownPrompt& shown = machine.user.Shown().back();
  EXPECT_EQ(shown.caption, "Error!");
  EXPECT_EQ(shown.text.rfind("There was an error finalizing the program.", 0), 0u);
  EXPECT_EQ(machine.files.FileBytes(kTool), Text("old"));
  EXPECT_EQ(ShellOpensOf(kTool), 1u) << "the run-after command runs all the same";
  EXPECT_EQ(machine.registry.Value(kRunAfterKey, "RunAfter"), nullptr);

  RestartWindows(machine, transcript);
  EXPECT_TRUE(machine.files.Exists(kFinalizer));
}

}  // namespace
}  // namespace install_test
