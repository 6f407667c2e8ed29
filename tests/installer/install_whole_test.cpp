// Whole installations with the default answers: every file, time, registry value,
// shortcut and log record that a built package asks for, and nothing more.
#include "tests/installer/install_test_support.h"

#include "platform/sim/machine/sim_shell_link.h"
#include "platform/wizard.h"

namespace install_test {
namespace {

const char kMachineKey[] = "HKEY_LOCAL_MACHINE\\Software\\Maker\\Tool";

using WholeInstall = InstallTest;

TEST_F(WholeInstall, PutsDownEverythingThePackageNamesAndLogsIt) {
  BuildTool();
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
  EXPECT_TRUE(SameTime(kSharedLibrary, "shared.dll"));
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
            "\"" + std::string(kUninstaller) + "\"");

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
                       std::string(kSharedLibrary) + "|shared",
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
  // the phases in order, the overall bar full with the last block and never pushed past
  // it, and no Cancel button once the files are done.
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Success!"}));
  EXPECT_EQ(machine.user.Shown()[0].owner, machine.ui.backgrounds[0].window);
  // In the program folder, not wherever the installer was started from.
  ASSERT_EQ(machine.system.shellOpens.size(), 1u);
  EXPECT_EQ(machine.system.shellOpens[0].command, folder + "\\tool.exe");
  EXPECT_EQ(machine.system.shellOpens[0].folder, folder);
  EXPECT_TRUE(machine.system.shellOpens[0].forDesktopUser);
  const sim::ProgressRecord& dialog = machine.ui.progress.at(0);
  EXPECT_EQ(dialog.statusTexts,
            (std::vector<std::string>{"Initializing Finalize information...",
                                      "Initializing Uninstall information...", folder + "\\tool.exe",
                                      folder + "\\data\\big.dat", kSharedLibrary, "Registering DLLs...",
                                      "Creating shortcuts...", "Creating registry entries..."}));
  EXPECT_EQ(dialog.overallBar.range, 4u);
  EXPECT_EQ(dialog.overallBar.position, 4u);
  EXPECT_EQ(dialog.overallBar.stepsBeyondRange, 0u);
  EXPECT_FALSE(dialog.cancelButtonVisible);
}

TEST_F(WholeInstall, SharedFileInstalledTwiceCountsTwoUnderItsFullPath) {
  BuildTool();
  sim::UseDefaultAnswers();
  Install();
  // The same file again: same time on disk, so the same-file question; Replace writes
  // it and counts it again.
  machine.ui.answers.OverwritePress(117, kSharedLibrary, 1008);
  Install();
  ExpectCleanRun();
  EXPECT_EQ(SharedCount(), 2u);
}

TEST_F(WholeInstall, WithoutAProductKeyOnlyTheUninstallerIsMissing) {
  std::string script = kToolScript;
  script.erase(script.find("ProductKey"), script.find("ProgramFolder") - script.find("ProductKey"));
  BuildTool(script);
  sim::UseDefaultAnswers();
  Install();
  ExpectCleanRun();
  EXPECT_FALSE(machine.files.Exists(kUninstaller));
  EXPECT_TRUE(machine.files.Exists("C:\\WINDOWS\\Start Menu\\Programs\\Tool\\Tool.lnk"));
  EXPECT_TRUE(machine.registry.HasKey(kMachineKey));
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Success!"}));
}

// The blocks are expanded on as many threads as there are processors, and the files are
// written, shown and logged in package order all the same.
class ProcessorsInstall : public InstallTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(ProcessorsInstall, WritesShowsAndLogsInPackageOrder) {
  machine.system.processors = GetParam();
  const std::vector<Source> sources = {{"a.dat", Noise(200000, 1)}, {"b.txt", Text("b")},
                                       {"c.dat", Noise(140000, 2)}, {"d.txt", Text("")},
                                       {"e.dat", Noise(65000, 3)}};
  std::string script = "[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\n[Files]\n";
  for (const Source& source : sources) script += source.name + " {OurProgramDir}\\\n";
  Build(script, sources);
  sim::UseDefaultAnswers();
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();

  std::vector<std::string> paths;
  for (const Source& source : sources) {
    paths.push_back(std::string(kProgramFolder) + "\\" + source.name);
    EXPECT_EQ(machine.files.FileBytes(paths.back()), source.bytes) << source.name;
  }
  const sim::ProgressRecord& dialog = machine.ui.progress.at(0);
  const std::vector<std::string> texts(dialog.statusTexts.begin() + 2,
                                       dialog.statusTexts.begin() + 2 + paths.size());
  EXPECT_EQ(texts, paths);
  EXPECT_EQ(dialog.overallBar.steps, 4u + 1 + 3 + 0 + 1);
  EXPECT_EQ(dialog.overallBar.position, dialog.overallBar.range);
  const UninstallLog log = LogOf(kUninstaller);
  ASSERT_TRUE(log.complete) << log.problem;
  ASSERT_GE(log.files.size(), 1 + paths.size());
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(log.files[1 + i].path, paths[i]);
  // One processor expands on the writing thread alone; more add a worker each.
  EXPECT_EQ(machine.system.threadsStarted, static_cast<int>(GetParam()) - 1);
}

INSTANTIATE_TEST_SUITE_P(Counts, ProcessorsInstall, ::testing::Values(1u, 2u, 4u));

}  // namespace
}  // namespace install_test
