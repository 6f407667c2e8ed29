// Files already on the machine: which overwrite question a whole run asks, and what each
// answer does to the file, its log record and its shared count.
#include "tests/installer/install_test_support.h"

namespace install_test {
namespace {

const char kSetup[] = R"([Setup]
Title = Tool
ProductKey = Tool
ProgramFolder = Tool
)";

std::string In(const std::string& name) { return std::string(kProgramFolder) + "\\" + name; }
std::string Sys(const std::string& name) { return "C:\\WINDOWS\\SYSTEM32\\" + name; }

std::vector<std::string> LoggedPaths(const UninstallLog& log) {
  std::vector<std::string> paths;
  for (const LoggedFile& file : log.files) paths.push_back(file.path);
  return paths;
}

class OverwriteInstall : public InstallTest {
 protected:
  void SetUp() override { sim::UseDefaultAnswers(); }
  // Files on the machine before the run, written now: newer than every source.
  void PutNewer(const std::vector<std::string>& names) {
    for (const std::string& name : names) machine.files.PutFile(In(name), Text("mine"));
  }
  uint32_t Count(const std::string& path) {
    const sim::SimRegistryValue* value = machine.registry.Value(
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", path);
    return value ? value->data.at(0) : 0;
  }
};

TEST_F(OverwriteInstall, NewerFileAnswersDecideEachFileAndYesToAllAsksNoMore) {
  const uint16_t v1_10[4] = {1, 10, 0, 0};
  Build(std::string(kSetup) +
            "[Files]\nold.dll {OurProgramDir}\\ version=1.9.0.0\n"
            "same.dll {OurProgramDir}\\ version=1.10.0.0\nnone.txt {OurProgramDir}\\\n"
            "a.txt {OurProgramDir}\\\nb.txt {OurProgramDir}\\\nc.txt {OurProgramDir}\\\n",
        {{"old.dll", Text("1.9")}, {"same.dll", Text("1.10")}, {"none.txt", Text("0.0")},
         {"a.txt", Text("new a")}, {"b.txt", Text("new b")}, {"c.txt", Text("new c")}});
  for (const char* name : {"old.dll", "same.dll", "none.txt"}) {
    machine.files.PutFile(In(name), VersionedProgram(v1_10, false));
  }
  PutNewer({"a.txt", "b.txt", "c.txt"});
  // Versions compare as numbers (1.10 is newer than 1.9, and than no version at all) and
  // outweigh times: an equal version is written though the disk file is newer by time.
  machine.ui.answers.OverwritePress(116, In("old.dll"), 1009);   // No
  machine.ui.answers.OverwritePress(116, In("none.txt"), 1008);  // Yes
  machine.ui.answers.OverwritePress(116, In("a.txt"), 1009);     // No
  machine.ui.answers.OverwritePress(116, In("b.txt"), 1010);     // Yes to All
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  ASSERT_EQ(machine.ui.overwrites.size(), 4u) << "none for same.dll, none after Yes to All";
  EXPECT_EQ(machine.ui.overwrites[0].owner, machine.ui.progress.at(0).dialog);
  EXPECT_EQ(machine.files.FileBytes(In("old.dll")), VersionedProgram(v1_10, false));
  EXPECT_EQ(machine.files.FileBytes(In("a.txt")), Text("mine"));
  EXPECT_EQ(machine.files.FileBytes(In("c.txt")), Text("new c"));
  EXPECT_EQ(LoggedPaths(LogOf(kUninstaller)),
            (std::vector<std::string>{In("FINALIZE.EXE"), In("same.dll"), In("none.txt"),
                                      In("b.txt"), In("c.txt"), kUninstaller}));
}

TEST_F(OverwriteInstall, CancelOrEscInTheNewerFileQuestionCancelsTheInstallation) {
  Build(std::string(kSetup) + "[Files]\na.txt {OurProgramDir}\\\nb.txt {OurProgramDir}\\\n"
                              "[Registry]\n\"HKEY_CURRENT_USER\\Software\\Tool\"\nX = dword 1\n",
        {{"a.txt", Text("new a")}, {"b.txt", Text("new b")}});
  PutNewer({"b.txt"});
  machine.ui.answers.OverwritePress(116, In("b.txt"), 2);
  Install();
  ExpectCleanRun();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Cancelled!"}));
  EXPECT_EQ(machine.files.FileBytes(In("b.txt")), Text("mine"));
  EXPECT_FALSE(machine.registry.HasKey("HKCU\\Software\\Tool")) << "registry phase skipped";
  const UninstallLog log = LogOf(kUninstaller);
  EXPECT_TRUE(log.complete);
  EXPECT_EQ(LoggedPaths(log),
            (std::vector<std::string>{In("FINALIZE.EXE"), In("a.txt"), kUninstaller}));
  EXPECT_TRUE(log.registry.empty());
}

TEST_F(OverwriteInstall, SameSharedFileAsksEveryTimeAndRemembersNoAnswer) {
  const std::string files = "[Files]\ns1.dll {WinSysDir}\\s1.dll shared\n"
                            "s2.dll {WinSysDir}\\s2.dll shared\ns3.dll {WinSysDir}\\s3.dll shared\n"
                            "s4.dll {WinSysDir}\\s4.dll shared\n";
  Build(kSetup + files, {{"s1.dll", Text("1")}, {"s2.dll", Text("1")}, {"s3.dll", Text("1")},
                         {"s4.dll", Text("1")}});
  Install();
  // The same files at the same times, new bytes: every one asks, whatever came before.
  Build(kSetup + files, {{"s1.dll", Text("2")}, {"s2.dll", Text("2")}, {"s3.dll", Text("2")},
                         {"s4.dll", Text("2")}});
  machine.ui.answers.OverwritePress(117, Sys("s1.dll"), 1009);  // Skip
  machine.ui.answers.OverwritePress(117, Sys("s2.dll"), 1010);  // Replace All
  machine.ui.answers.OverwritePress(117, Sys("s3.dll"), 2);     // Skip All, or Esc
  machine.ui.answers.OverwritePress(117, Sys("s4.dll"), 1008);  // Replace
  Install();
  ExpectCleanRun();
  EXPECT_EQ(machine.ui.overwrites.size(), 4u) << "none in the first run, one per file in the second";
  const std::string written = "1212";
  for (int i = 0; i < 4; ++i) {
    const std::string name = "s" + std::to_string(i + 1) + ".dll";
    EXPECT_EQ(machine.files.FileBytes(Sys(name)), Text(std::string(1, written[i]))) << name;
    EXPECT_EQ(Count(Sys(name)), written[i] == '2' ? 2u : 1u) << name;
  }
}

}  // namespace
}  // namespace install_test
