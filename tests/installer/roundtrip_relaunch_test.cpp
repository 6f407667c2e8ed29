// The uninstaller's hand-over to its copy: the decisions, how Windows reads the copy's
// command line, and the ways the hand-over can fail on the machine.
#include "maintenance/relaunch.h"
#include "platform/sim/machine/sim_command_line.h"
#include "platform/sim/machine/sim_ui.h"
#include "tests/installer/roundtrip_support.h"

namespace install_test {
namespace {

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

class RoundTripRelaunch : public RoundTripTest {
 protected:
  void SetUp() override {
    BuildProduct();
    sim::UseDefaultAnswers();
    InstallPlaced();
    machine.user.Expect(
        "The Windows Registry indicates that this shared file is no longer needed. However, "
        "it may be mistaken; deleting it could cause other programs to stop working. Shall I "
        "delete the shared file?",
        kSharedLibrary, sim::kAnyFlags, 6);
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

TEST_F(RoundTripRelaunch, TheSwitchCountsInCapitalsButNotWithATrailingBlank) {
  const size_t shown = machine.user.Shown().size();
  ProgramRun run = RunSimulatedProgram(machine, kUninstaller, "/step2 ");
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(machine.process.started.size(), 1u) << "handed over again";
  EXPECT_EQ(machine.process.started[0].commandLine, "C:\\WINDOWS\\TEMP\\UNINST.EXE /step2");
  EXPECT_EQ(machine.process.started[0].workingFolder, "C:\\WINDOWS");
  EXPECT_EQ(machine.user.Shown().size(), shown) << "the first process asks nothing";
  machine.process.End();
  machine.process.started.clear();

  ExpectRetryForOwnFile();
  run = RunSimulatedProgram(machine, kUninstaller, "/STEP2");
  EXPECT_TRUE(machine.process.started.empty());
  EXPECT_EQ(machine.process.waitedMutexes, std::vector<std::string>{kRelaunchMutexName});
  EXPECT_EQ(machine.user.Shown().back().caption, "Done.");
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
