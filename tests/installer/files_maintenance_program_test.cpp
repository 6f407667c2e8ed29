// Writing FINALIZE.EXE and UNINST.EXE: the stub copy, the trailer, the log records and
// the Add/Remove Programs entry, and what a program that cannot be written leaves.
#include <gtest/gtest.h>

#include <string>

#include "installer/maintenance_program.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "tests/installer/flow_test_support.h"

namespace {

using flow_test::Bytes;

constexpr char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prod";

class FilesMaintenanceProgram : public flow_test::FlowTest {
 protected:
  FilesMaintenanceProgram() {
    ReplaceSetupText(&g_setup.title, "Title");
    ReplaceSetupText(&g_setup.bottomText, "Bottom");
    ReplaceSetupText(&g_setup.productKeyName, "Prod");
  }
  // The installation file: the stub of PackageOffset() bytes and a package after it.
  Bytes PutInstallation(size_t stubLength) {
    Bytes file(stubLength + 300);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 7);
    machine.files.PutFile("D:\\SETUP.EXE", file);
    return Bytes(file.begin(), file.begin() + std::min<size_t>(stubLength, PackageOffset()));
  }
  static Bytes Trailer(uint8_t mode) {
    return {0, 0, 0, 0, mode, 5, 'T', 'i', 't', 'l', 'e', 6, 'B', 'o', 't', 't', 'o', 'm',
            4, 'P', 'r', 'o', 'd'};
  }
};

TEST_F(FilesMaintenanceProgram, ProgramsAreTheStubAndTheTrailerAndTheUninstallerTheLog) {
  Bytes expected = PutInstallation(PackageOffset());
  Bytes trailer = Trailer(2);
  expected.insert(expected.end(), trailer.begin(), trailer.end());
  EXPECT_TRUE(WriteMaintenanceProgram("C:\\Prog\\New\\FINALIZE.EXE", false));
  EXPECT_EQ(machine.files.FileBytes("C:\\Prog\\New\\FINALIZE.EXE"), expected);
  EXPECT_EQ(g_setup.uninstallLog, nullptr);
  EXPECT_FALSE(machine.registry.HasKey(kEntry));

  expected[expected.size() - trailer.size() + 4] = 1;  // the mode byte
  EXPECT_TRUE(WriteMaintenanceProgram("C:\\Prog\\UNINST.EXE", true));
  EXPECT_EQ(WriteLogRecord("C:\\Prog\\FINALIZE.EXE"), 21);
  EXPECT_EQ(WriteLogRecord(std::string(300, 'x').c_str()), 256);
  platform::CloseFile(g_setup.uninstallLog);
  g_setup.uninstallLog = nullptr;
  EXPECT_EQ(WriteLogRecord("late"), -1);

  const Bytes bytes = machine.files.FileBytes("C:\\Prog\\UNINST.EXE");
  ASSERT_EQ(bytes.size(), expected.size() + 21 + 256);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin()));
  EXPECT_EQ(UninstallLog("C:\\Prog\\UNINST.EXE"),
            flow_test::Records({"C:\\Prog\\FINALIZE.EXE", std::string(255, 'x')}));
  EXPECT_EQ(machine.registry.Text(kEntry, "DisplayName"), "Prod");
  EXPECT_EQ(machine.registry.Text(kEntry, "UninstallString"), "C:\\Prog\\UNINST.EXE");
}

TEST_F(FilesMaintenanceProgram, AProgramThatCannotBeWrittenIsReportedAndRemoved) {
  // The running file ends inside its stub: the copy must stop and leave nothing behind.
  PutInstallation(PackageOffset() / 2 - 300);
  machine.user.Expect("Could not write the file C:\\Prog\\UNINST.EXE.", "Error!",
                      platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  EXPECT_FALSE(WriteMaintenanceProgram("C:\\Prog\\UNINST.EXE", true));
  EXPECT_FALSE(machine.files.Exists("C:\\Prog\\UNINST.EXE"));
  EXPECT_FALSE(machine.registry.HasKey(kEntry));
  EXPECT_EQ(g_setup.uninstallLog, nullptr);
  EXPECT_FALSE(g_setup.succeeded);

  // A folder that cannot be made has already spoken through its own message.
  machine.files.PutFile("C:\\Blocked", {});
  EXPECT_FALSE(WriteMaintenanceProgram("C:\\Blocked\\FINALIZE.EXE", false));
}

}  // namespace
