// Whole runs that meet trouble on the machine or in the package: targets in use on both
// families, a damaged block, a folder that is a file and a file that is a folder. Every
// message box is scripted.
#include "tests/installer/install_test_support.h"

#include <fstream>

#include "platform/message_box.h"
#include "platform/sim/windows_path.h"

namespace install_test {
namespace {

const char kRestartText[] =
    "Installation complete! Some files could not be updated immediately; you will need to "
    "restart Windows to finalize the installation.";
const char kNotWrittenText[] =
    "The installation was not successful. One or more files could not be written. Please "
    "ensure that no version of this program is already running and try the installation again.";
constexpr uint32_t kInformation = platform::kMbIconInformation;
constexpr uint32_t kError = platform::kMbIconError;

class FaultInstall : public InstallTest {
 protected:
  void SetUp() override { machine.ui.answers.useDefaults = true; }
  void BuildOne(const std::string& folder, const std::string& target) {
    Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=" + folder +
              "\nRunAfter={OurProgramDir}\\app.exe\n[Files]\napp.dll \"" + target + "\"\n",
          {{"app.dll", Text("new")}});
  }
  // An older copy of the target, held open by a program that runs.
  void PutInUse(const std::string& target) {
    machine.files.PutFile(target, Text("old"));
    machine.files.SetLastWriteTimeOf(target, {0, 0x01B00000});  // 1986
    machine.files.MarkInUse(target);
  }
};

TEST_F(FaultInstall, TargetInUseOnNtIsReplacedAtTheNextStart) {
  const std::string target = std::string(kProgramFolder) + "\\app.dll";
  BuildOne("Tool", "{OurProgramDir}\\app.dll");
  PutInUse(target);
  machine.user.Expect(kRestartText, "Success!", kInformation, platform::kIdOk);
  Install();
  ExpectCleanRun();
  EXPECT_EQ(machine.files.FileBytes(target + ".NewTemp"), Text("new"));
  EXPECT_EQ(LogOf(kUninstaller).files.at(1).path, target) << "logged under its own name";
  EXPECT_EQ(machine.system.restartRequests, 0) << "NT: advised, not asked";
  machine.Restart();
  EXPECT_EQ(machine.files.FileBytes(target), Text("new"));
  EXPECT_FALSE(machine.files.Exists(target + ".NewTemp"));
}

// Nothing would ever put the waiting file in place: the file is reported as not written,
// never as a success that needs a restart.
TEST_F(FaultInstall, TargetInUseOnNtWhoseMoveIsRefusedFailsTheInstallation) {
  const std::string target = std::string(kProgramFolder) + "\\app.dll";
  BuildOne("Tool", "{OurProgramDir}\\app.dll");
  PutInUse(target);
  machine.system.refuseBootMoves = true;
  machine.user.Expect("There was an error extracting a file: can't create file", "Error!", kError,
                      platform::kIdOk);
  machine.user.Expect("The installation was not successful. One or more files could not be "
                      "written. Please ensure that no version of this program is already "
                      "running and try the installation again.",
                      "Installation Failed!", kError, platform::kIdOk);
  Install();
  ExpectCleanRun();
  EXPECT_TRUE(machine.system.bootMoves.empty());
  EXPECT_EQ(machine.files.FileBytes(target), Text("old"));
}

TEST_F(FaultInstall, TargetsInUseOn9xGoThroughWininitOrWaitForTheFinalizer) {
  machine.SetFamily(sim::Family::k9x);
  Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=C:\\TOOL\n"
        "RunAfter={OurProgramDir}\\app.exe\n[Files]\n"
        "app.dll {OurProgramDir}\\APP.DLL\nlong.dll \"{OurProgramDir}\\Long Name.dll\"\n",
        {{"app.dll", Text("new")}, {"long.dll", Text("new long")}});
  PutInUse("C:\\TOOL\\APP.DLL");
  PutInUse("C:\\TOOL\\Long Name.dll");
  machine.user.Expect(std::string(kRestartText) + "\n\nMay I restart Windows now?",
                      "Restart Windows?", platform::kMbYesNo | kInformation, platform::kIdYes);
  Install();
  ExpectCleanRun();
  EXPECT_EQ(machine.system.restartRequests, 1);
  // The long name cannot go into WININIT.INI: the finalizer renames it after the start,
  // and opens the run-after command then.
  EXPECT_TRUE(sim::SamePath(
      machine.registry.Text("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                            "TWKSetup_Finalize"),
      "C:\\TOOL\\FINALIZE.EXE"));
  EXPECT_TRUE(machine.files.Exists("C:\\TOOL\\FINALIZE.EXE"));
  EXPECT_EQ(machine.registry.Text("HKLM\\SOFTWARE\\Tarnwick\\Kitwright\\RunAfter", "RunAfter"),
            "C:\\TOOL\\app.exe");
  EXPECT_TRUE(machine.system.shellOpens.empty());
  machine.Restart();
  EXPECT_EQ(machine.files.FileBytes("C:\\TOOL\\APP.DLL"), Text("new"));
  EXPECT_EQ(machine.files.FileBytes("C:\\TOOL\\Long Name.dll.NewTemp"), Text("new long"));
}

// WININIT.INI that cannot be written (here: in use) leaves even a short-named file to the
// finalizer, instead of to nothing at all.
TEST_F(FaultInstall, TargetInUseOn9xWithoutWininitWaitsForTheFinalizer) {
  machine.SetFamily(sim::Family::k9x);
  BuildOne("C:\\TOOL", "{OurProgramDir}\\APP.DLL");
  PutInUse("C:\\TOOL\\APP.DLL");
  machine.files.PutFile("C:\\WINDOWS\\WININIT.INI", Text(""));
  machine.files.MarkInUse("C:\\WINDOWS\\WININIT.INI");
  machine.user.Expect(std::string(kRestartText) + "\n\nMay I restart Windows now?",
                      "Restart Windows?", platform::kMbYesNo | kInformation, platform::kIdNo);
  machine.user.Expect("Remember to restart Windows before trying to use the newly-installed program.",
                      "Success!", kInformation, platform::kIdOk);
  Install();
  ExpectCleanRun();
  EXPECT_TRUE(sim::SamePath(
      machine.registry.Text("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                            "TWKSetup_Finalize"),
      "C:\\TOOL\\FINALIZE.EXE"));
  EXPECT_TRUE(machine.files.Exists("C:\\TOOL\\APP.DLL.NewTemp"));
}

TEST_F(FaultInstall, DamagedBlockIsReportedAsACorruptedFile) {
  Build("[Setup]\nTitle=Tool\nProgramFolder=Tool\n[Files]\nnoise.bin {OurProgramDir}\\\n",
        {{"noise.bin", Noise(60000, 3)}});
  {
    // The middle of the installation file lies inside the one big block's stored bytes.
    std::fstream file(BuildPath("SETUP.EXE"), std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const std::streamoff middle = file.tellg() / 2;
    file.seekg(middle);
    const char byte = static_cast<char>(file.get() ^ 0x55);
    file.seekp(middle);
    file.put(byte);
  }
  machine.user.Expect("There was an error extracting a file: ExtractBlock returned false", "Error!",
                      kError, platform::kIdOk);
  machine.user.Expect("The installation was not successful. One of the files appears to be "
                      "corrupted. Please obtain a fresh copy of the installation file(s) and "
                      "try again.",
                      "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
}

// CreateFile refuses a folder as it refuses a file in use, but no replacement at the next
// start can put a file where a folder stands: the file is not installed, and no waiting
// file or boot-time move is left behind.
TEST_F(FaultInstall, TargetThatIsAFolderIsAFileThatCannotBeWritten) {
  const std::string target = std::string(kProgramFolder) + "\\app.dll";
  BuildOne("Tool", "{OurProgramDir}\\app.dll");
  machine.files.PutFolder(target + "\\inside");
  machine.user.Expect("There was an error extracting a file: can't create file", "Error!", kError,
                      platform::kIdOk);
  machine.user.Expect(kNotWrittenText, "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  EXPECT_TRUE(machine.files.IsFolder(target + "\\inside"));
  EXPECT_FALSE(machine.files.Exists(target + ".NewTemp"));
  EXPECT_TRUE(machine.system.bootMoves.empty());
  EXPECT_EQ(LogOf(kUninstaller).files.size(), 2u) << "FINALIZE.EXE and UNINST.EXE only";
}

TEST_F(FaultInstall, FolderThatIsAFileIsReportedOncePerRun) {
  Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\n[Files]\n"
        "a.txt {OurProgramDir}\\\nb.txt {OurProgramDir}\\sub\\\n",
        {{"a.txt", Text("a")}, {"b.txt", Text("b")}});
  machine.files.PutFile(kProgramFolder, Text("a file where the folder should be"));
  machine.user.Expect("Could not create target directory.", "Error!", kError, platform::kIdOk);
  machine.user.Expect("The installation was not successful. One or more files could not be "
                      "written. Please ensure that no version of this program is already "
                      "running and try the installation again.",
                      "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  EXPECT_EQ(machine.files.FileBytes(kProgramFolder), Text("a file where the folder should be"));
}

}  // namespace
}  // namespace install_test
