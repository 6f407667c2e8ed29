// The simulated user interface itself, where a whole run cannot reach: the faults of a
// program that it must catch, and the answers it gives on its own.
#include "platform/background_window.h"
#include "platform/message_box.h"
#include "platform/progress_dialog.h"
#include "platform/wizard.h"
#include "tests/installer/install_test_support.h"

namespace install_test {
namespace {

using platform::Window;
using platform::WizardEvent;
using sim::WizardAction;

std::vector<std::string> g_events;

// A page that offers Next only, keeps its browse result in its field and lets the user
// leave.
bool NextOnlyPage(Window page, WizardEvent event) {
  g_events.push_back(std::to_string(static_cast<int>(event)));
  if (event == WizardEvent::kActivate) platform::SetWizardButtons(page, platform::kWizardNext);
  if (event == WizardEvent::kBrowse) {
    char folder[256];
    if (platform::BrowseForFolder(page, "Pick", folder, sizeof folder)) {
      platform::SetPageText(page, 1000, folder);
    }
  }
  return true;
}

class SimUi : public InstallTest {
 protected:
  void SetUp() override { g_events.clear(); }
  std::string ErrorsText() const {
    std::string all;
    for (const std::string& error : machine.errors) all += error + "\n";
    return all;
  }
};

TEST_F(SimUi, WizardCatchesButtonsThePageDoesNotOfferAndUnscriptedPages) {
  const platform::WizardPage pages[] = {{102, NextOnlyPage}, {114, NextOnlyPage}};
  machine.ui.answers.PageBrowse(102, "D:\\Games", WizardAction::kNext);
  machine.ui.answers.PagePress(114, WizardAction::kFinish);  // only Next is offered
  EXPECT_FALSE(platform::RunWizard(nullptr, nullptr, pages, 2));
  EXPECT_NE(ErrorsText().find("cannot press finish on page 114"), std::string::npos);
  ASSERT_EQ(machine.ui.browses.size(), 1u);
  EXPECT_EQ(machine.ui.browses[0].folder, "D:\\Games");
  // Created once, activated and shown, then the browse click and Next.
  EXPECT_EQ(g_events, (std::vector<std::string>{"0", "1", "7", "6", "3", "0", "1", "7"}));

  machine.errors.clear();
  machine.ui.answers.PagePress(111, WizardAction::kNext);
  EXPECT_FALSE(platform::RunWizard(nullptr, nullptr, pages, 2));
  EXPECT_NE(ErrorsText().find("unexpected wizard page 102"), std::string::npos);
  EXPECT_EQ(machine.ui.answers.PendingCount(), 1u) << "a mismatch keeps the script";
}

void EndlessWorker(Window dialog) { platform::StepProgress(dialog, platform::kProgressOverallBar); }
void ExitingWorker(Window) { throw sim::SimulatedExit{1}; }
int g_cancels = 0;
void CountCancel() { ++g_cancels; }
void StepFiveTimes(Window dialog) {
  platform::SetProgressRange(dialog, platform::kProgressOverallBar, 3);
  for (int i = 0; i < 5; ++i) platform::StepProgress(dialog, platform::kProgressOverallBar);
  platform::EndProgressDialog(dialog);
  platform::SetControlText(dialog, platform::kProgressStatusText, "too late");
}

TEST_F(SimUi, ProgressDialogCatchesWorkerFaultsAndPressesCancelOnCue) {
  platform::RunProgressDialog(nullptr, nullptr, EndlessWorker, CountCancel);
  EXPECT_NE(ErrorsText().find("returned without ending the dialog"), std::string::npos);

  machine.errors.clear();
  EXPECT_THROW(platform::RunProgressDialog(nullptr, nullptr, ExitingWorker, CountCancel),
               sim::SimulatedExit);

  machine.errors.clear();
  machine.ui.answers.CancelAfterSteps(2);
  platform::RunProgressDialog(nullptr, nullptr, StepFiveTimes, CountCancel);
  EXPECT_EQ(g_cancels, 1);
  const sim::ProgressRecord& record = machine.ui.progress.back();
  EXPECT_EQ(record.events.at(3).kind, sim::ProgressEvent::Kind::kCancelPressed)
      << "pressed right after the second step";
  EXPECT_EQ(record.overallBar.position, 3u);
  EXPECT_EQ(record.overallBar.stepsBeyondRange, 2u);
  EXPECT_NE(ErrorsText().find("the progress dialog has ended"), std::string::npos);
}

void NoClose(platform::Instance, Window) {}

TEST_F(SimUi, DefaultAnswersAndARunThatNeverCloses) {
  EXPECT_EQ(platform::RunBackgroundWindow(nullptr, 1025, NoClose, true), 1);
  EXPECT_NE(ErrorsText().find("without posting the close message"), std::string::npos);

  machine.errors.clear();
  sim::UseDefaultAnswers();
  EXPECT_EQ(platform::ShowMessageBox(nullptr, "q", "c", platform::kMbYesNo | platform::kMbDefaultButton2),
            platform::kIdNo);
  EXPECT_EQ(platform::RunOverwriteDialog(nullptr, nullptr, 116, "C:\\x"), 1009);
  EXPECT_EQ(platform::RunOverwriteDialog(nullptr, nullptr, 117, "C:\\x"), 2);
  // A disk asked for again and again is a loop, not a user's patience.
  int answer = platform::kIdOk;
  for (int i = 0; i < 50 && answer == platform::kIdOk; ++i) {
    answer = platform::ShowMessageBox(nullptr, "Insert disk 2", "Next disk, please...",
                                      platform::kMbOkCancel);
  }
  EXPECT_EQ(answer, platform::kIdCancel);
  EXPECT_EQ(machine.errors.size(), 1u);
}

}  // namespace
}  // namespace install_test
