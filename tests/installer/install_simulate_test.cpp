// `twk simulate` on the example product: a fresh root, then a second run on the same root
// with an answers file, where the installed files, the registry's text form and the
// uninstall log of the written UNINST.EXE must match the package; and an installation
// removed again through the uninstaller's hand-over to its copy, after which the root is
// as it was once the copy is gone at the restart.
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tests/installer/install_test_support.h"
#include "twk/commands.h"
#include "twk/common/command_error.h"
#include "twk/simulate/simulate_answers.h"

namespace fs = std::filesystem;

namespace install_test {
namespace {

// The example product's files beside its script, and where the installer puts each.
const std::pair<const char*, const char*> kProductFiles[] = {
    {"DemoApp.exe", "C:\\Program Files\\TWKSetup Demo\\DemoApp.exe"},
    {"DemoLib.dll", "C:\\WINDOWS\\SYSTEM32\\DemoLib.dll"},
    {"readme.txt", "C:\\Program Files\\TWKSetup Demo\\Read Me.txt"},
    {"manual.txt", "C:\\Program Files\\TWKSetup Demo\\manual.txt"},
    {"samples.dat", "C:\\Program Files\\TWKSetup Demo\\data\\samples.dat"},
    {"empty.log", "C:\\Program Files\\TWKSetup Demo\\logs\\empty.log"},
    {"docs/changes.txt", "C:\\Program Files\\TWKSetup Demo\\docs\\changes.txt"},
    {"docs/questions.txt", "C:\\Program Files\\TWKSetup Demo\\docs\\questions.txt"},
};

class SimulateCommand : public InstallTest {
 protected:
  // Runs `twk simulate ARGS`; what it prints goes to `printed`.
  int Simulate(const Arguments& args) {
    std::ostringstream out;
    std::streambuf* saved = std::cout.rdbuf(out.rdbuf());
    const int code = RunSimulateCommand(args);
    std::cout.rdbuf(saved);
    printed = out.str();
    return code;
  }
  MachineSnapshot Snapshot() {
    sim::SimMachine loaded(simRoot_);
    loaded.LoadState();
    return TakeSnapshot(loaded);
  }
  std::string Registry() {
    std::ifstream file(simRoot_ / "registry.txt");
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  fs::path simRoot_ = BuildPath("root");
  std::string printed;
};

TEST_F(SimulateCommand, InstallsTheExampleProductIntoAFreshRootAndAgain) {
  const std::string installer = BuildExample();
  // A link planted where the machine's state goes is replaced, not written through.
  fs::create_directories(simRoot_);
  std::ofstream(BuildPath("victim.txt")) << "; kept\n";
  fs::create_symlink(BuildPath("victim.txt"), simRoot_ / "machine.txt");
  ASSERT_EQ(Simulate({installer, "--root", simRoot_.string()}), 0) << printed;
  EXPECT_NE(printed.find("wizard page 101 \"License Agreement\", buttons: Back Next"),
            std::string::npos);
  EXPECT_NE(printed.find("machine errors (0)"), std::string::npos);
  EXPECT_EQ(ReadBytes(BuildPath("victim.txt")), Text("; kept\n"));
  EXPECT_FALSE(fs::is_symlink(simRoot_ / "machine.txt"));

  sim::SimMachine installed(simRoot_);
  for (const auto& [name, target] : kProductFiles) {
    EXPECT_EQ(installed.files.FileBytes(target),
              ReadBytes(BuildPath(std::string("product/") + name)))
        << target;
  }
  const std::string registry = Registry();
  EXPECT_NE(registry.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Example Ltd\\TWKSetup Demo]\n"
                          "@=sz:\"TWKSetup Demo 1.2\"\n"
                          "\"InstallFolder\"=sz:\"C:\\\\Program Files\\\\TWKSetup Demo\"\n"
                          "\"Installs\"=dword:00000001\n\"Signature\"=hex:54,57,4b,00,01,02\n"),
            std::string::npos)
      << registry;
  EXPECT_NE(registry.find("\"Width\"=dword:00000280"), std::string::npos);
  const UninstallLog log = ReadUninstallLog(
      installed.files.HostPath("C:\\Program Files\\TWKSetup Demo\\UNINST.EXE").string());
  ASSERT_TRUE(log.complete) << log.problem;
  ASSERT_EQ(log.files.size(), 1 + std::size(kProductFiles) + 4 + 1);
  for (size_t i = 0; i < std::size(kProductFiles); ++i) {
    EXPECT_EQ(log.files[1 + i].path, kProductFiles[i].second);
  }
  EXPECT_TRUE(log.files[2].shared);
  EXPECT_EQ(log.registry.size(), 5u);

  // Again on the same root: the remembered folder is offered, the shared library is the
  // same file and is replaced, and its count goes to 2.
  std::ofstream(BuildPath("answers.txt"))
      << "# second run\npage 111 next\npage 101 next\n"
         "page 102 type \"C:\\Program Files\\TWKSetup Demo\" next\npage 114 finish\n"
         "overwrite 117 \"C:\\WINDOWS\\SYSTEM32\\DemoLib.dll\" replace\n"
         "message \"Success!\" \"Installation complete! You can use the program immediately.\" ok\n";
  ASSERT_EQ(Simulate({installer, "--root", simRoot_.string(), "--answers", BuildPath("answers.txt")}),
            0)
      << printed;
  EXPECT_NE(Registry().find("\"C:\\\\WINDOWS\\\\SYSTEM32\\\\DemoLib.dll\"=dword:00000002"),
            std::string::npos);
  // An answer the run never needs is a fault of the run.
  std::ofstream(BuildPath("answers.txt")) << "defaults\noverwrite 116 * yes\n";
  EXPECT_EQ(Simulate({installer, "--root", simRoot_.string(), "--answers", BuildPath("answers.txt")}),
            6);
  EXPECT_NE(printed.find("answer never used: overwrite 116 * 1008"), std::string::npos);
}

TEST_F(SimulateCommand, AnswersFileMistakesNameTheLine) {
  const char* const bad[] = {"page 102 sideways", "overwrite 118 * yes", "message \"Cap\" ok",
                             "cancel at", "page 111 type \"unterminated next"};
  for (const char* line : bad) {
    try {
      LoadAnswers("answers.txt", std::string("# fine\n") + line + "\n", machine);
      ADD_FAILURE() << "accepted: " << line;
    } catch (const CommandError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("answers.txt:2: ", 0), 0u) << error.what();
    }
  }
  EXPECT_EQ(machine.ui.answers.PendingCount(), 0u) << "nothing is scripted from a bad file";
}

using SimulateRoundTrip = SimulateCommand;

TEST_F(SimulateRoundTrip, InstallThenUninstallLeavesTheRootAsItWas) {
  const std::string installer = BuildExample();
  // A machine in use: other programs' files in the folders the product shares.
  sim::SimMachine prepared(simRoot_);
  prepared.files.PutFile("C:\\Program Files\\Other\\other.exe", Text("o"));
  prepared.files.PutFile("C:\\WINDOWS\\SYSTEM32\\other.dll", Text("o"));
  prepared.files.PutFile("C:\\WINDOWS\\Desktop\\Other.lnk", Text("o"));
  prepared.registry.PutNumber(kSharedCountsKey, "C:\\WINDOWS\\SYSTEM32\\other.dll", 1);
  prepared.SaveState();
  // D:\SETUP.EXE is where the installer runs from, not what it installs.
  PlaceProgram(installer, simRoot_);
  const MachineSnapshot before = Snapshot();
  ASSERT_EQ(Simulate({(simRoot_ / "D" / "SETUP.EXE").string(), "--root", simRoot_.string()}), 0)
      << printed;

  std::ofstream(BuildPath("answers.txt"))
      << "defaults\nmessage \"C:\\WINDOWS\\SYSTEM32\\DemoLib.dll\" \"" << kSharedQuestion
      << "\" yes\n";
  const fs::path uninstaller = simRoot_ / "C" / "Program Files" / "TWKSetup Demo" / "UNINST.EXE";
  ASSERT_EQ(Simulate({uninstaller.string(), "--root", simRoot_.string(), "--answers",
                      BuildPath("answers.txt")}),
            0)
      << printed;
  // The copy in a folder of its own, which goes with it at the next start.
  std::smatch copy;
  ASSERT_TRUE(std::regex_search(
      printed, copy,
      std::regex(R"(== started: "(C:\\WINDOWS\\TEMP\\TWK[0-9A-F]{8}\.tmp)\\UNINST\.EXE" )"
                 R"(/step2 /P=\d+ \(current folder C:\\WINDOWS\))")))
      << printed;
  EXPECT_NE(printed.find("at the next start: delete " + copy[1].str() + "\\UNINST.EXE"),
            std::string::npos)
      << printed;
  EXPECT_NE(printed.find("at the next start: delete " + copy[1].str() + "\n"), std::string::npos)
      << printed;

  ASSERT_EQ(Simulate({"--restart", "--root", simRoot_.string()}), 0) << printed;
  ExpectSameState(before, Snapshot());

  // A program and --restart together, or neither, is a usage mistake.
  EXPECT_EQ(Simulate({installer, "--restart", "--root", simRoot_.string()}), 2);
  EXPECT_EQ(Simulate({"--root", simRoot_.string()}), 2);
}

}  // namespace
}  // namespace install_test
