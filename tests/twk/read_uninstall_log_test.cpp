// The maintenance programs read back: a complete uninstall log, a cut-short one, a
// finalizer, and an installer given in their place.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/twk/read_fixture.h"
#include "tests/twk/read_sample_package.h"
#include "twk/common/exit_codes.h"
#include "twk/reader/uninstall_log.h"
#include "twk/reader_commands.h"

namespace {

const std::vector<std::string> kLog = {
    "C:\\Prog\\FINALIZE.EXE", "C:\\Win\\System\\shared.dll\t", "C:\\Prog\\App.exe",
    "C:\\Prog\\..\\boot.ini",
    "C:\\Menu\\App.lnk", "C:\\Prog\\UNINST.EXE", "",
    // The installer logs value lines that come before any key line without a key.
    "Stray", ":HKEY_CLASSES_ROOT\\.abc", "@", "", ":hkey_local_machine\\Software\\Abc", "Count",
    "Data", "", ":HKEY_LOCAL_MACHINE\\Software\\TWKSetup\\TestProduct", "Path", "SPath", "",
    ":HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TestProduct",
    "DisplayName", "UninstallString", "", ""};

int Log(const std::string& path, std::string* out, std::string* err) {
  std::ostringstream output, errors;
  const int code = LogMaintenanceProgram(path, output, errors);
  *out = output.str();
  *err = errors.str();
  return code;
}

TEST(ReadUninstallLog, ReadsBothSectionsAsTheUninstallerDoes) {
  ScratchFolder scratch;
  WriteBytes(scratch / "UNINST.EXE", MaintenanceProgram(1, kLog));
  const UninstallLog log = ReadUninstallLog(scratch / "UNINST.EXE");
  EXPECT_TRUE(log.complete) << log.problem;
  EXPECT_EQ(log.productKey, "TestProduct");
  ASSERT_EQ(log.files.size(), 6u);
  EXPECT_EQ(log.files[1].path, "C:\\Win\\System\\shared.dll");
  EXPECT_TRUE(log.files[1].shared);
  ASSERT_EQ(log.registry.size(), 5u);
  EXPECT_FALSE(log.registry[0].isKey);
  EXPECT_TRUE(log.registry[2].rootRecognised) << "root names compare without letter case";
  EXPECT_EQ(log.registry[2].valueNames, (std::vector<std::string>{"Count", "Data"}));

  std::string out, err;
  EXPECT_EQ(Log(scratch / "UNINST.EXE", &out, &err), kExitOk) << err;
  EXPECT_NE(out.find("C:\\Win\\System\\shared.dll  [shared]"), std::string::npos) << out;
  EXPECT_NE(out.find("passed over (no key line): \"Stray\""), std::string::npos) << out;
  EXPECT_NE(out.find("C:\\Prog\\..\\boot.ini  [climbs out of its folder: passed over]"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("App.exe  [climbs"), std::string::npos) << out;
  EXPECT_NE(out.find("  key HKEY_CLASSES_ROOT\\.abc\n    @ (default)\n"), std::string::npos);
}

TEST(ReadUninstallLog, CutShortLogsAndOtherProgramsAreReported) {
  ScratchFolder scratch;
  const std::vector<std::string> cut(kLog.begin(), kLog.end() - 4);
  WriteBytes(scratch / "UNINST.EXE", MaintenanceProgram(1, cut));
  const UninstallLog log = ReadUninstallLog(scratch / "UNINST.EXE");
  EXPECT_FALSE(log.complete);
  EXPECT_NE(log.problem.find("the file ends in the middle of the value names of "
                             ":HKEY_LOCAL_MACHINE\\Software\\Microsoft"),
            std::string::npos)
      << log.problem;
  EXPECT_EQ(log.registry.size(), 5u);  // the keys read so far, the cut one included
  std::string out, err;
  EXPECT_EQ(Log(scratch / "UNINST.EXE", &out, &err), kExitDamaged);
  EXPECT_NE(err.find("cut short"), std::string::npos) << err;

  Bytes finalizer = MaintenanceProgram(2, {});
  WriteBytes(scratch / "FINALIZE.EXE", finalizer);
  EXPECT_EQ(Log(scratch / "FINALIZE.EXE", &out, &err), kExitOk) << err;
  EXPECT_NE(out.find("Mode:         2 (finalize)"), std::string::npos) << out;
  finalizer.pop_back();  // the product key record loses its last byte
  WriteBytes(scratch / "FINALIZE.EXE", finalizer);
  EXPECT_EQ(Log(scratch / "FINALIZE.EXE", &out, &err), kExitDamaged);

  WriteBytes(scratch / "SETUP.EXE", BuildInstallerImage(SamplePackage()));
  EXPECT_EQ(Log(scratch / "SETUP.EXE", &out, &err), kExitInputError);
  EXPECT_NE(err.find("not a maintenance program"), std::string::npos) << err;

  // A mode byte that disagrees with the volume length word (0 only in a maintenance
  // program) is damage, whichever of the two a flipped bit has changed.
  Bytes lengthWord = MaintenanceProgram(1, kLog);
  lengthWord[kTestStubLength + 1] = 0x40;
  for (const Bytes& damaged : {MaintenanceProgram(0, kLog), MaintenanceProgram(3, kLog), lengthWord}) {
    WriteBytes(scratch / "UNINST.EXE", damaged);
    EXPECT_EQ(Log(scratch / "UNINST.EXE", &out, &err), kExitDamaged);
    EXPECT_NE(err.find("damaged: "), std::string::npos) << err;
  }
}

}  // namespace
