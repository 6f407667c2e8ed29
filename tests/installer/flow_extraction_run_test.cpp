// The extraction run: the order of its phases, and what a cancellation, a failed file or
// a missing product key leaves out.
#include <gtest/gtest.h>

#include <string>

#include "platform/message_box.h"
#include "tests/installer/flow_test_support.h"

namespace {

using flow_test::Records;

const std::string kLink = "C:\\WINDOWS\\Start Menu\\Programs\\Menu\\App.lnk";
const char kFlowKey[] = "HKLM\\Software\\Flow";
const char kUninstaller[] = "C:\\Prog\\UNINST.EXE";

class FlowExtractionRun : public flow_test::FlowTest {
 protected:
  // Ten one-block files f1.txt ... f10.txt, a shortcut, a registry key and a run-after
  // command; file number `blocked` goes to a folder that cannot be made.
  void Install(const std::string& productKey, int blocked = 0) {
    std::string script =
        "[Setup]\nProgramFolder = C:\\Prog\nStartMenuFolder = Menu\nRunAfter = "
        "{OurProgramDir}\\f1.txt\n" +
        (productKey.empty() ? "" : "ProductKey = " + productKey + "\n") + "[Files]\n";
    flow_test::Files files;
    for (int i = 1; i <= 10; ++i) {
      files.push_back({"f" + std::to_string(i) + ".txt", flow_test::Bytes(100, 'a')});
      script +=
          files.back().first + " {OurProgramDir}\\" + (i == blocked ? "Blocker\\" : "") + "\n";
    }
    script +=
        "[Shortcuts]\n\"{OurShortcutDir}\\App\" {OurProgramDir}\\f1.txt\n"
        "[Registry]\nHKEY_LOCAL_MACHINE\\Software\\Flow\nInstalled = dword 1\n";
    if (blocked != 0) machine.files.PutFile("C:\\Prog\\Blocker", {});
    sim::UseDefaultAnswers();
    BuildAndRun(script, files);
    status_ = machine.ui.progress.at(0).statusTexts;
    outcome_ = machine.user.Shown().back().caption;
  }
  // The expected log: the FINALIZE.EXE record, f1 ... f`last`, then `rest`.
  static Records Log(int last, const Records& rest) {
    Records log{"C:\\Prog\\FINALIZE.EXE"};
    for (int i = 1; i <= last; ++i) log.push_back("C:\\Prog\\f" + std::to_string(i) + ".txt");
    log.insert(log.end(), rest.begin(), rest.end());
    return log;
  }

  Records status_;
  std::string outcome_;
};

TEST_F(FlowExtractionRun, RunsEveryPhaseInOrder) {
  Install("Prod");
  // The file paths in their place, behind the two maintenance programs' texts.
  Records status =
      Log(10, {"Registering DLLs...", "Creating shortcuts...", "Creating registry entries..."});
  status[0] = "Initializing Uninstall information...";
  status.insert(status.begin(), "Initializing Finalize information...");
  EXPECT_EQ(status_, status);
  EXPECT_EQ(
      UninstallLog(kUninstaller),
      Log(10, {kLink, kUninstaller, "", ":HKEY_LOCAL_MACHINE\\Software\\Flow", "Installed", "",
               ":HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prod",
               "EstimatedSize", "NoModify", "NoRepair", "",
               ":HKEY_LOCAL_MACHINE\\Software\\TWKSetup\\Prod", "Path", "SPath", "",
               ":HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prod",
               "DisplayName", "UninstallString", "QuietUninstallString", "", ""}));
  const sim::ProgressRecord& dialog = machine.ui.progress.at(0);
  EXPECT_EQ(dialog.overallBar.range, 10u);
  EXPECT_EQ(dialog.overallBar.position, 10u);
  EXPECT_FALSE(dialog.cancelButtonVisible);
  EXPECT_EQ(outcome_, "Success!");
}

TEST_F(FlowExtractionRun, CancelInTheThirdFileSkipsEveryLaterPhase) {
  machine.ui.answers.CancelWhenStatus("C:\\Prog\\f3.txt");
  machine.user.Expect("Do you REALLY wish to cancel this installation?", "Confirm?",
                      platform::kMbYesNo | platform::kMbIconQuestion, platform::kIdYes);
  Install("Prod");
  EXPECT_EQ(status_.back(), "C:\\Prog\\f3.txt");
  EXPECT_EQ(UninstallLog(kUninstaller), Log(3, {kUninstaller, "", ""}));
  EXPECT_FALSE(machine.files.Exists("C:\\Prog\\f4.txt"));
  EXPECT_FALSE(machine.registry.HasKey(kFlowKey));
  EXPECT_EQ(outcome_, "Cancelled!");
}

// The stream stands inside the failed file: no list after it can be read.
TEST_F(FlowExtractionRun, AFailedFileLeavesTheListsAfterItUnread) {
  Install("Prod", 5);
  EXPECT_EQ(status_.back(), "Registering DLLs...");
  EXPECT_EQ(UninstallLog(kUninstaller), Log(4, {kUninstaller, "", ""}));
  EXPECT_FALSE(machine.files.Exists(kLink));
  EXPECT_FALSE(machine.registry.HasKey(kFlowKey));
  EXPECT_TRUE(machine.system.shellOpens.empty());
  EXPECT_EQ(outcome_, "Installation Failed!");
}

TEST_F(FlowExtractionRun, WithoutAProductKeyOnlyTheUninstallerIsMissing) {
  Install("");
  EXPECT_FALSE(machine.files.Exists(kUninstaller));
  EXPECT_TRUE(machine.files.Exists(kLink));
  EXPECT_TRUE(machine.registry.HasKey(kFlowKey));
  EXPECT_EQ(outcome_, "Success!");
}

}  // namespace
