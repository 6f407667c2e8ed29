// Quiet installations ("/S", "/D=") and removals, as deployment tools run them (the
// removal from the Add/Remove Programs entry): nothing may be shown (the scripted user
// expects no prompt, so any is a fault), every question gets the answer that loses
// nothing, the uninstaller's first process waits for its copy, and the exit codes tell
// the outcome.
#include "tests/installer/install_test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "runtime/quiet_run.h"
#include "runtime/setup_state.h"
#include "tests/support/package_bytes.h"
#include "twk/build/build_installer.h"
#include "twk/simulate/simulate_restart.h"

namespace install_test {
namespace {

const char kScript[] =
    "[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\nStartMenuFolder=Tool\n"
    "RunAfter={OurProgramDir}\\a.txt\n"
    "[Files]\na.txt {OurProgramDir}\\\nb.txt {OurProgramDir}\\\n"
    "[Shortcuts]\n\"{OurShortcutDir}\\Tool\" {OurProgramDir}\\a.txt\n";
constexpr char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";

const std::string kTool = std::string(kProgramFolder) + "\\tool.exe";

class QuietInstall : public InstallTest {
 protected:
  void BuildAB() { Build(kScript, {{"a.txt", Text("a")}, {"b.txt", Text("b")}}); }
  // No page, dialog, message box or visible window, and no program started.
  void ExpectNothingShown() {
    ExpectCleanRun();
    EXPECT_FALSE(machine.ui.wizardRan);
    EXPECT_TRUE(machine.ui.progress.empty());
    EXPECT_TRUE(machine.ui.overwrites.empty());
    EXPECT_TRUE(machine.user.Shown().empty());
    for (const sim::BackgroundRecord& background : machine.ui.backgrounds) {
      EXPECT_FALSE(background.shown);
    }
    EXPECT_TRUE(machine.system.shellOpens.empty());
    EXPECT_EQ(machine.system.restartRequests, 0);
  }
};

// Every spelling of a folder installs into it, and names it one way in the log, the
// remembered folder and the Add/Remove Programs entry.
TEST_F(QuietInstall, InstallsIntoTheFolderOfDWithoutShowingAnything) {
  BuildAB();
  const struct {
    const char* tail;
    const char* folder;
  } cases[] = {
      {"/S /D=C:\\Apps\\My Tool\\  ", "C:\\Apps\\My Tool"},
      {"/S /D=C:\\Apps\\..\\Tools", "C:\\Tools"},
      {"/S /D=c:/Apps/Demo", "C:\\Apps\\Demo"},
      {"/S \"/D=C:\\Apps\\Quoted Tool\"", "C:\\Apps\\Quoted Tool"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail);
    const std::string folder = c.folder;
    EXPECT_EQ(Install(c.tail).exitCode, 0);
    ExpectNothingShown();
    EXPECT_EQ(machine.files.FileBytes(folder + "\\b.txt"), Text("b"));
    EXPECT_FALSE(machine.files.Exists(folder + "\\FINALIZE.EXE"));
    EXPECT_TRUE(machine.files.Exists("C:\\WINDOWS\\Start Menu\\Programs\\Tool\\Tool.lnk"));
    EXPECT_EQ(machine.registry.Text("HKLM\\Software\\TWKSetup\\Tool", "Path"), folder);
    EXPECT_EQ(machine.registry.Text(kEntry, "QuietUninstallString"),
              "\"" + folder + "\\UNINST.EXE\" /S");
    const UninstallLog log = LogOf(folder + "\\UNINST.EXE");
    ASSERT_GE(log.files.size(), 2u);
    EXPECT_EQ(log.files[1].path, folder + "\\a.txt");
  }
}

// A relative folder would land wherever the deployment tool started the run, and the
// uninstaller, started elsewhere, would look for the files in another place; a network
// path, a name Windows refuses or a quote left open name no folder to install into.
// Nothing is written and nothing remembered.
TEST_F(QuietInstall, AFolderOfDThatCannotBeInstalledIntoInstallsNothingAndFails) {
  BuildTool();
  for (const char* tail : {"/S /D=Tool", "/S /D=\\\\server\\share\\Tool", "/S /D=C:\\Apps\\a<b",
                           "/S \"/D=C:\\Apps\\Tool"}) {
    SCOPED_TRACE(tail);
    EXPECT_EQ(Install(tail).exitCode, static_cast<int>(kQuietFailed));
    ExpectNothingShown();
    EXPECT_FALSE(machine.registry.HasKey(kEntry));
    EXPECT_FALSE(machine.registry.HasKey("HKLM\\Software\\TWKSetup\\Tool"));
  }
}

TEST_F(QuietInstall, TakesTheRememberedFoldersWithoutD) {
  BuildAB();
  machine.registry.PutText("HKLM\\Software\\TWKSetup\\Tool", "Path", "d:/Kept/");
  machine.registry.PutText("HKLM\\Software\\TWKSetup\\Tool", "SPath", "Kept Menu");
  EXPECT_EQ(Install("/s").exitCode, 0);
  ExpectNothingShown();
  EXPECT_TRUE(machine.files.Exists("D:\\Kept\\a.txt"));
  EXPECT_EQ(machine.registry.Text("HKLM\\Software\\TWKSetup\\Tool", "Path"), "D:\\Kept");
  EXPECT_TRUE(machine.files.Exists("C:\\WINDOWS\\Start Menu\\Programs\\Kept Menu\\Tool.lnk"));

  // A remembered folder that nothing may go into (an older installer remembered what it
  // was given) is passed over for the default, rather than failing every later run.
  machine.registry.PutText("HKLM\\Software\\TWKSetup\\Tool", "Path", "\\\\server\\share\\Tool");
  EXPECT_EQ(Install("/S").exitCode, 0);
  ExpectNothingShown();
  EXPECT_TRUE(machine.files.Exists(std::string(kProgramFolder) + "\\a.txt"));
  EXPECT_EQ(machine.registry.Text("HKLM\\Software\\TWKSetup\\Tool", "Path"), kProgramFolder);
}

// Without "/S" the tail changes nothing, "/D=" included: the wizard runs as always.
TEST_F(QuietInstall, OtherTailsLeaveTheRunInteractive) {
  BuildAB();
  machine.ui.answers.useDefaults = true;
  EXPECT_EQ(Install("/D=C:\\Elsewhere /x").exitCode, 0);
  EXPECT_TRUE(machine.ui.wizardRan);
  EXPECT_TRUE(machine.files.Exists(std::string(kProgramFolder) + "\\a.txt"));
  EXPECT_FALSE(machine.files.Exists("C:\\Elsewhere"));
  EXPECT_EQ(machine.system.shellOpens.size(), 1u);
}

TEST_F(QuietInstall, KeepsTheFilesAlreadyThereThatAreNewer) {
  BuildAB();
  const std::string target = std::string(kProgramFolder) + "\\a.txt";
  machine.files.PutFile(target, Text("newer"));  // written now: later than the entry
  EXPECT_EQ(Install("/S").exitCode, 0);
  ExpectNothingShown();
  EXPECT_EQ(machine.files.FileBytes(target), Text("newer"));
  EXPECT_EQ(machine.files.FileBytes(std::string(kProgramFolder) + "\\b.txt"), Text("b"));
}

// Every way a quiet run ends, with the exit code a deployment tool reads: 0 and 3010 for
// success, 1603 for everything that stops it. Nobody is asked in a quiet run, so none
// ends with 1602, the code of a user's No. Each case runs on a fresh machine.
class QuietEnds;
struct QuietEnd {
  const char* name;
  int (QuietEnds::*run)();  // the exit code of the run the case ends with
  uint32_t code;
};

void PrintTo(const QuietEnd& end, std::ostream* out) { *out << end.name; }

class QuietEnds : public QuietInstall, public ::testing::WithParamInterface<QuietEnd> {
 public:
  int Installed() { return InstallAB(); }
  int FileInUse() {
    PutInUse(B());
    return InstallAB();
  }
  int RestartDeclinedOn9x() {
    machine.SetFamily(sim::Family::k9x);
    return FileInUse();
  }
  int FileNotWritten() {
    machine.files.PutFolder(A());
    return InstallAB();
  }
  int FolderNotMade() {
    machine.files.PutFile(kProgramFolder, Text("a file where the folder goes"));
    return InstallAB();
  }
  int MaintenanceProgramNotWritten() {
    machine.files.PutFolder(kUninstaller);
    return InstallAB();
  }
  int LibraryNotRegistered() {
    const uint16_t version[4] = {1, 0, 0, 0};
    Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\n"
          "[Files]\nreg.dll {OurProgramDir}\\\n",
          {{"reg.dll", VersionedProgram(version, true)}});
    machine.libraries.SetResult(std::string(kProgramFolder) + "\\reg.dll", "DllRegisterServer", 1);
    return Install("/S").exitCode;
  }
  // The middle of the installation file lies in the stored bytes of a.txt's one block.
  int ReadGivenUp() {
    BuildNoise();
    machine.files.FailReadAt("D:\\SETUP.EXE", InstallerSize() / 2);
    return Install("/S").exitCode;
  }
  int BlockDamaged() {
    BuildNoise();
    FlipByteAt(InstallerSize() / 2);
    return Install("/S").exitCode;
  }
  int HeaderDamaged() {
    BuildAB();
    FlipByteAt(test_files::FakeStub().size() + 20);  // the header block's stored bytes
    return Install("/S").exitCode;
  }
  // The entry's name: the directory checksum no longer matches.
  int NameDamaged() {
    BuildAB();
    const Bytes bytes = ReadBytes(Installer());
    const std::string name = "b.txt";
    FlipByteAt(static_cast<size_t>(
        std::find_end(bytes.begin(), bytes.end(), name.begin(), name.end()) - bytes.begin()));
    return Install("/S").exitCode;
  }
  // Nobody can put the next disk in: the installation ends there.
  int VolumeMissing() {
    BuildNoise();
    BuildRequest request;
    request.script = BuildPath("setup.twk");
    request.output = BuildPath("SETUP.EXE");
    request.stub = BuildPath("stub.exe");
    request.volumeSize = 12000;
    BuildInstaller(request);
    EXPECT_TRUE(std::filesystem::remove(BuildPath("SETUP.001")));
    const ProgramRun run = Install("/S");
    EXPECT_TRUE(run.exitedEarly);
    return run.exitCode;
  }
  int Uninstalled() { return UninstallQuietly(); }
  int UninstalledWithAFileInUse() {
    InstallQuietly();
    machine.files.MarkInUse(kTool);
    return UninstallQuietly();
  }
  // The log cut in its file section: nothing is removed.
  int LogDamaged() {
    InstallQuietly();
    Bytes bytes = ReadBytes(Host(kUninstaller));
    bytes.resize(bytes.size() - 40);
    test_files::WriteBytes(Host(kUninstaller), bytes);
    const int code = UninstallQuietly();
    EXPECT_TRUE(machine.files.Exists(kTool));
    return code;
  }
  int Finalized() {
    WaitForFinalizer();
    machine.files.ReleaseAllInUse();
    return FinalizeQuietly();
  }
  int FinalizerCannotReplace() {
    WaitForFinalizer();
    return FinalizeQuietly();
  }

 private:
  std::string A() const { return std::string(kProgramFolder) + "\\a.txt"; }
  std::string B() const { return std::string(kProgramFolder) + "\\b.txt"; }
  int InstallAB() {
    BuildAB();
    return Install("/S").exitCode;
  }
  void BuildNoise() { Build(kScript, {{"a.txt", Noise(60000, 3)}, {"b.txt", Text("b")}}); }
  size_t InstallerSize() const { return ReadBytes(Installer()).size(); }
  void FlipByteAt(size_t offset) {
    Bytes bytes = ReadBytes(Installer());
    bytes.at(offset) ^= 0x20;
    test_files::WriteBytes(Installer(), bytes);
  }
  // An older copy, held open by a program that runs.
  void PutInUse(const std::string& target) {
    machine.files.PutFile(target, Text("old"));
    machine.files.SetLastWriteTimeOf(target, {0, 0});
    machine.files.MarkInUse(target);
  }
  void InstallQuietly() {
    BuildTool();
    EXPECT_EQ(InstallPlaced("/S").exitCode, 0);
  }
  // The uninstaller's copy's code, which its first process hands on.
  int UninstallQuietly() {
    if (!machine.files.Exists(kUninstaller)) InstallQuietly();
    const std::vector<ProcessStep> steps = Uninstall(kUninstaller, "/S");
    return steps.size() == 2u ? steps[1].run.exitCode : -1;
  }
  // On Windows 9x a file in use with a long name waits for FINALIZE.EXE.
  void WaitForFinalizer() {
    machine.SetFamily(sim::Family::k9x);
    PutInUse(kTool);
    BuildTool();
    EXPECT_EQ(InstallPlaced("/S").exitCode, static_cast<int>(kQuietRestartNeeded));
  }
  int FinalizeQuietly() {
    return RunSimulatedProgram(machine, std::string(kProgramFolder) + "\\FINALIZE.EXE", "/S")
        .exitCode;
  }
};

TEST_P(QuietEnds, WithTheCodeADeploymentToolReads) {
  EXPECT_EQ((this->*GetParam().run)(), static_cast<int>(GetParam().code));
  ExpectNothingShown();
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, QuietEnds,
    ::testing::Values(
        QuietEnd{"Installed", &QuietEnds::Installed, kQuietSucceeded},
        QuietEnd{"FileInUse", &QuietEnds::FileInUse, kQuietRestartNeeded},
        QuietEnd{"RestartDeclinedOn9x", &QuietEnds::RestartDeclinedOn9x, kQuietRestartNeeded},
        QuietEnd{"FileNotWritten", &QuietEnds::FileNotWritten, kQuietFailed},
        QuietEnd{"FolderNotMade", &QuietEnds::FolderNotMade, kQuietFailed},
        QuietEnd{"MaintenanceProgramNotWritten", &QuietEnds::MaintenanceProgramNotWritten,
                 kQuietFailed},
        QuietEnd{"LibraryNotRegistered", &QuietEnds::LibraryNotRegistered, kQuietFailed},
        QuietEnd{"ReadGivenUp", &QuietEnds::ReadGivenUp, kQuietFailed},
        QuietEnd{"BlockDamaged", &QuietEnds::BlockDamaged, kQuietFailed},
        QuietEnd{"HeaderDamaged", &QuietEnds::HeaderDamaged, kQuietFailed},
        QuietEnd{"NameDamaged", &QuietEnds::NameDamaged, kQuietFailed},
        QuietEnd{"VolumeMissing", &QuietEnds::VolumeMissing, kQuietFailed},
        QuietEnd{"Uninstalled", &QuietEnds::Uninstalled, kQuietSucceeded},
        QuietEnd{"UninstalledWithAFileInUse", &QuietEnds::UninstalledWithAFileInUse,
                 kQuietRestartNeeded},
        QuietEnd{"LogDamaged", &QuietEnds::LogDamaged, kQuietFailed},
        QuietEnd{"Finalized", &QuietEnds::Finalized, kQuietSucceeded},
        QuietEnd{"FinalizerCannotReplace", &QuietEnds::FinalizerCannotReplace, kQuietFailed}),
    [](const ::testing::TestParamInfo<QuietEnd>& end) { return std::string(end.param.name); });

TEST(QuietSwitches, ReadsSAndTheFolderOfDAsDeploymentToolsWriteThem) {
  struct Case {
    const char* tail;
    bool read;
    bool quiet;
    const char* folder;
  };
  const std::string tooLong = "/S /D=C:\\" + std::string(260, 'x');
  const Case cases[] = {
      {"", true, false, ""},
      {"/S", true, true, ""},
      {"  /s  ", true, true, ""},
      {"/S /D=C:\\Program Files\\My App", true, true, "C:\\Program Files\\My App"},
      {"/x /S /d=D:\\A B \t ", true, true, "D:\\A B"},
      {"/D=C:\\Program Files\\My App", true, false, ""},  // "/D=" alone: interactive
      {"/D=C:\\x /S", true, false, ""},                    // "/S" is part of the folder
      {"/Sx /step2", true, false, ""},
      {"/step2 /S", true, true, ""},
      {tooLong.c_str(), false, true, ""},
      // A folder relative to wherever the tool started the run is refused.
      {"/S /D=Tool", false, true, ""},
      {"/S /D=C:Tool", false, true, ""},
      {"/S /D=\\Tool", false, true, ""},
      // One form for every spelling of a folder; a network path is refused.
      {"/S /D=d:/Tool", true, true, "D:\\Tool"},
      {"/S /D=C:\\Apps\\..\\Tools\\.\\", true, true, "C:\\Tools"},
      {"/S /D=", true, true, ""},
      {"/S /D=\\\\server\\share\\Tool", false, true, ""},
      {"/S /D=C:\\a|b", false, true, ""},
      {"/S /D=C:\\..", false, true, ""},
      // Quoted, as tools that pass a list of arguments write a folder with blanks.
      {"/S \"/D=C:\\My Apps\"", true, true, "C:\\My Apps"},
      {"/S /D=\"C:\\My Apps\"  ", true, true, "C:\\My Apps"},
      {"/S \"/D=C:\\My Apps", false, true, ""},
      {"/S \"/D=C:\\My Apps\" /x", false, true, ""},
      {"\"/D=C:\\My Apps\" /S", true, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    ResetSetupState();
    EXPECT_EQ(ReadQuietSwitches(c.tail), c.read);
    EXPECT_EQ(g_setup.quiet, c.quiet);
    EXPECT_STREQ(g_setup.quietFolder, c.folder);
  }
  ResetSetupState();
}

class QuietRoundTrip : public InstallTest {
 protected:
  void InstallQuietly() {
    PutOtherProgram();
    BuildTool();
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
    EXPECT_TRUE(machine.process.waitedHandles.empty()) << "the copy waited for its waiter";
    EXPECT_TRUE(std::regex_search(
        transcript.str(),
        std::regex(R"(\(on Windows it waits for "C:\\WINDOWS\\TEMP\\TWK[0-9A-F]{8}\.tmp)"
                   R"(\\UNINST\.EXE" /step2 /S and ends with that one's exit code\))")))
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
  BuildTool();
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
