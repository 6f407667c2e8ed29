// The list phases: how shortcut lines split, which names get ".lnk", and what is logged;
// what a registry list writes to the registry and to the uninstall log, and the
// installer's own keys logged after it.
#include <gtest/gtest.h>

#include <string>

#include "installer/registry_entries.h"
#include "installer/shortcuts.h"
#include "platform/message_box.h"
#include "platform/sim/machine/sim_shell_link.h"
#include "platform/system.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "tests/installer/install_test_support.h"

namespace {

using install_test::ListBytes;
using install_test::Records;
using FlowShortcuts = install_test::FlowTest;
using FlowRegistry = install_test::FlowTest;
using Data = std::vector<uint8_t>;

TEST_F(FlowShortcuts, EachLinkIsMadeAndLoggedEvenWhenItFailsUpToALineWithoutEquals) {
  ReplaceSetupText(&g_setup.programFolder, "C:\\Prog");
  ReplaceSetupText(&g_setup.startMenuFolder, "Menu");
  machine.files.PutFile("C:\\Blocker", {});
  machine.user.Expect("Could not create target directory.", "Error!",
                      platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  install_test::Bytes package = ListBytes(
      {"{OurShortcutDir}\\App={OurProgramDir}\\App.exe?a=b\t/x=1",
       "{OurShortcutDir}\\Readme 1.0={OurProgramDir}\\r.txt\t\t{OurProgramDir}\tX",
       "C:\\Blocker\\Bad=C:\\x.exe", "no equals", "{OurShortcutDir}\\Never=C:\\y.exe"});
  const install_test::Bytes registryList = ListBytes({"NEXT"});
  package.insert(package.end(), registryList.begin(), registryList.end());
  std::string after;
  const Records log = RunPhase(package, [&after](platform::Window dialog) {
    platform::InitializeOle();  // as the extraction run does before its phases
    EXPECT_TRUE(CreateShortcuts(dialog));
    platform::UninitializeOle();
    after = ReadStringRecord();
  });
  EXPECT_EQ(after, "NEXT");  // the rest of the list is read past, not left to the registry
  const std::string menu = "C:\\WINDOWS\\Start Menu\\Programs\\Menu\\";
  EXPECT_EQ(log, (Records{menu + "App.lnk", menu + "Readme 1.0", "C:\\Blocker\\Bad.lnk"}));
  sim::SimShellLink link;
  ASSERT_TRUE(sim::ReadShellLink(machine.files, menu + "App.lnk", &link));
  EXPECT_EQ((Records{link.target, link.arguments, link.workingFolder}),
            (Records{"C:\\Prog\\App.exe?a=b", "/x=1", ""}));
  ASSERT_TRUE(sim::ReadShellLink(machine.files, menu + "Readme 1.0", &link));
  EXPECT_EQ((Records{link.target, link.arguments, link.workingFolder}),
            (Records{"C:\\Prog\\r.txt", "", "C:\\Prog\tX"}));
}

const std::string kAbc = "HKEY_LOCAL_MACHINE\\Software\\Abc";

std::string Raw(std::initializer_list<char> bytes) { return std::string(bytes); }

void RunRegistryPhase(platform::Window dialog) { EXPECT_TRUE(CreateRegistryEntries(dialog)); }

TEST_F(FlowRegistry, WritesEachKindOfValueAndLogsKeysAndNames) {
  ReplaceSetupText(&g_setup.productKeyName, "Prod");
  ReplaceSetupText(&g_setup.programFolder, "C:\\Prog");
  const Records log =
      RunPhase(ListBytes({":hkey_local_machine\\Software\\Abc", "@=Sabc",
                          "Num=D" + Raw({1, 0, 0, 0}), "Bin=B" + Raw({3, 0, 0x0A, 0, 0x0B}),
                          "Gone=N", "Cmd=S{OurProgramDir}\\App.exe \"%L\"", "Short=D" + Raw({1, 0}),
                          "Long=B" + Raw({5, 0, 1, 2}), "plain line", ":HKEY_USERS\\x", "After=Sx",
                          ":HKEY_CURRENT_USER\\Software\\Abc\\Deep", "=Sdefault"}),
               RunRegistryPhase);
  EXPECT_EQ(log, (Records{":hkey_local_machine\\Software\\Abc", "@", "Num", "Bin", "Gone", "Cmd",
                          "plain line", "After", "", ":HKEY_CURRENT_USER\\Software\\Abc\\Deep", "@",
                          "", ":HKEY_LOCAL_MACHINE\\Software\\TWKSetup\\Prod", "Path", "SPath", "",
                          ":HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                          "Uninstall\\Prod",
                          "DisplayName", "UninstallString", "QuietUninstallString", ""}));
  const sim::SimRegistry& registry = machine.registry;
  EXPECT_EQ(registry.Text(kAbc, ""), "abc");
  EXPECT_EQ(registry.Text(kAbc, "Cmd"), "C:\\Prog\\App.exe \"%L\"");
  EXPECT_EQ(registry.Text(kAbc, "After"), "x");  // the unknown root left Abc current
  ASSERT_NE(registry.Value(kAbc, "Num"), nullptr);
  EXPECT_EQ(registry.Value(kAbc, "Num")->type, platform::kRegNumber);
  EXPECT_EQ(registry.Value(kAbc, "Num")->data, (Data{1, 0, 0, 0}));
  ASSERT_NE(registry.Value(kAbc, "Bin"), nullptr);
  EXPECT_EQ(registry.Value(kAbc, "Bin")->type, platform::kRegBinary);
  EXPECT_EQ(registry.Value(kAbc, "Bin")->data, (Data{0x0A, 0, 0x0B}));
  for (const char* name : {"Gone", "Short", "Long"}) EXPECT_EQ(registry.Value(kAbc, name), nullptr);
  EXPECT_EQ(registry.Text("HKEY_CURRENT_USER\\Software\\Abc\\Deep", ""), "default");
  EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST_F(FlowRegistry, LinesOutsideAKeyAreNeitherWrittenNorLogged) {
  // Logged, they would make the uninstaller pass over the next key together with them.
  const Records log = RunPhase(ListBytes({"Orphan=Sx", ":HKEY_USERS\\y", "Other=Sz",
                                          ":HKEY_CLASSES_ROOT\\.abc", "@=SAbcFile"}),
                               RunRegistryPhase);
  EXPECT_EQ(log, (Records{":HKEY_CLASSES_ROOT\\.abc", "@", ""}));
  EXPECT_EQ(machine.registry.Text("HKEY_CLASSES_ROOT\\.abc", ""), "AbcFile");
}

}  // namespace
