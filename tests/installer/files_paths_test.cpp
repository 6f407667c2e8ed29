// Path macros, folder creation and next-boot work on the simulated Windows.
#include <gtest/gtest.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "engine/folder_creation.h"
#include "engine/next_boot.h"
#include "engine/path_macros.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/sim/machine/sim_profile.h"
#include "platform/system.h"
#include "runtime/setup_state.h"
#include "tests/installer/install_test_support.h"

namespace {

class FilesPaths : public install_test::FlowTest {
 protected:
  static std::string Expand(const std::string& path, bool* usable = nullptr) {
    char buffer[kPathBufferSize] = {};
    snprintf(buffer, sizeof(buffer), "%s", path.c_str());
    const bool result = ExpandPathMacros(buffer);
    if (usable != nullptr) *usable = result;
    return buffer;
  }
};

TEST_F(FilesPaths, ExpandsTheFirstBraceGroupByItsComparedCharacters) {
  ReplaceSetupText(&g_setup.programFolder, "C:\\Prog");
  machine.system.windowsFolder = "D:\\WIN";
  EXPECT_EQ(Expand("{OurProgramDir}\\UNINST.EXE"), "C:\\Prog\\UNINST.EXE");
  EXPECT_EQ(Expand("{ourPROGRAMdirectory}\\x"), "C:\\Prog\\x");
  EXPECT_EQ(Expand("a{OurProgramDir\\x"), "aC:\\Prog");
  EXPECT_EQ(Expand("{OurProg"), "{OurProg");
  EXPECT_EQ(Expand("{WinDir\\x"), "{WinDir\\x");
  EXPECT_EQ(Expand("{WinDirectory}\\x"), "{WinDirectory}\\x");
  EXPECT_EQ(Expand("x{windir}\\{WinSysDir}"), "xD:\\WIN\\{WinSysDir}");
  EXPECT_EQ(Expand("{Foo}\\{WinDir}"), "{Foo}\\{WinDir}");
  EXPECT_EQ(Expand("{WinDrive}:\\Data"), "D:\\Data");
  EXPECT_EQ(Expand("{OurShortcutDir}"), "C:\\WINDOWS\\Start Menu\\Programs\\");
  ReplaceSetupText(&g_setup.startMenuFolder, "Tool");
  EXPECT_EQ(Expand("{OURSHORTCUTDIRX}\\A.lnk"), "C:\\WINDOWS\\Start Menu\\Programs\\Tool\\A.lnk");
}

TEST_F(FilesPaths, RefusesAnExpansionPastTheBufferAndEmptiesUnknownShellFolders) {
  ReplaceSetupText(&g_setup.programFolder, ("C:\\" + std::string(250, 'p')).c_str());
  bool usable = false;
  EXPECT_EQ(Expand("{OurProgramDir}\\a", &usable).size(), 255u);
  EXPECT_TRUE(usable);
  EXPECT_EQ(Expand("{OurProgramDir}\\ab", &usable), "{OurProgramDir}\\ab");
  EXPECT_FALSE(usable);
  machine.system.shellFolders.erase(platform::kShellStartup);
  EXPECT_EQ(Expand("{StartUp}\\x.lnk", &usable), "\\x.lnk");
  EXPECT_TRUE(usable);
}

// What the SDDL text of a folder lets each account do: the accounts with a right to
// change the folder or what it holds, and those that may read and run what it holds.
struct FolderRights {
  bool protectedList = false;  // the parent's entries are not inherited
  bool inheritedBelow = true;  // every entry passes to the files and folders below
  std::set<std::string> writers;
  std::set<std::string> readers;
};

FolderRights RightsOf(const std::string& sddl) {
  // GENERIC_WRITE, GENERIC_ALL, FILE_WRITE_DATA, FILE_APPEND_DATA, FILE_WRITE_EA,
  // FILE_DELETE_CHILD, FILE_WRITE_ATTRIBUTES, DELETE, WRITE_DAC, WRITE_OWNER.
  constexpr unsigned long kWrite = 0x50000000ul | 0x2 | 0x4 | 0x10 | 0x40 | 0x100 | 0x10000 |
                                   0x40000 | 0x80000;
  constexpr unsigned long kReadAndRun = 0x1 | 0x20;  // FILE_READ_DATA, FILE_EXECUTE
  FolderRights rights;
  EXPECT_EQ(sddl.rfind("D:", 0), 0u) << sddl;
  const size_t firstEntry = sddl.find('(');
  rights.protectedList = sddl.substr(2, firstEntry - 2).find('P') != std::string::npos;
  for (size_t at = firstEntry; at != std::string::npos; at = sddl.find('(', at + 1)) {
    std::vector<std::string> fields;
    std::string field;
    for (size_t i = at + 1; i < sddl.size() && sddl[i] != ')'; ++i) {
      if (sddl[i] == ';') {
        fields.push_back(field);
        field.clear();
      } else {
        field += sddl[i];
      }
    }
    fields.push_back(field);
    EXPECT_EQ(fields.size(), 6u) << sddl;
    EXPECT_EQ(fields[0], "A") << "only entries that allow";
    rights.inheritedBelow = rights.inheritedBelow && fields[1] == "OICI";
    const unsigned long mask = fields[2] == "FA" ? 0x1F01FFul : std::stoul(fields[2], nullptr, 16);
    if (mask & kWrite) rights.writers.insert(fields[5]);
    if ((mask & kReadAndRun) == kReadAndRun) rights.readers.insert(fields[5]);
  }
  return rights;
}

// A folder made outside the folders Windows owns lets only administrators and SYSTEM
// change it, and users read and run what it holds; one made inside them keeps what
// Windows set up there. Windows 9x has no security to give.
TEST_F(FilesPaths, FoldersMadeOutsideThoseWindowsOwnLetOnlyAdministratorsWrite) {
  const FolderRights rights = RightsOf(platform::kAdministratorsOnlySddl);
  EXPECT_TRUE(rights.protectedList);
  EXPECT_TRUE(rights.inheritedBelow);
  EXPECT_EQ(rights.writers, (std::set<std::string>{"BA", "SY"}));
  EXPECT_EQ(rights.readers, (std::set<std::string>{"BA", "BU", "SY"}));

  machine.files.PutFolder("D:\\");
  for (const char* path : {"C:\\Apps\\Tool\\a.txt", "D:\\Tool\\a.txt",
                           "C:\\Program Files\\Tool\\sub\\a.txt",
                           "C:\\WINDOWS\\Start Menu\\Programs\\Tool\\Tool.lnk"}) {
    EXPECT_TRUE(EnsureFolders(nullptr, path)) << path;
  }
  for (const char* folder : {"C:\\Apps", "C:\\Apps\\Tool", "D:\\Tool"}) {
    EXPECT_EQ(machine.files.FolderSecurity(folder), platform::kAdministratorsOnlySddl) << folder;
  }
  for (const char* folder : {"C:\\Program Files\\Tool", "C:\\Program Files\\Tool\\sub",
                             "C:\\WINDOWS\\Start Menu\\Programs\\Tool"}) {
    EXPECT_EQ(machine.files.FolderSecurity(folder), "") << folder;
  }
  machine.SetFamily(sim::Family::k9x);
  EXPECT_TRUE(EnsureFolders(nullptr, "C:\\Apps9x\\a.txt"));
  EXPECT_EQ(machine.files.FolderSecurity("C:\\Apps9x"), "");
}

TEST_F(FilesPaths, EnsureFoldersCreatesTopDownAndReportsOnlyTheFirstFailure) {
  EXPECT_TRUE(EnsureFolders(nullptr, "C:\\A\\B\\f.txt"));
  EXPECT_TRUE(machine.files.IsFolder("C:\\A\\B"));
  EXPECT_FALSE(machine.files.Exists("C:\\A\\B\\f.txt"));
  EXPECT_TRUE(EnsureFolders(nullptr, "C:\\f.txt"));
  EXPECT_TRUE(EnsureFolders(nullptr, "f.txt"));
  EXPECT_TRUE(g_setup.succeeded);

  machine.files.PutFile("C:\\F", {});
  machine.user.Expect("Could not create target directory.", "Error!",
                      platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  EXPECT_FALSE(EnsureFolders(nullptr, "C:\\F\\G\\x.txt"));
  EXPECT_FALSE(g_setup.succeeded);
  EXPECT_FALSE(EnsureFolders(nullptr, "C:\\F\\y.txt"));  // no second message
  EXPECT_FALSE(machine.files.Exists("C:\\F\\G"));
}

TEST_F(FilesPaths, NextBootWorkOn9xUsesWininitForShortNamesOnly) {
  machine.SetFamily(sim::Family::k9x);
  for (const char* path : {"C:\\APP\\X.DLL", "C:\\APP\\X.DLL.NewTemp", "C:\\APP\\U.EXE",
                           "C:\\APP\\V.EXE", "C:\\Long Name\\Tool.dll",
                           "C:\\Long Name\\Tool.dll.NewTemp"}) {
    machine.files.PutFile(path, {1});
  }
  ReplaceFileAtNextBoot("c:\\app\\x.dll", "c:\\app\\x.dll.NewTemp");  // short, other case
  EXPECT_FALSE(FinalizeAtBoot());
  ReplaceFileAtNextBoot("C:\\Long Name\\Tool.dll", "C:\\Long Name\\Tool.dll.NewTemp");
  EXPECT_TRUE(FinalizeAtBoot());
  DeleteFileAtNextBoot("C:\\APP\\U.EXE");
  DeleteFileAtNextBoot("C:\\APP\\V.EXE");  // replaces the first "NUL" entry

  using Entry = std::pair<std::string, std::string>;
  const std::vector<Entry> expected = {
      {machine.files.ShortPath("c:\\app\\x.dll"), machine.files.ShortPath("c:\\app\\x.dll.NewTemp")},
      {"NUL", machine.files.ShortPath("C:\\APP\\V.EXE")}};
  EXPECT_EQ(sim::ReadProfileSection(machine.files.HostPath("C:\\WINDOWS\\WININIT.INI"), "rename"),
            expected);
  EXPECT_TRUE(machine.system.bootMoves.empty());
  EXPECT_TRUE(RestartNeeded());
}

}  // namespace
