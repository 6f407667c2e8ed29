// The self-registration phase: which files are loaded, in which order, and what a
// failure asks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/dll_registration.h"
#include "platform/message_box.h"
#include "runtime/setup_state.h"
#include "tests/installer/flow_test_support.h"
#include "tests/installer/install_test_support.h"

namespace {

class FilesSelfRegistration : public flow_test::FlowTest {
 protected:
  // Puts the files in extraction order: a marked library for each `marked`, a plain
  // text file otherwise; then runs the phase.
  bool Register(const std::vector<std::pair<std::string, bool>>& files) {
    const uint16_t version[4] = {1, 0, 0, 0};
    for (const auto& [path, marked] : files) {
      machine.files.PutFile(path, marked ? install_test::VersionedProgram(version, true)
                                         : flow_test::Bytes{'t'});
      AddSelfRegistration(path.c_str());
    }
    bool result = false;
    RunPhase({}, [&](platform::Window dialog) { result = RegisterExtractedDlls(dialog); });
    return result;
  }
  void ExpectFailure(const std::string& path, int answer) {
    machine.user.Expect("Self-registering file " + path + " failed! Continue installation anyway?",
                        "Error!", platform::kMbYesNo | platform::kMbIconQuestion, answer);
  }
  std::vector<std::string> Called() const {
    std::vector<std::string> called;
    for (const sim::EntryPointCall& call : machine.libraries.Calls()) {
      called.push_back(call.path + " " + call.entryPoint);
    }
    return called;
  }
};

TEST_F(FilesSelfRegistration, RegistersMarkedFilesNewestFirstAndAsksAfterAFailure) {
  machine.libraries.SetResult("C:\\R\\d.dll", "DllRegisterServer", 1);  // S_FALSE fails
  ExpectFailure("C:\\R\\d.dll", platform::kIdYes);
  EXPECT_TRUE(Register({{"C:\\R\\a.dll", true}, {"C:\\R\\b.txt", false},
                        {"C:\\R\\c.dll", true}, {"C:\\R\\d.dll", true}}));
  EXPECT_EQ(Called(), std::vector<std::string>({"C:\\R\\d.dll DllRegisterServer",
                                                "C:\\R\\c.dll DllRegisterServer",
                                                "C:\\R\\a.dll DllRegisterServer"}));
  EXPECT_EQ(machine.libraries.Loads().size(), 3u);  // the text file is never loaded
  EXPECT_EQ(machine.libraries.LoadedCount(), 0u);
  EXPECT_EQ(g_setup.selfRegistrations, nullptr);
  EXPECT_EQ(machine.ui.progress.at(0).statusTexts,
            std::vector<std::string>({"Registering DLLs..."}));
}

TEST_F(FilesSelfRegistration, NoAfterAFailureStopsAtOnce) {
  machine.libraries.SetMissing("C:\\R\\f.dll", "DllRegisterServer");
  ExpectFailure("C:\\R\\f.dll", platform::kIdNo);
  EXPECT_FALSE(Register({{"C:\\R\\e.dll", true}, {"C:\\R\\f.dll", true}}));
  EXPECT_TRUE(Called().empty());
  EXPECT_EQ(g_setup.selfRegistrations, nullptr);
}

}  // namespace
