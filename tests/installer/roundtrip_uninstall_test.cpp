// Install, then uninstall through the relaunch: the machine must be as it was. The
// hand-over to the copy: the decisions, how Windows reads the copy's command line, and the
// ways the hand-over can fail on the machine.
#include "maintenance/relaunch.h"
#include "platform/message_box.h"
#include "platform/sim/machine/sim_command_line.h"
#include "platform/sim/machine/sim_ui.h"
#include "tests/installer/install_test_support.h"
#include "twk/simulate/simulate_restart.h"

namespace install_test {
namespace {

const char kConfirm[] = "Are you SURE you wish to uninstall this program?";

using RoundTrip = InstallTest;

TEST_F(RoundTrip, UninstallThroughTheCopyLeavesTheMachineAsBeforeTheInstall) {
  PutOtherProgram();
  BuildTool();
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
  EXPECT_EQ(steps[1].modulePath, kUninstallerCopy);
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
  EXPECT_TRUE(machine.files.Exists(kUninstallerCopy));
  EXPECT_EQ(RestartWindows(machine, transcript), std::vector<std::string>{});
  EXPECT_EQ(SharedCount("C:\\WINDOWS\\SYSTEM32\\other.dll"), 2u);
  ExpectSameState(before, TakeSnapshot(machine));
}

TEST_F(RoundTrip, TwoProductsSharingALibraryKeepItUntilTheLastIsRemoved) {
  BuildTool();
  sim::UseDefaultAnswers();
  InstallPlaced();
  std::string second = kToolScript;
  second.replace(second.find("ProductKey = Tool"), 17, "ProductKey = Tool2");
  // The second product goes to its own folder; the library is there with the same time.
  machine.ui.answers.PagePress(111, sim::WizardAction::kNext);
  machine.ui.answers.PageType(102, "C:\\Second", sim::WizardAction::kNext);
  machine.ui.answers.PagePress(114, sim::WizardAction::kFinish);
  machine.ui.answers.OverwritePress(117, kSharedLibrary, 1008);
  BuildTool(second);
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

TEST(RoundTripRelaunchDecision, OnlyTheWholeSwitchMarksTheCopy) {
  EXPECT_TRUE(IsRelaunchedTail("/step2"));
  EXPECT_TRUE(IsRelaunchedTail("/STEP2"));
  EXPECT_FALSE(IsRelaunchedTail("/step2 "));
  EXPECT_FALSE(IsRelaunchedTail(" /step2"));
  EXPECT_FALSE(IsRelaunchedTail("/step"));
  // The copy of a quiet run.
  EXPECT_TRUE(IsRelaunchedTail("/STEP2 /s"));
  EXPECT_FALSE(IsRelaunchedTail("/step2 /S "));
  EXPECT_FALSE(IsRelaunchedTail("/S /step2"));
  EXPECT_FALSE(IsRelaunchedTail(""));
  EXPECT_FALSE(IsRelaunchedTail(nullptr));
}

TEST(RoundTripRelaunchDecision, CopyPathAndCommandLine) {
  char out[kRelaunchCommandSize];
  ASSERT_TRUE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T\\", out, sizeof out));
  EXPECT_STREQ(out, "C:\\T\\UNINST.EXE");
  ASSERT_TRUE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T", out, sizeof out));
  EXPECT_STREQ(out, "C:\\T\\UNINST.EXE");
  EXPECT_FALSE(ComposeCopyPath("UNINST.EXE", "C:\\T", out, sizeof out));
  // "C:\T\UNINST.EXE" needs 16 bytes with its NUL.
  EXPECT_TRUE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T", out, 16));
  EXPECT_FALSE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T", out, 15));
  EXPECT_STREQ(out, "");

  ASSERT_TRUE(ComposeRelaunchCommand("C:\\T\\UNINST.EXE", false, out, sizeof out));
  EXPECT_STREQ(out, "C:\\T\\UNINST.EXE /step2");
  ASSERT_TRUE(ComposeRelaunchCommand("C:\\Temp Files\\UNINST.EXE", false, out, sizeof out));
  EXPECT_STREQ(out, "\"C:\\Temp Files\\UNINST.EXE\" /step2");
  EXPECT_FALSE(ComposeRelaunchCommand("C:\\T\\UNINST.EXE", false, out, 22));
  ASSERT_TRUE(ComposeRelaunchCommand("C:\\Temp Files\\UNINST.EXE", true, out, sizeof out));
  EXPECT_STREQ(out, "\"C:\\Temp Files\\UNINST.EXE\" /step2 /S");
}

TEST(RoundTripRelaunchDecision, WindowsReadsTheCommandLineAsTheCopyExpects) {
  const auto exists = [](const std::string& path) {
    return path == "C:\\Temp Files\\UNINST.EXE" || path == "C:\\Program Files\\X\\F.exe";
  };
  sim::CommandLineParts parts = sim::SplitCommandLine("\"C:\\Temp Files\\UNINST.EXE\" /step2", exists);
  EXPECT_EQ(parts.program, "C:\\Temp Files\\UNINST.EXE");
  EXPECT_EQ(parts.tail, "/step2");
  // Unquoted, Windows still finds the program, but its start-up code cuts the name at the
  // first blank: the tail is no longer the switch.
  parts = sim::SplitCommandLine("C:\\Temp Files\\UNINST.EXE /step2", exists);
  EXPECT_EQ(parts.program, "C:\\Temp Files\\UNINST.EXE");
  EXPECT_EQ(parts.tail, "Files\\UNINST.EXE /step2");
  parts = sim::SplitCommandLine("C:\\Program Files\\X\\F.exe", exists);
  EXPECT_EQ(parts.program, "C:\\Program Files\\X\\F.exe");
  EXPECT_EQ(sim::SplitCommandLine("C:\\none.exe /a", exists).program, "");
}

class RoundTripRelaunch : public InstallTest {
 protected:
  void SetUp() override {
    BuildTool();
    sim::UseDefaultAnswers();
    InstallPlaced();
    machine.user.Expect(kSharedQuestion, kSharedLibrary, sim::kAnyFlags, 6);
  }
  // Runs UNINST.EXE in place; when it gets to its own file in the file section, the
  // running program cannot be deleted, so the retry question comes: No goes on.
  void ExpectRetryForOwnFile() {
    machine.user.Expect(std::string(kUninstaller) +
                            "\n\nCould not delete file. It may be in use. Shall I try again?",
                        "Retry?", sim::kAnyFlags, 7);
  }
};

TEST_F(RoundTripRelaunch, TheCopyWaitsForTheFirstProcessWhichReleasesTheMutexByEnding) {
  ASSERT_EQ(Uninstall().size(), 2u);
  EXPECT_EQ(machine.process.waitedMutexes, std::vector<std::string>{kRelaunchMutexName});
  EXPECT_TRUE(machine.process.ownedMutexes.empty());
  ExpectCleanRun();
}

TEST_F(RoundTripRelaunch, AFailedCopyRunsInPlaceWithoutWaiting) {
  machine.files.PutFile("C:\\WINDOWS\\TEMP\\UNINST.EXE", Text("busy"));
  machine.files.MarkInUse("C:\\WINDOWS\\TEMP\\UNINST.EXE");
  ExpectRetryForOwnFile();
  const std::vector<ProcessStep> steps = Uninstall();
  ExpectCleanRun();
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_TRUE(machine.process.waitedMutexes.empty());
  EXPECT_TRUE(machine.process.ownedMutexes.empty());
  EXPECT_EQ(machine.user.Shown().back().caption, "Done.");
  // Its own file goes at the next start.
  ASSERT_FALSE(machine.system.bootMoves.empty());
  EXPECT_EQ(machine.system.bootMoves.back().from, kUninstaller);
}

TEST_F(RoundTripRelaunch, AFailedStartRunsInPlace) {
  machine.process.failStartProcess = true;
  ExpectRetryForOwnFile();
  const std::vector<ProcessStep> steps = Uninstall();
  ExpectCleanRun();
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].tail, "");
  EXPECT_EQ(machine.user.Shown().back().caption, "Done.");
  EXPECT_FALSE(machine.files.Exists(kProgramFolder + std::string("\\tool.exe")));
}

}  // namespace
}  // namespace install_test
