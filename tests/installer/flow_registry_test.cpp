// The registry phase: what a registry list writes to the registry and to the uninstall
// log, and the installer's own keys logged after it.
#include <gtest/gtest.h>

#include <string>

#include "installer/registry_entries.h"
#include "runtime/setup_state.h"
#include "tests/installer/flow_test_support.h"

namespace {

using flow_test::ListBytes;
using flow_test::Records;
using FlowRegistry = flow_test::FlowTest;
using Data = std::vector<uint8_t>;

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
