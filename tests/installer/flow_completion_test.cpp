// The completion step: one outcome message whatever else went wrong, and no finalizer
// work after a failure or where no program folder holds the finalizer.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/message_box.h"
#include "runtime/setup_state.h"
#include "tests/installer/install_test_support.h"

namespace {

using install_test::Records;

const char kRunOnce[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kRunAfter[] = "HKLM\\SOFTWARE\\Tarnwick\\Kitwright\\RunAfter";
const char kFinalizer[] = "C:\\Prog\\FINALIZE.EXE";

class FlowCompletion : public install_test::FlowTest {
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

// Nothing would read the values: without a program folder there is no finalizer. (Without
// one twk build refuses a product key and {OurProgramDir}.)
TEST_F(FlowCompletion, WithoutAProgramFolderNothingWaitsForAFinalizer) {
  Install([] { g_setup.finalizeAtBoot = true; }, "RunAfter = C:\\run.exe\n");
  EXPECT_EQ(machine.registry.Value(kRunOnce, "TWKSetup_Finalize"), nullptr);
  EXPECT_EQ(machine.registry.Value(kRunAfter, "RunAfter"), nullptr);
}

}  // namespace
