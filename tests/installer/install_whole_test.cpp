// Whole installations with the default answers: every file, time, registry value,
// shortcut and log record that a built package asks for, and nothing more.
#include "tests/installer/install_test_support.h"

#include "platform/sim/machine/sim_shell_link.h"
#include "platform/wizard.h"

namespace install_test {
namespace {

const char kScript[] = R"([Setup]
Title = Tool 1.0
BottomText = Maker
ProductKey = Tool
ProgramFolder = Tool
StartMenuFolder = Tool
RunAfter = {OurProgramDir}\tool.exe
[Files]
tool.exe    {OurProgramDir}\
big.dat     {OurProgramDir}\data\big.dat
shared.dll  {WinSysDir}\shared.dll  shared
[Shortcuts]
"{OurShortcutDir}\Tool"  {OurProgramDir}\tool.exe  arguments=/x  startin={OurProgramDir}
[Registry]
"HKEY_LOCAL_MACHINE\Software\Maker\Tool"
@      = string "Tool 1.0"
Folder = string {OurProgramDir}
Count  = dword 3
Blob   = binary 0a 00 0b
)";

const char kMachineKey[] = "HKEY_LOCAL_MACHINE\\Software\\Maker\\Tool";
const char kSharedDll[] = "C:\\WINDOWS\\SYSTEM32\\shared.dll";
const char kSharedCounts[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

class WholeInstall : public InstallTest {
 protected:
  void BuildTool(const std::string& script) {
    Build(script, {{"tool.exe", Text("tool")}, {"big.dat", Noise(70000, 7)},
                   {"shared.dll", Text("shared library")}});
  }
  uint32_t SharedCount() {
    const sim::SimRegistryValue* value = machine.registry.Value(kSharedCounts, kSharedDll);
    return value && value->data.size() == 4 ? value->data[0] : 0;
  }
};

TEST_F(WholeInstall, PutsDownEverythingThePackageNamesAndLogsIt) {
  BuildTool(kScript);
  sim::UseDefaultAnswers();
  const ProgramRun run = Install();
  EXPECT_EQ(run.exitCode, 0);
  ExpectCleanRun();

  // The wizard: welcome, folder, start-menu folder, Finish on the last.
  ASSERT_EQ(machine.ui.pages.size(), 3u);
  EXPECT_EQ(machine.ui.pages[0].buttons, platform::kWizardNext);
  EXPECT_EQ(machine.ui.pages[1].controls.at(1000).text, kProgramFolder);
  EXPECT_EQ(machine.ui.pages[2].buttons, platform::kWizardBack | platform::kWizardFinish);

  // Files, bytes and times.
  const std::string folder = kProgramFolder;
  EXPECT_EQ(machine.files.FileBytes(folder + "\\data\\big.dat"), Noise(70000, 7));
  EXPECT_TRUE(SameTime(folder + "\\data\\big.dat", "big.dat"));
  EXPECT_TRUE(SameTime(kSharedDll, "shared.dll"));
  EXPECT_FALSE(machine.files.Exists(folder + "\\FINALIZE.EXE")) << "not needed: deleted";

  // Registry: the package's values, the shared count, the remembered folders and the
  // Add/Remove Programs entry.
  EXPECT_EQ(machine.registry.Text(kMachineKey, ""), "Tool 1.0");
  EXPECT_EQ(machine.registry.Text(kMachineKey, "Folder"), folder);
  EXPECT_EQ(machine.registry.Value(kMachineKey, "Count")->data, (Bytes{3, 0, 0, 0}));
  EXPECT_EQ(machine.registry.Value(kMachineKey, "Blob")->data, (Bytes{0x0a, 0x00, 0x0b}));
  EXPECT_EQ(SharedCount(), 1u);
  EXPECT_EQ(machine.registry.Text("HKLM\\Software\\TWKSetup\\Tool", "SPath"), "Tool");
  EXPECT_EQ(machine.registry.Text(
                "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool",
                "UninstallString"),
            kUninstaller);

  sim::SimShellLink link;
  ASSERT_TRUE(sim::ReadShellLink(machine.files,
                                 "C:\\WINDOWS\\Start Menu\\Programs\\Tool\\Tool.lnk", &link));
  EXPECT_EQ(link.target, folder + "\\tool.exe");
  EXPECT_EQ(link.arguments, "/x");
  EXPECT_EQ(link.workingFolder, folder);

  // The log, record by record, as the uninstaller will read it.
  const UninstallLog log = LogOf(kUninstaller);
  ASSERT_TRUE(log.complete) << log.problem;
  std::vector<std::string> files;
  for (const LoggedFile& file : log.files) files.push_back(file.path + (file.shared ? "|shared" : ""));
  EXPECT_EQ(files, (std::vector<std::string>{
                       folder + "\\FINALIZE.EXE", folder + "\\tool.exe", folder + "\\data\\big.dat",
                       std::string(kSharedDll) + "|shared",
                       "C:\\WINDOWS\\Start Menu\\Programs\\Tool\\Tool.lnk", kUninstaller}));
  ASSERT_EQ(log.registry.size(), 4u);
  EXPECT_EQ(log.registry[0].line, std::string(":") + kMachineKey);
  EXPECT_EQ(log.registry[0].valueNames, (std::vector<std::string>{"@", "Folder", "Count", "Blob"}));
  // The entry's details come as the package's own lines, after the script's keys.
  EXPECT_EQ(log.registry[1].valueNames,
            (std::vector<std::string>{"EstimatedSize", "NoModify", "NoRepair"}));
  EXPECT_EQ(log.registry[2].valueNames, (std::vector<std::string>{"Path", "SPath"}));
  EXPECT_EQ(log.registry[3].valueNames, (std::vector<std::string>{"DisplayName", "UninstallString",
                                                                "QuietUninstallString"}));
  EXPECT_EQ(log.registry[1].line, log.registry[3].line);

  // One outcome message over the background window; the run-after command opened once;
  // the overall bar full with the last block and never pushed past it.
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Success!"}));
  EXPECT_EQ(machine.user.Shown()[0].owner, machine.ui.backgrounds[0].window);
  ASSERT_EQ(machine.system.shellOpens.size(), 1u);
  EXPECT_EQ(machine.system.shellOpens[0].command, folder + "\\tool.exe");
  const sim::SimBar& overall = machine.ui.progress.at(0).overallBar;
  EXPECT_EQ(overall.range, 4u);
  EXPECT_EQ(overall.position, 4u);
  EXPECT_EQ(overall.stepsBeyondRange, 0u);
}

TEST_F(WholeInstall, SharedFileInstalledTwiceCountsTwoUnderItsFullPath) {
  BuildTool(kScript);
  sim::UseDefaultAnswers();
  Install();
  // The same file again: same time on disk, so the same-file question; Replace writes
  // it and counts it again.
  machine.ui.answers.OverwritePress(117, kSharedDll, 1008);
  Install();
  ExpectCleanRun();
  EXPECT_EQ(SharedCount(), 2u);
}

}  // namespace
}  // namespace install_test
