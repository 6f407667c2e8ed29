// Whole runs that the user ends early: in the middle of the files, and by refusing to go
// on after a failed self-registration. Every message box is scripted.
#include "tests/installer/install_test_support.h"

#include "platform/message_box.h"

namespace install_test {
namespace {

using sim::WizardAction;

const char kConfirmCancel[] = "Do you REALLY wish to cancel this installation?";
const char kCancelled[] =
    "You have chosen to cancel the installation. The program is only partially installed. "
    "Please re-run this installation program to complete the installation.";
constexpr uint32_t kQuestion = platform::kMbYesNo | platform::kMbIconQuestion;

std::string In(const std::string& name) { return std::string(kProgramFolder) + "\\" + name; }

const char kTail[] = R"([Shortcuts]
"{OurShortcutDir}\Tool"  {OurProgramDir}\f01.txt
[Registry]
"HKEY_CURRENT_USER\Software\Tool"
X = dword 1
)";

class CancelInstall : public InstallTest {
 protected:
  void ExpectCancelledMessage() {
    machine.user.Expect(kCancelled, "Cancelled!", platform::kMbIconInformation, platform::kIdOk);
  }
  void ExpectNothingAfterFiles() {
    EXPECT_FALSE(machine.files.Exists("C:\\WINDOWS\\Start Menu\\Programs\\Tool\\Tool.lnk"));
    EXPECT_FALSE(machine.registry.HasKey("HKCU\\Software\\Tool"));
    EXPECT_TRUE(machine.system.shellOpens.empty());
  }
};

TEST_F(CancelInstall, CancelConfirmedInTheThirdOfTenFiles) {
  std::string script = "[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\n"
                       "StartMenuFolder=Tool\n[Files]\n";
  std::vector<Source> sources;
  for (int i = 1; i <= 10; ++i) {
    const std::string name = (i < 10 ? "f0" : "f") + std::to_string(i) + ".txt";
    script += name + " {OurProgramDir}\\\n";
    sources.push_back({name, Text("file " + name)});
  }
  Build(script + kTail, sources);
  machine.ui.answers.PagePress(111, WizardAction::kNext);
  machine.ui.answers.PagePress(102, WizardAction::kNext);
  machine.ui.answers.PagePress(114, WizardAction::kFinish);
  // A first press declined goes on with the file; the second, confirmed, ends the run.
  machine.ui.answers.CancelWhenStatus(In("f02.txt"));
  machine.ui.answers.CancelWhenStatus(In("f03.txt"));
  machine.user.Expect(kConfirmCancel, "Confirm?", kQuestion, platform::kIdNo);
  machine.user.Expect(kConfirmCancel, "Confirm?", kQuestion, platform::kIdYes);
  ExpectCancelledMessage();
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();

  EXPECT_EQ(machine.files.FileBytes(In("f02.txt")), Text("file f02.txt"));
  EXPECT_TRUE(machine.files.Exists(In("f03.txt"))) << "the file being written stays";
  EXPECT_TRUE(machine.files.FileBytes(In("f03.txt")).empty()) << "cancelled before its block";
  for (int i = 4; i <= 10; ++i) {
    EXPECT_FALSE(machine.files.Exists(In((i < 10 ? "f0" : "f") + std::to_string(i) + ".txt")));
  }
  EXPECT_TRUE(machine.files.Exists(In("FINALIZE.EXE"))) << "a cancelled run deletes nothing";
  ExpectNothingAfterFiles();
  const UninstallLog log = LogOf(kUninstaller);
  ASSERT_TRUE(log.complete) << log.problem;
  ASSERT_EQ(log.files.size(), 5u);
  EXPECT_EQ(log.files[3].path, In("f03.txt"));
  EXPECT_TRUE(log.registry.empty());
}

TEST_F(CancelInstall, RefusingToGoOnAfterAFailedSelfRegistrationCancels) {
  const uint16_t version[4] = {1, 0, 0, 0};
  Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\nStartMenuFolder=Tool\n"
        "[Files]\nreg1.dll {OurProgramDir}\\\nreg2.dll {OurProgramDir}\\\n" + std::string(kTail),
        {{"reg1.dll", VersionedProgram(version, true)}, {"reg2.dll", VersionedProgram(version, true)}});
  // The newest file is registered first, and its failure ends the walk.
  machine.libraries.SetResult(In("reg2.dll"), "DllRegisterServer", 1);
  machine.ui.answers.useDefaults = true;
  machine.user.Expect("Self-registering file " + In("reg2.dll") +
                          " failed! Continue installation anyway?",
                      "Error!", kQuestion, platform::kIdNo);
  ExpectCancelledMessage();
  Install();
  ExpectCleanRun();
  ASSERT_EQ(machine.libraries.Calls().size(), 1u);
  EXPECT_EQ(machine.libraries.Calls()[0].path, In("reg2.dll"));
  ExpectNothingAfterFiles();
  const UninstallLog log = LogOf(kUninstaller);
  ASSERT_EQ(log.files.size(), 4u) << "no shortcut record";
  EXPECT_EQ(log.files[2].path, In("reg2.dll"));
  EXPECT_TRUE(log.registry.empty());
}

}  // namespace
}  // namespace install_test
