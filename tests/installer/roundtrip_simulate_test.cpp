// `twk simulate` installs the example product and then runs its UNINST.EXE, following the
// hand-over to the copy: the root is as it was before the install, once the copy is gone
// at the restart.
#include <fstream>
#include <iostream>
#include <sstream>

#include "tests/installer/install_test_support.h"
#include "twk/commands.h"
#include "twk/simulate/simulate_report.h"
#include "twk/simulate/simulate_run.h"

namespace fs = std::filesystem;

namespace install_test {
namespace {

class SimulateRoundTrip : public InstallTest {
 protected:
  int Simulate(const Arguments& args) {
    std::ostringstream out;
    std::streambuf* saved = std::cout.rdbuf(out.rdbuf());
    const int code = RunSimulateCommand(args);
    std::cout.rdbuf(saved);
    printed = out.str();
    return code;
  }
  // A machine in use: other programs' files in the folders the product shares.
  void PrepareRoot() {
    sim::SimMachine prepared(root);
    prepared.files.PutFile("C:\\Program Files\\Other\\other.exe", Text("o"));
    prepared.files.PutFile("C:\\WINDOWS\\SYSTEM32\\other.dll", Text("o"));
    prepared.files.PutFile("C:\\WINDOWS\\Desktop\\Other.lnk", Text("o"));
    prepared.registry.PutNumber(
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
        "C:\\WINDOWS\\SYSTEM32\\other.dll", 1);
    prepared.SaveState();
  }
  MachineSnapshot Snapshot() {
    sim::SimMachine loaded(root);
    loaded.LoadState();
    return TakeSnapshot(loaded);
  }

  fs::path root = BuildPath("root");
  std::string printed;
};

TEST_F(SimulateRoundTrip, InstallThenUninstallLeavesTheRootAsItWas) {
  const std::string installer = BuildExample();
  PrepareRoot();
  // D:\SETUP.EXE is where the installer runs from, not what it installs.
  PlaceProgram(installer, root);
  const MachineSnapshot before = Snapshot();
  ASSERT_EQ(Simulate({(root / "D" / "SETUP.EXE").string(), "--root", root.string()}), 0)
      << printed;

  std::ofstream(BuildPath("answers.txt"))
      << "defaults\nmessage \"C:\\WINDOWS\\SYSTEM32\\DemoLib.dll\" \"The Windows Registry "
         "indicates that this shared file is no longer needed. However, it may be mistaken; "
         "deleting it could cause other programs to stop working. Shall I delete the shared "
         "file?\" yes\n";
  const fs::path uninstaller = root / "C" / "Program Files" / "TWKSetup Demo" / "UNINST.EXE";
  ASSERT_EQ(Simulate({uninstaller.string(), "--root", root.string(), "--answers",
                      BuildPath("answers.txt")}),
            0)
      << printed;
  EXPECT_NE(printed.find("== started: C:\\WINDOWS\\TEMP\\UNINST.EXE /step2 (current folder "
                         "C:\\WINDOWS)"),
            std::string::npos)
      << printed;
  EXPECT_NE(printed.find("at the next start: delete C:\\WINDOWS\\TEMP\\UNINST.EXE"),
            std::string::npos)
      << printed;

  ASSERT_EQ(Simulate({"--restart", "--root", root.string()}), 0) << printed;
  const MachineSnapshot after = Snapshot();
  const MachineChanges changes = CompareSnapshots(before, after);
  EXPECT_EQ(changes.filesWritten, std::vector<std::string>{});
  EXPECT_EQ(changes.filesRemoved, std::vector<std::string>{});
  EXPECT_EQ(changes.foldersRemoved, std::vector<std::string>{});
  EXPECT_EQ(changes.foldersMade, std::vector<std::string>{});
  EXPECT_EQ(before.registry, after.registry);

  // A program and --restart together, or neither, is a usage mistake.
  EXPECT_EQ(Simulate({installer, "--restart", "--root", root.string()}), 2);
  EXPECT_EQ(Simulate({"--root", root.string()}), 2);
}

}  // namespace
}  // namespace install_test
