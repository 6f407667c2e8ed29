// The shortcut phase: how lines split, which names get ".lnk", and what is logged.
#include <gtest/gtest.h>

#include <string>

#include "installer/shortcuts.h"
#include "platform/message_box.h"
#include "platform/sim/machine/sim_shell_link.h"
#include "platform/system.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "tests/installer/flow_test_support.h"

namespace {

using flow_test::Records;
using FlowShortcuts = flow_test::FlowTest;

TEST_F(FlowShortcuts, EachLinkIsMadeAndLoggedEvenWhenItFailsUpToALineWithoutEquals) {
  ReplaceSetupText(&g_setup.programFolder, "C:\\Prog");
  ReplaceSetupText(&g_setup.startMenuFolder, "Menu");
  machine.files.PutFile("C:\\Blocker", {});
  machine.user.Expect("Could not create target directory.", "Error!",
                      platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  flow_test::Bytes package = flow_test::ListBytes(
      {"{OurShortcutDir}\\App={OurProgramDir}\\App.exe?a=b\t/x=1",
       "{OurShortcutDir}\\Readme 1.0={OurProgramDir}\\r.txt\t\t{OurProgramDir}\tX",
       "C:\\Blocker\\Bad=C:\\x.exe", "no equals", "{OurShortcutDir}\\Never=C:\\y.exe"});
  const flow_test::Bytes registryList = flow_test::ListBytes({"NEXT"});
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

}  // namespace
