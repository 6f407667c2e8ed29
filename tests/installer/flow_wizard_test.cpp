// The wizard, run through the program entry on built packages, and the folder page's
// disk-space estimate.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "installer/disk_space_estimate.h"
#include "platform/message_box.h"
#include "platform/wizard.h"
#include "tests/installer/install_test_support.h"

namespace {

using platform::kWizardBack;
using platform::kWizardFinish;
using platform::kWizardNext;
using sim::WizardAction;
using Shown = std::vector<std::pair<int, uint32_t>>;

const char kRemembered[] = "HKLM\\Software\\TWKSetup\\Prod";

class FlowWizard : public install_test::FlowTest {
 protected:
  // Installs a package of the [Setup] lines `setup`; the pages shown, with their buttons.
  Shown Install(const std::string& setup, const std::vector<install_test::Source>& files = {}) {
    sim::UseDefaultAnswers();  // scripted answers still come first
    first_ = machine.ui.pages.size();
    BuildAndRun("[Setup]\n" + setup, files);
    Shown shown;
    for (size_t i = first_; i < machine.ui.pages.size(); ++i) {
      shown.emplace_back(machine.ui.pages[i].dialog, machine.ui.pages[i].buttons);
    }
    return shown;
  }
  // Control 1000 of the `page`th page shown, as the page showed it.
  const sim::SimControl& Field(size_t page) {
    return machine.ui.pages.at(first_ + page).controls.at(1000);
  }
  std::string Remembered(const char* value) { return machine.registry.Text(kRemembered, value); }

  size_t first_ = 0;
};

TEST_F(FlowWizard, PagesAndButtonsFollowTheHeader) {
  EXPECT_EQ(Install("Title = Demo\n"), (Shown{{111, kWizardFinish}}));
  EXPECT_EQ(
      Field(0).text,
      "This program will install Demo onto your computer. If you wish to continue, click Next.");
  EXPECT_EQ(Install("Licence = l.txt\n", {{"l.txt", {'L'}}}),
            (Shown{{111, kWizardNext}, {101, kWizardBack | kWizardFinish}}));
  EXPECT_EQ(Field(1).text, "L");
  EXPECT_EQ(Install("ProgramFolder = Prog\nStartMenuFolder = Menu\n"),
            (Shown{{111, kWizardNext},
                   {102, kWizardBack | kWizardNext},
                   {114, kWizardBack | kWizardFinish}}));
}

TEST_F(FlowWizard, FoldersComeFromTheRegistryThenFromTheFieldsAsPagesAreLeft) {
  machine.registry.PutText(kRemembered, "Path", "Remembered");  // relative: gets the prefix too
  machine.registry.PutText(kRemembered, "SPath", "Old Menu");
  machine.registry.PutText("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                           "C:\\Apps");
  sim::SimAnswers& answers = machine.ui.answers;
  answers.PagePress(111, WizardAction::kNext);
  answers.PageType(102, "D:\\", WizardAction::kNext);   // one trailing '\' goes
  answers.PageType(114, "Menu2", WizardAction::kBack);  // Back stores the field too
  answers.PageType(102, "", WizardAction::kNext);       // empty: kept
  answers.PageType(114, "", WizardAction::kFinish);     // empty: kept
  Install("ProductKey = Prod\nProgramFolder = Prog\nStartMenuFolder = Menu\n");
  EXPECT_EQ(Field(1).text, "C:\\Apps\\Remembered");
  EXPECT_TRUE(Field(1).enabled);
  EXPECT_EQ(Field(2).text, "Old Menu");
  EXPECT_EQ(Remembered("Path"), "D:");
  EXPECT_EQ(Remembered("SPath"), "Menu2");
}

// A folder that nothing may be installed into is refused before anything is written or
// remembered: Next or Finish keeps the page and says why, Back leaves it without taking
// the folder. What is taken is the folder's one full form.
TEST_F(FlowWizard, TheFolderPageTakesOnlyAFullFolderInItsOneForm) {
  sim::SimAnswers& answers = machine.ui.answers;
  answers.PagePress(111, WizardAction::kNext);
  answers.PageType(102, "reltest", WizardAction::kBack);
  answers.PagePress(111, WizardAction::kNext);
  const std::string refused[] = {"reltest", "\\Tool", "C:Tool", "\\\\server\\share\\Tool",
                                 "C:\\" + std::string(273, 'x'), "C:\\a|b", "C:\\..\\x",
                                 "C:\\Apps\\con.txt", "C:\\Apps.\\x"};
  for (const std::string& typed : refused) {
    answers.PageType(102, typed, WizardAction::kFinish);
    machine.user.Expect(
        "Please enter the full path of a folder on a drive, such as C:\\Program Files\\Product, "
        "in at most 255 characters. Its names may not hold any of the characters < > : \" | ? * "
        "or end in a dot or a blank.",
        "Error!", platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  }
  answers.PageType(102, "c:/Apps/./Tool/../Demo/", WizardAction::kFinish);
  Install("ProductKey = Prod\nProgramFolder = Prog\n");
  EXPECT_EQ(Remembered("Path"), "C:\\Apps\\Demo");
  EXPECT_TRUE(machine.files.Exists("C:\\Apps\\Demo\\UNINST.EXE"));
  const install_test::Records log = UninstallLog("C:\\Apps\\Demo\\UNINST.EXE");
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(install_test::Records(log.begin(), log.begin() + 2),
            (install_test::Records{"C:\\Apps\\Demo\\FINALIZE.EXE", "C:\\Apps\\Demo\\UNINST.EXE"}));
}

TEST_F(FlowWizard, AFixedFolderIgnoresTheRememberedPathButCanBeBrowsed) {
  machine.registry.PutText(kRemembered, "Path", "C:\\Other");
  machine.ui.answers.PagePress(111, WizardAction::kNext);
  machine.ui.answers.PageBrowse(102, "C:\\Picked\\", WizardAction::kFinish);
  Install("ProductKey = Prod\nProgramFolder = C:\\Fixed\n");
  EXPECT_EQ(Field(1).text, "C:\\Fixed");
  EXPECT_FALSE(Field(1).enabled);
  ASSERT_EQ(machine.ui.browses.size(), 1u);
  EXPECT_EQ(machine.ui.browses[0].title, "Select Installation Folder");
  EXPECT_EQ(Remembered("Path"), "C:\\Picked");
}

TEST_F(FlowWizard, NoToTheCancelQuestionKeepsTheWizardOpen) {
  for (int answer : {platform::kIdNo, platform::kIdYes}) {
    machine.user.Expect("Cancel the installation of this program?", "Confirm?",
                        platform::kMbYesNo | platform::kMbIconQuestion, answer);
    machine.ui.answers.PagePress(111, WizardAction::kCancel);
  }
  Install("ProductKey = Prod\nProgramFolder = Prog\n");
  EXPECT_TRUE(machine.ui.progress.empty());
  EXPECT_FALSE(machine.registry.HasKey(kRemembered));
  EXPECT_EQ(machine.user.Shown().size(), 2u);
}

std::string Estimate(const uint32_t (&table)[8], uint32_t cluster, const char* product) {
  char text[kEstimateTextSize];
  EstimateDiskSpace(table, cluster, 73728, "C:\\P", product, text, sizeof text);
  return text;
}

std::string Text(unsigned long here, unsigned long elsewhere) {
  return "This installation may require up to " + std::to_string(here) +
         "Kb on this drive. It may require up to " + std::to_string(elsewhere) +
         "Kb on other drives depending on their formats.";
}

TEST(FlowDiskSpace, CountsTheClusterSizesWordAndOneStubPerMaintenanceProgram) {
  const uint32_t table[8] = {2000, 1010, 520, 270, 140, 75, 40, 16};
  EXPECT_EQ(Estimate(table, 512, "K"), Text(1144, 1472));
  EXPECT_EQ(Estimate(table, 4096, "K"), Text(1224, 1472));
  EXPECT_EQ(Estimate(table, 32768, "K"), Text(1472, 1472));
  EXPECT_EQ(Estimate(table, 65536, "K"), Text(1271, 1472));
  EXPECT_EQ(Estimate(table, 4096, ""), Text(1152, 1376));  // no uninstaller
  EXPECT_EQ(Estimate(table, 0, "K"), "Size requirements unavailable.");
  // Sums beyond 32 bits stay large instead of wrapping round to a small figure.
  const uint32_t huge[8] = {0xFFFFFFFFu, 0, 0, 0, 0, 0, 0xFFFFFFFFu, 0};
  EXPECT_EQ(Estimate(huge, 512, "K"), Text(2147483791ul, 4294967295ul));
}

}  // namespace
