// The completion step: the one outcome message, the restart, the finalizer and the
// run-after command.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/message_box.h"
#include "runtime/setup_state.h"
#include "tests/installer/flow_test_support.h"

namespace {

using flow_test::Records;

const char kRunOnce[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kRunAfter[] = "HKLM\\SOFTWARE\\Tarnwick\\Kitwright\\RunAfter";
const char kFinalizer[] = "C:\\Prog\\FINALIZE.EXE";

class FlowCompletion : public flow_test::FlowTest {
 protected:
  // Installs a package without files, `before` setting the flags the run is to end with;
  // the message boxes shown, as caption, flags in hex and text.
  Records Install(const std::function<void()>& before,
                  const char* setup = "ProductKey = P\nRunAfter = {OurProgramDir}\\run.exe\n"
                                      "ProgramFolder = C:\\Prog\n") {
    sim::UseDefaultAnswers();
    const size_t first = machine.user.Shown().size();
    BuildAndRun(std::string("[Setup]\n") + setup, {}, before);
    Records shown;
    for (size_t i = first; i < machine.user.Shown().size(); ++i) {
      const sim::ShownPrompt& prompt = machine.user.Shown()[i];
      char flags[8];
      snprintf(flags, sizeof flags, "%X", prompt.flags);
      shown.push_back(prompt.caption + " " + flags + " " + prompt.text);
    }
    return shown;
  }
};

TEST_F(FlowCompletion, OneOutcomeMessageAndNoFinalizerWorkAfterAFailure) {
  const auto corrupt = [] { g_setup.corrupt = true; };
  const auto failed = [] { g_setup.succeeded = false; };
  machine.ui.answers.CancelWhenStatus("Initializing Finalize information...");
  EXPECT_EQ(Install(corrupt),  // a cancellation outweighs every other flag
            Records{"Cancelled! 40 You have chosen to cancel the installation. The program is "
                    "only partially installed. Please re-run this installation program to "
                    "complete the installation."});
  EXPECT_EQ(Install([&] { failed(); corrupt(); }),
            Records{"Installation Failed! 10 The installation was not successful. One of the "
                    "files appears to be corrupted. Please obtain a fresh copy of the "
                    "installation file(s) and try again."});
  EXPECT_EQ(Install(failed),
            Records{"Installation Failed! 10 The installation was not successful. One or more "
                    "files could not be written. Please ensure that no version of this program "
                    "is already running and try the installation again."});
  EXPECT_TRUE(machine.files.Exists(kFinalizer));
  EXPECT_TRUE(machine.system.shellOpens.empty());
}

TEST_F(FlowCompletion, WaitingFilesAskForARestartOnlyOnWindows9x) {
  const std::string waiting =
      "Installation complete! Some files could not be updated immediately; you will "
      "need to restart Windows to finalize the installation.";
  const auto restart = [] { g_setup.restartNeeded = true; };
  EXPECT_EQ(Install(restart), Records{"Success! 40 " + waiting});
  machine.SetFamily(sim::Family::k9x);
  const std::string asked = waiting + "\n\nMay I restart Windows now?";
  const std::string question = "Restart Windows? 44 " + asked;
  EXPECT_EQ(Install(restart), Records{question});  // the default answer: Yes
  EXPECT_EQ(machine.system.restartRequests, 1);
  machine.user.Expect(asked, "Restart Windows?", 0x44, platform::kIdNo);
  EXPECT_EQ(Install(restart),
            (Records{question,
                     "Success! 40 Remember to restart Windows before trying to use "
                     "the newly-installed program."}));
  EXPECT_EQ(machine.system.restartRequests, 1);
}

TEST_F(FlowCompletion, TheFinalizerRunsAtBootOrIsDeletedAndTheCommandOpenedAtOnce) {
  const auto atBoot = [] { g_setup.finalizeAtBoot = true; };
  // No program folder, no finalizer: nothing would read the values. (Without a program
  // folder twk build refuses a product key and {OurProgramDir}.)
  Install(atBoot, "RunAfter = C:\\run.exe\n");
  EXPECT_EQ(machine.registry.Value(kRunOnce, "TWKSetup_Finalize"), nullptr);
  EXPECT_EQ(machine.registry.Value(kRunAfter, "RunAfter"), nullptr);
  Install(atBoot);
  EXPECT_EQ(machine.registry.Text(kRunOnce, "TWKSetup_Finalize"), "C:\\Prog\\Finalize.exe");
  EXPECT_EQ(machine.registry.Text(kRunAfter, "RunAfter"), "C:\\Prog\\run.exe");
  EXPECT_TRUE(machine.files.Exists(kFinalizer));
  EXPECT_TRUE(machine.system.shellOpens.empty());
  EXPECT_EQ(Install(nullptr),
            Records{"Success! 40 Installation complete! You can use the program immediately."});
  EXPECT_FALSE(machine.files.Exists(kFinalizer));
  ASSERT_EQ(machine.system.shellOpens.size(), 1u);
  EXPECT_EQ(machine.system.shellOpens[0].command, "C:\\Prog\\run.exe");
}

}  // namespace
