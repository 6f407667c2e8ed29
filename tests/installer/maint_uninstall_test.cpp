// The uninstaller after a whole installation: what it removes, what it asks, where it
// stops, and what a later run finds.
#include "maintenance/path_list.h"
#include "platform/registry.h"
#include "platform/sim/machine/windows_path.h"
#include "tests/installer/install_test_support.h"

namespace install_test {
namespace {

const char kScript[] = R"([Setup]
Title = Tool 1.0
ProductKey = Tool
ProgramFolder = Tool
StartMenuFolder = Tool
[Files]
shared.dll  {WinSysDir}\shared.dll  shared
tool.exe    {OurProgramDir}\
readme.txt  {OurProgramDir}\docs\deep\readme.txt
[Registry]
"HKEY_CURRENT_USER\Software\Gone"
X = string "x"
"HKEY_LOCAL_MACHINE\Software\P\Q"
A = string "a"
"HKEY_LOCAL_MACHINE\Software\P\Q\R"
@ = string "r"
B = dword 1
)";

const char kTool[] = "C:\\Program Files\\Tool\\tool.exe";
const char kReadme[] = "C:\\Program Files\\Tool\\docs\\deep\\readme.txt";
const char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
const std::string kReadOnly = std::string(kTool) +
    "\n\nFile is marked read-only. Do you wish to remove it anyway?";
const std::string kRetry = std::string(kReadme) +
    "\n\nCould not delete file. It may be in use. Shall I try again?";
constexpr uint32_t kSharedFlags =
    platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefaultButton2;
constexpr uint32_t kReadOnlyFlags = platform::kMbYesNoCancel | platform::kMbIconInformation;
constexpr uint32_t kRetryFlags = platform::kMbYesNoCancel | platform::kMbIconError;

class Uninstaller : public InstallTest {
 protected:
  void InstallTool(uint32_t sharedCount) {
    const uint16_t version[4] = {1, 0, 0, 0};
    InstallPackage(kScript, {{"shared.dll", Text("dll")}, {"tool.exe", VersionedProgram(version, true)},
                             {"readme.txt", Text("read me")}});
    machine.registry.PutNumber(kSharedCountsKey, kSharedLibrary, sharedCount);
  }
  Bytes Count() const {
    const sim::SimRegistryValue* value = machine.registry.Value(kSharedCountsKey, kSharedLibrary);
    return value ? value->data : Bytes{};
  }
};

TEST_F(Uninstaller, RemovesFilesValuesKeysItselfAndLastTheEmptyFolders) {
  InstallTool(3);
  machine.registry.DenyWrites("HKCU\\Software\\Gone");  // cannot be opened: passed over
  machine.files.PutFolder("C:\\Program Files\\Other");
  ExpectConfirmation(platform::kIdYes);
  bool folderStoodAtDone = false;
  machine.user.Expect("This program has been removed.", "Done.",
                      platform::kMbOk | platform::kMbIconInformation, platform::kIdOk,
                      [&] { folderStoodAtDone = machine.files.IsFolder(kProgramFolder); });
  EXPECT_EQ(UninstallCopy().exitCode, 0);
  ExpectCleanRun();

  EXPECT_FALSE(machine.files.Exists(kTool));
  EXPECT_FALSE(machine.files.Exists(kUninstaller));
  EXPECT_EQ(machine.libraries.Calls().back().entryPoint, "DllUnregisterServer");
  EXPECT_TRUE(sim::SamePath(machine.libraries.Calls().back().path, kTool));
  EXPECT_TRUE(machine.files.Exists(kSharedLibrary)) << "still counted by others";
  EXPECT_EQ(Count(), (Bytes{2, 0, 0, 0}));

  EXPECT_FALSE(machine.registry.HasKey("HKLM\\Software\\P")) << "emptied by its subkeys' walk";
  EXPECT_FALSE(machine.registry.HasKey(kEntry));
  EXPECT_FALSE(machine.registry.HasKey("HKLM\\Software\\TWKSetup"));
  EXPECT_TRUE(machine.registry.HasKey("HKLM\\Software"));
  EXPECT_EQ(machine.registry.Text("HKCU\\Software\\Gone", "X"), "x");

  EXPECT_TRUE(folderStoodAtDone);
  EXPECT_FALSE(machine.files.IsFolder(kProgramFolder));
  EXPECT_TRUE(machine.files.IsFolder("C:\\Program Files"));
  ASSERT_EQ(machine.system.bootMoves.size(), 1u);  // the running copy is held open
  EXPECT_EQ(machine.system.bootMoves[0].from, kUninstallerCopy);
}

TEST_F(Uninstaller, NoKeepsOneFileAndTheRunGoesOn) {
  InstallTool(1);
  platform::Key counts = platform::OpenKey(platform::kRootLocalMachine, kSharedCountsKey + 19, true);
  platform::DeleteValue(counts, kSharedLibrary);  // a missing count is the last user's
  platform::CloseKey(counts);
  machine.files.SetAttributes(kTool, platform::kAttributeReadOnly);
  machine.files.MarkInUse(kReadme);
  ExpectConfirmation(platform::kIdYes);
  Expect(kSharedQuestion, kSharedLibrary, kSharedFlags, platform::kIdNo);
  Expect(kReadOnly, "Confirm?", kReadOnlyFlags, platform::kIdNo);
  machine.user.ExpectRepeated(kRetry, "Retry?", kRetryFlags, platform::kIdYes, 2);
  Expect(kRetry, "Retry?", kRetryFlags, platform::kIdNo);
  ExpectDone();
  UninstallCopy();
  ExpectCleanRun();
  EXPECT_TRUE(machine.files.Exists(kSharedLibrary));
  EXPECT_TRUE(machine.files.Exists(kTool));
  EXPECT_TRUE(machine.files.Exists(kReadme));
  EXPECT_FALSE(machine.registry.HasKey(kEntry));
}

TEST_F(Uninstaller, RunsThatStopEarlyLeaveTheRestToTheNext) {
  InstallTool(3);
  machine.files.SetAttributes(kTool, platform::kAttributeReadOnly);
  ExpectConfirmation(platform::kIdNo);
  UninstallCopy();
  EXPECT_EQ(Count(), (Bytes{3, 0, 0, 0})) << "No at the confirmation touches nothing";

  ExpectConfirmation(platform::kIdYes);
  Expect(kReadOnly, "Confirm?", kReadOnlyFlags, platform::kIdCancel);
  Expect("Uninstall cancelled; some files were not removed. Please re-run the uninstall "
         "program when they are no longer in use.",
         "", platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  UninstallCopy();
  ExpectCleanRun();
  EXPECT_EQ(Count(), (Bytes{2, 0, 0, 0})) << "counted before the cancel";
  EXPECT_TRUE(machine.files.Exists(kReadme));
  EXPECT_TRUE(machine.registry.HasKey(kEntry));
  EXPECT_TRUE(machine.system.bootMoves.empty());

  // A count of 0 would wrap round below zero: it is taken as the last user's.
  machine.registry.PutNumber(kSharedCountsKey, kSharedLibrary, 0);
  ExpectConfirmation(platform::kIdYes);
  Expect(kSharedQuestion, kSharedLibrary, kSharedFlags, platform::kIdYes);
  Expect(kReadOnly, "Confirm?", kReadOnlyFlags, platform::kIdYes);
  ExpectDone();
  UninstallCopy();
  ExpectCleanRun();
  EXPECT_TRUE(Count().empty());
  EXPECT_FALSE(machine.files.Exists(kSharedLibrary));
  EXPECT_FALSE(machine.files.Exists(kTool));
  EXPECT_FALSE(machine.files.IsFolder(kProgramFolder));
}

TEST(PathListOrder, PassesNodesWhoseRootAndLengthAreBothAtLeastItsOwn) {
  PathList folders;
  for (const std::string& path : {std::string(9, 'a'), std::string(29, 'b'), std::string(19, 'c'),
                                  std::string(29, 'd')}) {
    folders.AddFolder(path.c_str());
  }
  std::string order;
  for (const PathNode* node = folders.Head(); node != nullptr; node = node->next) {
    order += std::to_string(node->length) + node->text[0] + " ";
  }
  EXPECT_EQ(order, "30b 30d 20c 10a ");
  PathList keys;
  keys.AddKey("Software\\A", platform::kRootCurrentUser);
  keys.AddKey("Software\\ABC", platform::kRootLocalMachine);  // greater root: in front
  keys.AddKey("S", platform::kRootClasses);
  EXPECT_STREQ(keys.Head()->text, "Software\\ABC");
  EXPECT_STREQ(keys.Head()->next->next->text, "S");
}

}  // namespace
}  // namespace install_test
