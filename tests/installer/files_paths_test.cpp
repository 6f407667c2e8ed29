// Path macros, folder creation and next-boot work on the simulated Windows.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "engine/folder_creation.h"
#include "engine/next_boot.h"
#include "engine/path_macros.h"
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
