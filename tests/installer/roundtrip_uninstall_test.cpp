// Install, then uninstall through the relaunch: the machine must be as it was.
#include "platform/message_box.h"
#include "platform/sim/machine/sim_ui.h"
#include "tests/installer/roundtrip_support.h"
#include "twk/simulate/simulate_restart.h"

namespace install_test {
namespace {

const char kConfirm[] = "Are you SURE you wish to uninstall this program?";
const char kSharedQuestion[] =
    "The Windows Registry indicates that this shared file is no longer needed. However, it "
    "may be mistaken; deleting it could cause other programs to stop working. Shall I delete "
    "the shared file?";
const char kTempCopy[] = "C:\\WINDOWS\\TEMP\\UNINST.EXE";

void ExpectSameState(const MachineSnapshot& before, const MachineSnapshot& after) {
  const MachineChanges changes = CompareSnapshots(before, after);
  EXPECT_EQ(changes.filesWritten, std::vector<std::string>{});
  EXPECT_EQ(changes.filesRemoved, std::vector<std::string>{});
  EXPECT_EQ(changes.foldersMade, std::vector<std::string>{});
  EXPECT_EQ(changes.foldersRemoved, std::vector<std::string>{});
  EXPECT_EQ(before.registry, after.registry);
}

using RoundTrip = RoundTripTest;

TEST_F(RoundTrip, UninstallThroughTheCopyLeavesTheMachineAsBeforeTheInstall) {
  PutOtherProgram();
  BuildProduct();
  const std::string setup = PlaceProgram(Installer(), machine.files.Root());
  const MachineSnapshot before = TakeSnapshot(machine);
  sim::UseDefaultAnswers();
  ASSERT_EQ(RunProcesses(machine, setup, "", transcript).size(), 1u);
  ASSERT_TRUE(machine.files.Exists(kUninstaller));
  const size_t installPrompts = machine.user.Shown().size();

  machine.user.Expect(kSharedQuestion, kSharedLibrary,
                      platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefaultButton2,
                      platform::kIdYes);
  const std::vector<ProcessStep> steps = Uninstall();
  ExpectCleanRun();
  // The first process hands over to the copy and ends; the copy waits for it, then works.
  ASSERT_EQ(steps.size(), 2u) << transcript.str();
  EXPECT_EQ(steps[0].run.exitCode, 0);
  EXPECT_EQ(steps[1].modulePath, kTempCopy);
  EXPECT_EQ(steps[1].tail, "/step2");
  EXPECT_EQ(machine.files.CurrentFolder(), "C:\\WINDOWS");
  // Confirm, the shared file, Done: no retry question, since UNINST.EXE was free.
  ASSERT_EQ(machine.user.Shown().size(), installPrompts + 3);
  EXPECT_EQ(machine.user.Shown()[installPrompts].text, kConfirm);
  EXPECT_EQ(machine.user.Shown().back().caption, "Done.");

  // The folders that held only the product's files are gone at once; the copy itself
  // is removed at the next start.
  EXPECT_FALSE(machine.files.Exists(kProgramFolder));
  EXPECT_FALSE(machine.files.Exists("C:\\WINDOWS\\Start Menu\\Programs\\Tool"));
  EXPECT_TRUE(machine.files.Exists(kTempCopy));
  EXPECT_EQ(RestartWindows(machine, transcript), std::vector<std::string>{});
  EXPECT_EQ(SharedCount("C:\\WINDOWS\\SYSTEM32\\other.dll"), 2u);
  ExpectSameState(before, TakeSnapshot(machine));
}

TEST_F(RoundTrip, TwoProductsSharingALibraryKeepItUntilTheLastIsRemoved) {
  BuildProduct();
  sim::UseDefaultAnswers();
  InstallPlaced();
  std::string second = kRoundTripScript;
  second.replace(second.find("ProductKey = Tool"), 17, "ProductKey = Tool2");
  // The second product goes to its own folder; the library is there with the same time.
  machine.ui.answers.PagePress(111, sim::WizardAction::kNext);
  machine.ui.answers.PageType(102, "C:\\Second", sim::WizardAction::kNext);
  machine.ui.answers.PagePress(114, sim::WizardAction::kFinish);
  machine.ui.answers.OverwritePress(117, kSharedLibrary, 1008);
  BuildProduct(second);
  InstallPlaced();
  ASSERT_EQ(SharedCount(kSharedLibrary), 2u);

  // The first removal counts down without a question and keeps the library.
  Uninstall();
  EXPECT_TRUE(machine.files.Exists(kSharedLibrary));
  EXPECT_EQ(SharedCount(kSharedLibrary), 1u);
  for (const sim::ShownPrompt& prompt : machine.user.Shown()) {
    EXPECT_NE(prompt.text, kSharedQuestion);
  }

  // The second asks, and on Yes removes it and its count.
  machine.user.Expect(kSharedQuestion, kSharedLibrary, sim::kAnyFlags, platform::kIdYes);
  Uninstall("C:\\Second\\UNINST.EXE");
  ExpectCleanRun();
  EXPECT_FALSE(machine.files.Exists(kSharedLibrary));
  EXPECT_EQ(machine.registry.Value(kSharedCountsKey, kSharedLibrary), nullptr);
  EXPECT_FALSE(machine.files.Exists("C:\\Second"));
}

}  // namespace
}  // namespace install_test
