// The finalizer after a restart: the waiting files of its own folder put in place in
// search order, the run-after command taken from the registry, the report; and the whole
// road on Windows 9x, from a file in use at install time through the restart that starts
// the finalizer from the run-once key to the following one that removes it.
#include <filesystem>

#include "platform/sim/machine/sim_ui.h"
#include "tests/installer/install_test_support.h"
#include "twk/simulate/simulate_restart.h"

namespace install_test {
namespace {

const char kFinalizer[] = "C:\\App\\FINALIZE.EXE";
const char kRunAfterKey[] = "HKLM\\SOFTWARE\\Tarnwick\\Kitwright\\RunAfter";

class Finalizer : public InstallTest {
 protected:
  Finalizer() {
    machine.files.PutFile(kFinalizer, Text("finalizer"));
    machine.registry.PutText(kRunAfterKey, "RunAfter", "C:\\App\\tool.exe");
  }
  void ExpectSuccess() {
    Expect("Installation complete! You can use the program immediately.", "Success!",
           platform::kMbOk | platform::kMbIconInformation, platform::kIdOk);
  }
};

TEST_F(Finalizer, PutsItsWaitingFilesInPlaceAndOpensTheCommandOnce) {
  const uint16_t version[4] = {2, 0, 0, 0};
  machine.files.PutFile("C:\\App\\a.b.dll", Text("old"));
  // As older installers named waiting files, and as they are named now.
  machine.files.PutFile("C:\\App\\a.b.dll.NewTemp", VersionedProgram(version, true));
  machine.files.PutFile("C:\\App\\z.txt.~0A1B2C3D.NewTemp", Text("new z"));
  machine.files.PutFile("C:\\Other\\x.dll.NewTemp", Text("elsewhere"));
  ExpectSuccess();
  Finalize(kFinalizer);
  ExpectCleanRun();
  EXPECT_EQ(machine.files.FileBytes("C:\\App\\a.b.dll"), VersionedProgram(version, true));
  EXPECT_EQ(machine.files.FileBytes("C:\\App\\z.txt"), Text("new z"));
  EXPECT_FALSE(machine.files.Exists("C:\\App\\a.b.dll.NewTemp"));
  EXPECT_TRUE(machine.files.Exists("C:\\Other\\x.dll.NewTemp"));
  ASSERT_EQ(machine.libraries.Calls().size(), 1u);
  EXPECT_EQ(machine.libraries.Calls()[0].entryPoint, "DllRegisterServer");

  ASSERT_EQ(machine.system.shellOpens.size(), 1u);
  EXPECT_EQ(machine.system.shellOpens[0].command, "C:\\App\\tool.exe");
  EXPECT_EQ(machine.system.shellOpens[0].folder, "C:\\App");
  EXPECT_EQ(machine.registry.Value(kRunAfterKey, "RunAfter"), nullptr);
  EXPECT_TRUE(machine.registry.HasKey(kRunAfterKey));
  ASSERT_EQ(machine.system.bootMoves.size(), 1u);
  EXPECT_EQ(machine.system.bootMoves[0].from, kFinalizer);

  // Nothing waits and nothing is handed over: still a success, and nothing opened.
  ExpectSuccess();
  Finalize(kFinalizer);
  ExpectCleanRun();
  EXPECT_EQ(machine.system.shellOpens.size(), 1u);
  EXPECT_EQ(machine.system.bootMoves.size(), 2u);
}

// A rename that cannot be done stops the rest. So does a waiting file, a target or the
// finalizer's folder that another program has made a link: what the link leads to (here
// a self-registering library) is neither replaced nor registered.
TEST_F(Finalizer, AFailedRenameStopsTheRestAndKeepsTheFinalizer) {
  const uint16_t version[4] = {1, 0, 0, 0};
  const struct {
    const char* cause;
    void (*plant)(sim::SimFileSystem& files);
  } cases[] = {
      {"target in use", [](sim::SimFileSystem& files) { files.MarkInUse("C:\\App\\a.dll"); }},
      {"waiting file is a symbolic link",
       [](sim::SimFileSystem& files) {
         files.MakeLink("C:\\App\\a.dll.NewTemp", "C:\\Victim\\v.dll");
       }},
      {"waiting file is a hard link",
       [](sim::SimFileSystem& files) {
         files.MakeHardLink("C:\\App\\a.dll.NewTemp", "C:\\Victim\\v.dll");
       }},
      {"target is a symbolic link",
       [](sim::SimFileSystem& files) {
         std::filesystem::remove(files.HostPath("C:\\App\\a.dll"));
         files.MakeLink("C:\\App\\a.dll", "C:\\Victim\\v.dll");
       }},
      {"folder is a junction",
       [](sim::SimFileSystem& files) {
         std::filesystem::rename(files.HostPath("C:\\App"), files.HostPath("C:\\Victim\\App"));
         files.MakeLink("C:\\App", "C:\\Victim\\App");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cause);
    std::filesystem::remove_all(Host("C:\\App"));
    std::filesystem::remove_all(Host("C:\\Victim"));
    machine.files.ReleaseAllInUse();
    machine.files.PutFile(kFinalizer, Text("finalizer"));
    machine.files.PutFile("C:\\App\\a.dll", Text("old a"));
    machine.files.PutFile("C:\\App\\a.dll.NewTemp", Text("new a"));
    machine.files.PutFile("C:\\App\\b.dll.NewTemp", Text("new b"));
    machine.files.PutFile("C:\\Victim\\v.dll", VersionedProgram(version, true));
    c.plant(machine.files);
    const Bytes victim = machine.files.FileBytes("C:\\Victim\\v.dll");
    machine.registry.PutText(kRunAfterKey, "RunAfter", "C:\\App\\tool.exe");
    machine.system.shellOpens.clear();
    Expect("There was an error finalizing the program. One or more files could not be updated; "
           "they may be in use or marked read-only.\n\nTo correct this problem, you may have to "
           "uninstall the application and then re-install it. If this does not work, please "
           "contact the application's author for assistance.",
           "Error!", platform::kMbOk | platform::kMbIconError, platform::kIdOk);
    Finalize(kFinalizer);
    ExpectCleanRun();
    EXPECT_EQ(machine.files.FileBytes("C:\\Victim\\v.dll"), victim);
    EXPECT_TRUE(machine.libraries.Calls().empty());
    EXPECT_TRUE(machine.files.Exists("C:\\App\\b.dll.NewTemp"));
    EXPECT_FALSE(machine.files.Exists("C:\\App\\b.dll"));
    EXPECT_EQ(machine.system.shellOpens.size(), 1u) << "opened whatever the renames did";
    EXPECT_EQ(machine.registry.Value(kRunAfterKey, "RunAfter"), nullptr);
    EXPECT_TRUE(machine.system.bootMoves.empty());
  }
}

const char kTool[] = "C:\\Program Files\\Tool\\tool.exe";
const char kToolFinalizer[] = "C:\\Program Files\\Tool\\FINALIZE.EXE";

class RoundTripFinalize : public InstallTest {
 protected:
  // Installs over an older tool.exe that a running program holds.
  void InstallOverToolInUse() {
    machine.SetFamily(sim::Family::k9x);
    machine.files.PutFile(kTool, Text("old"));
    machine.files.SetLastWriteTimeOf(kTool, platform::FileTime{0, 0x01000000});
    machine.files.MarkInUse(kTool);
    BuildTool();
    sim::UseDefaultAnswers();
    InstallPlaced();
    ASSERT_NE(WaitingFile(kTool), "");
    ASSERT_NE(machine.registry.Text(kRunOnceKeyPath, "TWKSetup_Finalize"), "");
  }
  size_t ShellOpensOf(const std::string& command) const {
    size_t count = 0;
    for (const sim::ShellOpen& open : machine.system.shellOpens) count += open.command == command;
    return count;
  }
};

TEST_F(RoundTripFinalize, TheRestartPutsTheWaitingFileInPlaceAndTheNextRemovesTheFinalizer) {
  InstallOverToolInUse();
  EXPECT_EQ(ShellOpensOf(kTool), 0u) << "the run-after command waits for the finalizer";

  RestartWindows(machine, transcript);
  const std::vector<ProcessStep> steps = RunRunOnceEntries(machine, transcript);
  ExpectCleanRun();
  ASSERT_EQ(steps.size(), 1u) << transcript.str();
  EXPECT_EQ(machine.files.FileBytes(kTool), Text("tool"));
  EXPECT_EQ(WaitingFile(kTool), "");
  EXPECT_EQ(ShellOpensOf(kTool), 1u);
  EXPECT_EQ(machine.registry.Value(kRunAfterKey, "RunAfter"), nullptr);
  EXPECT_EQ(machine.registry.Value(kRunOnceKeyPath, "TWKSetup_Finalize"), nullptr);
  EXPECT_EQ(machine.user.Shown().back().caption, "Success!");
  EXPECT_TRUE(machine.files.Exists(kToolFinalizer));

  // The following start deletes the finalizer and runs nothing more.
  RestartWindows(machine, transcript);
  EXPECT_TRUE(RunRunOnceEntries(machine, transcript).empty());
  EXPECT_FALSE(machine.files.Exists(kToolFinalizer));
  EXPECT_EQ(ShellOpensOf(kTool), 1u);
}

}  // namespace
}  // namespace install_test
