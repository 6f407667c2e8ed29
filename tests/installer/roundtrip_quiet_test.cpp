// Quiet installation and removal, as a deployment tool runs them from the Add/Remove
// Programs entry: no prompt may be shown (any is a fault of the run), the uninstaller's
// first process waits for its copy, and the exit codes tell the outcome.
#include "platform/file_system.h"
#include "runtime/quiet_run.h"
#include "tests/installer/roundtrip_support.h"
#include "twk/simulate/simulate_restart.h"

namespace install_test {
namespace {

constexpr char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
const std::string kTool = std::string(kProgramFolder) + "\\tool.exe";

class QuietRoundTrip : public RoundTripTest {
 protected:
  void InstallQuietly() {
    PutOtherProgram();
    BuildProduct();
    ASSERT_EQ(InstallPlaced("/S").exitCode, 0);
    ASSERT_EQ(machine.registry.Text(kEntry, "QuietUninstallString"),
              std::string("\"") + kUninstaller + "\" /S");
  }
  // Runs the entry's quiet command; returns the copy's exit code, which the first
  // process hands on.
  int UninstallQuietly() {
    const std::vector<ProcessStep> steps = Uninstall(kUninstaller, "/S");
    ExpectCleanRun();
    EXPECT_TRUE(machine.user.Shown().empty());
    EXPECT_TRUE(machine.process.waitedMutexes.empty()) << "the copy waited for its waiter";
    EXPECT_NE(transcript.str().find("(on Windows it waits for C:\\WINDOWS\\TEMP\\UNINST.EXE "
                                    "/step2 /S and ends with that one's exit code)"),
              std::string::npos)
        << transcript.str();
    if (steps.size() != 2u || steps[1].tail != "/step2 /S") {
      ADD_FAILURE() << transcript.str();
      return -1;
    }
    return steps[1].run.exitCode;
  }
};

TEST_F(QuietRoundTrip, RemovesTheProductAskingNothingAndKeepsWhatOthersMayUse) {
  InstallQuietly();
  // Removed without the question, as the interactive default answer would.
  machine.files.SetAttributes(kTool, platform::kAttributeReadOnly);
  EXPECT_EQ(UninstallQuietly(), static_cast<int>(kQuietSucceeded));
  EXPECT_FALSE(machine.files.Exists(kTool));
  EXPECT_FALSE(machine.registry.HasKey(kEntry));
  EXPECT_FALSE(machine.registry.HasKey("HKLM\\Software\\Maker\\Tool"));
  EXPECT_FALSE(machine.files.Exists("C:\\WINDOWS\\Start Menu\\Programs\\Tool"));
  // A shared file whose count reaches zero stays, as the default answer keeps it.
  EXPECT_TRUE(machine.files.Exists(kSharedLibrary));
  EXPECT_EQ(machine.registry.Value(kSharedCountsKey, kSharedLibrary), nullptr);
  EXPECT_TRUE(machine.files.Exists("C:\\WINDOWS\\SYSTEM32\\other.dll"));

  // The first process ran from UNINST.EXE while it waited: the file and its folder go
  // at the next start.
  EXPECT_TRUE(machine.files.Exists(kUninstaller));
  EXPECT_EQ(RestartWindows(machine, transcript), std::vector<std::string>{});
  EXPECT_FALSE(machine.files.Exists(kProgramFolder));
  EXPECT_TRUE(machine.files.Exists("C:\\Program Files\\Other\\other.exe"));
}

TEST_F(QuietRoundTrip, AFileInUseGoesAtTheNextStartAndAsksForARestart) {
  InstallQuietly();
  machine.files.MarkInUse(kTool);
  EXPECT_EQ(UninstallQuietly(), static_cast<int>(kQuietRestartNeeded));
  EXPECT_TRUE(machine.files.Exists(kTool));
  EXPECT_FALSE(machine.registry.HasKey(kEntry));
  EXPECT_EQ(RestartWindows(machine, transcript), std::vector<std::string>{});
  EXPECT_FALSE(machine.files.Exists(kProgramFolder));
}

// A program folder that Windows owns (here the StartUp folder, often empty) outlives the
// product: the removal at the next start keeps to the same bounds as every other folder.
TEST_F(QuietRoundTrip, AProgramFolderThatWindowsOwnsStaysAfterTheNextStart) {
  const std::string startUp = "C:\\WINDOWS\\Start Menu\\Programs\\StartUp";
  PutOtherProgram();
  BuildProduct();
  ASSERT_EQ(InstallPlaced("/S /D=" + startUp).exitCode, 0);
  ASSERT_TRUE(machine.files.Exists(startUp + "\\UNINST.EXE"));
  const std::vector<ProcessStep> steps = Uninstall(startUp + "\\UNINST.EXE", "/S");
  ASSERT_EQ(steps.size(), 2u) << transcript.str();
  EXPECT_EQ(steps[1].run.exitCode, static_cast<int>(kQuietSucceeded));
  EXPECT_EQ(RestartWindows(machine, transcript), std::vector<std::string>{});
  EXPECT_FALSE(machine.files.Exists(startUp + "\\UNINST.EXE"));
  EXPECT_TRUE(machine.files.Exists(startUp));
}

}  // namespace
}  // namespace install_test
