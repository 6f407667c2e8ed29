// Across the builder/reader boundary: a script like the example product is built with
// twk build's own code, then listed, verified and extracted, in one file and in volumes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "tests/twk/read_sample_package.h"
#include "twk/build/build_installer.h"
#include "twk/common/exit_codes.h"
#include "twk/reader_commands.h"

namespace {

const char kScript[] =
    "[Setup]\n"
    "Title = Round Trip 1.0\n"
    "BottomText = \"Example\\nSecond line\"\n"
    "ProductKey = Round Trip\n"
    "ProgramFolder = Round Trip\n"
    "StartMenuFolder = Round Trip\n"
    "RunAfter = {OurProgramDir}\\app.txt\n"
    "[Files]\n"
    "app.txt {OurProgramDir}\\\n"
    "big.dat {WinSysDir}\\big.dat shared version=1.2.3.4\n"
    "empty.log {OurProgramDir}\\logs\\empty.log\n"
    "docs\\*.txt {OurProgramDir}\\docs\\\n"
    "[Shortcuts]\n"
    "\"{OurShortcutDir}\\App\" {OurProgramDir}\\app.txt startin={OurProgramDir}\n"
    "[Registry]\n"
    "\"HKLM\\Software\\Round Trip\"\n"
    "@ = string {OurProgramDir}\n"
    "Count = dword 7\n"
    "Blob = binary 0a 00 0b\n";

struct Source {
  const char* name;
  const char* extracted;
  Bytes data;
};

TEST(ReadRoundTrip, BuiltInstallersListVerifyAndExtractToTheSameBytes) {
  ScratchFolder scratch;
  std::filesystem::create_directories(scratch / "src/docs");
  const std::vector<Source> sources = {
      {"app.txt", "OurProgramDir/app.txt", TextBytes(1000)},
      {"big.dat", "WinSysDir/big.dat", TextBytes(150000)},
      {"empty.log", "OurProgramDir/logs/empty.log", {}},
      {"docs/a.txt", "OurProgramDir/docs/a.txt", TextBytes(10)},
      {"docs/b.txt", "OurProgramDir/docs/b.txt", TextBytes(65000)},
  };
  for (const Source& source : sources) {
    WriteFile(scratch / ("src/" + std::string(source.name)), source.data);
  }
  WriteFile(scratch / "src/setup.twk", Bytes(kScript, kScript + sizeof kScript - 1));
  WriteFile(scratch / "stub.exe", TestStub(0));
  struct stat bigInfo {};
  ASSERT_EQ(stat((scratch / "src/big.dat").c_str(), &bigInfo), 0);

  for (uint64_t volumeSize : {uint64_t{0}, uint64_t{20000}}) {
    SCOPED_TRACE(volumeSize);
    const std::string installer = scratch / (volumeSize ? "MULTI.EXE" : "SETUP.EXE");
    BuildRequest request;
    request.script = scratch / "src/setup.twk";
    request.output = installer;
    request.volumeSize = volumeSize;
    request.stub = scratch / "stub.exe";
    BuildInstaller(request);

    std::ostringstream out, err;
    ASSERT_EQ(VerifyInstaller(installer, out, err), kExitOk) << err.str() << out.str();
    EXPECT_NE(out.str().find("sound: 5 files (216010 bytes in 6 blocks), 1 shortcut, "
                             "8 registry lines"),
              std::string::npos)
        << out.str();
    ASSERT_EQ(ListInstaller(installer, out, err), kExitOk) << err.str();
    EXPECT_NE(out.str().find("    150000       3  1.2.3.4"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\"Count\" = D 7 (0x00000007)\n    \"Blob\" = B 3 bytes: 0a 00 0b"),
              std::string::npos);
    // The Add/Remove Programs entry's size: 216010 bytes of files are 211 KB.
    EXPECT_NE(out.str().find("\"EstimatedSize\" = D 211 (0x000000D3)\n"), std::string::npos) << out.str();

    const std::string folder = installer + ".out";
    ASSERT_EQ(ExtractInstaller(installer, folder, out, err), kExitOk) << err.str();
    for (const Source& source : sources) {
      EXPECT_EQ(ReadFile(folder + "/" + source.extracted), source.data) << source.extracted;
    }
    struct stat extracted {};
    ASSERT_EQ(stat((folder + "/WinSysDir/big.dat").c_str(), &extracted), 0);
    EXPECT_EQ(extracted.st_mtim.tv_sec, bigInfo.st_mtim.tv_sec);
    EXPECT_EQ(extracted.st_mtim.tv_nsec / 100, bigInfo.st_mtim.tv_nsec / 100);
  }
}

}  // namespace
