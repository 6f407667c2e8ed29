// register= of a [Files] line: the packed copy of a self-registering library loses its
// marker and nothing else, and what the option cannot do is refused naming the line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/little_endian.h"
#include "pe/pe_checksum.h"
#include "pe/pe_image.h"
#include "pe/version_resource.h"
#include "tests/platform/test_pe_image.h"
#include "tests/twk/build_test_support.h"
#include "twk/build/build_installer.h"
#include "twk/build/source_registration.h"
#include "twk/common/build_error.h"
#include "twk/common/exit_codes.h"
#include "twk/reader_commands.h"

namespace {

using build_test::TempDir;

// A library whose version resource carries the marker in its translation's table and in
// a second one; its PE checksum is set (to a value that is wrong, as long as it is not 0).
std::vector<uint8_t> MarkedLibrary() {
  test_pe::VersionFields fields;
  fields.selfRegister = true;
  std::vector<uint8_t> image = test_pe::VersionedLibrary(fields);
  const PeImage pe(image.data(), image.size());
  StoreLe32(image.data() + pe.checksumOffset(), 0x1234);
  return image;
}

struct Built {
  int code = kExitOk;
  std::string message;
};

Built Build(const TempDir& dir, const std::string& files) {
  build_test::WriteText(dir / "src/t.twk", "[Setup]\nProgramFolder = P\n[Files]\n" + files);
  BuildRequest request;
  request.script = dir / "src/t.twk";
  request.output = dir / "out/SETUP.EXE";
  request.stub = build_test::WriteFakeStub(dir);
  Built built;
  try {
    BuildInstaller(request);
  } catch (const CommandError& error) {
    built = {error.exitCode(), error.what()};
  }
  return built;
}

std::vector<uint8_t> Extracted(const TempDir& dir, const std::string& name) {
  std::ostringstream out, err;
  EXPECT_EQ(ExtractInstaller(dir / "out/SETUP.EXE", dir / "x", out, err), kExitOk) << err.str();
  return build_test::ReadBytes(dir / ("x/OurProgramDir/" + name));
}

TEST(BuildRegister, RegisterNoRenamesTheMarkerOfThePackedCopyAndNothingElse) {
  TempDir dir;
  const std::vector<uint8_t> library = MarkedLibrary();
  build_test::WriteBytes(dir / "src/lib.dll", library);
  build_test::WriteBytes(dir / "src/same.dll", library);
  ASSERT_EQ(Build(dir, "lib.dll {OurProgramDir}\\ register=no\nsame.dll {OurProgramDir}\\\n").code,
            kExitOk);

  const std::vector<uint8_t> packed = Extracted(dir, "lib.dll");
  ASSERT_EQ(packed.size(), library.size());
  EXPECT_FALSE(PeHasOleSelfRegister(packed));
  EXPECT_TRUE(FindOleSelfRegisterKeys(packed).empty());
  // Both tables' entries renamed (15 UTF-16 units each), and the checksum made right.
  size_t changed = 0;
  for (size_t i = 0; i < packed.size(); ++i) changed += packed[i] != library[i];
  EXPECT_LE(changed, 2 * 15 + 4u);
  const PeImage pe(packed.data(), packed.size());
  EXPECT_EQ(LoadLe32(packed.data() + pe.checksumOffset()),
            PeImageChecksum(packed.data(), packed.size(), pe.checksumOffset()));
  EXPECT_NE(std::string(packed.begin(), packed.end()).find(std::string("N\0o\0t\0S\0e\0l\0f", 14)),
            std::string::npos);

  // The source and a copy packed without the option keep every byte.
  EXPECT_EQ(build_test::ReadBytes(dir / "src/lib.dll"), library);
  EXPECT_EQ(Extracted(dir, "same.dll"), library);

  // The marker in one language only, under a root of another name: every language that
  // Windows may pick loses it.
  test_pe::VersionFields plain, marked;
  marked.selfRegister = true;
  marked.rootKey = "VS_VERSIONINFO";
  const std::vector<uint8_t> languages = test_pe::PeImageWithLanguages(
      {test_pe::VersionResource(plain), test_pe::VersionResource(marked)});
  build_test::WriteBytes(dir / "src/multi.dll", languages);
  ASSERT_EQ(Build(dir, "multi.dll {OurProgramDir}\\ register=no\n").code, kExitOk);
  const std::vector<uint8_t> unmarked = Extracted(dir, "multi.dll");
  EXPECT_EQ(CountSelfRegistrationMarks(languages).marked, 1u);
  EXPECT_EQ(CountSelfRegistrationMarks(unmarked).marked, 0u);
  EXPECT_TRUE(FindOleSelfRegisterKeys(unmarked).empty());
}

TEST(BuildRegister, WhatTheOptionCannotDoIsRefusedNamingTheLine) {
  TempDir dir;
  build_test::WriteText(dir / "src/a.txt", "not a library");
  std::vector<uint8_t> signedLibrary = MarkedLibrary();
  // A certificate table in the data directories: a signed file.
  StoreLe32(signedLibrary.data() + 0x58 + 96 + 4 * 8 + 4, 0x100);
  build_test::WriteBytes(dir / "src/signed.dll", signedLibrary);
  build_test::WriteBytes(dir / "src/lib.dll", MarkedLibrary());

  Built built = Build(dir, "lib.dll {OurProgramDir}\\ register=yes\na.txt {OurProgramDir}\\ register=yes\n");
  EXPECT_EQ(built.code, kExitScriptError);
  EXPECT_NE(built.message.find("t.twk:5: register=yes, but '"), std::string::npos) << built.message;
  built = Build(dir, "signed.dll {OurProgramDir}\\ register=no\n");
  EXPECT_EQ(built.code, kExitScriptError);
  EXPECT_NE(built.message.find("t.twk:4: register=no cannot be kept for '"), std::string::npos);
  EXPECT_NE(built.message.find("it is signed"), std::string::npos) << built.message;
  // The marker in one of two languages: registered or not by the machine's language.
  test_pe::VersionFields plain, marked;
  marked.selfRegister = true;
  build_test::WriteBytes(dir / "src/mixed.dll",
                         test_pe::PeImageWithLanguages({test_pe::VersionResource(marked),
                                                        test_pe::VersionResource(plain)}));
  built = Build(dir, "mixed.dll {OurProgramDir}\\ register=yes\n");
  EXPECT_NE(built.message.find("t.twk:4: register=yes, but only 1 of the 2 languages"),
            std::string::npos) << built.message;
  // A program of more than 1 GiB (a sparse file) is more than twk looks into: either
  // option is refused rather than passed over.
  {
    std::ofstream huge(dir / "src/huge.dll", std::ios::binary);
    huge << "MZ";
  }
  std::filesystem::resize_file(dir / "src/huge.dll", (1ull << 30) + 1);
  for (const char* option : {"register=no cannot be kept", "register=yes cannot be checked"}) {
    built = Build(dir, std::string("huge.dll {OurProgramDir}\\ ") +
                           (option[9] == 'n' ? "register=no\n" : "register=yes\n"));
    EXPECT_EQ(built.code, kExitScriptError);
    EXPECT_NE(built.message.find(std::string("t.twk:4: ") + option + " for '"), std::string::npos)
        << built.message;
    EXPECT_NE(built.message.find("more than 1 GiB"), std::string::npos) << built.message;
  }
  built = Build(dir, "lib.dll {OurProgramDir}\\ register=maybe\n");
  EXPECT_NE(built.message.find("t.twk:4: register='maybe' is not yes or no"), std::string::npos);
  // register=no on a file without the marker has nothing to do.
  EXPECT_EQ(Build(dir, "a.txt {OurProgramDir}\\ register=no\n").code, kExitOk);
}

// A process loads only libraries of its own machine: one that the installer registers
// must be built for the stub's (taken from the stub's header, from --arch for a stub
// without one); register=no packs any library.
TEST(BuildRegister, ALibraryTheInstallerCouldNotLoadToRegisterIsRefused) {
  TempDir dir;
  test_pe::VersionFields fields;
  fields.selfRegister = true;
  build_test::WriteBytes(dir / "src/x86.dll", test_pe::VersionedLibrary(fields));
  build_test::WriteBytes(dir / "src/x64.dll",
                         test_pe::PeImageWith(test_pe::VersionResource(fields), true));
  fields.selfRegister = false;
  build_test::WriteBytes(dir / "src/plain.dll",
                         test_pe::PeImageWith(test_pe::VersionResource(fields), true));
  build_test::WriteBytes(dir / "pe64stub.exe", test_pe::PeImageWith({}, true));
  struct Case {
    const char* files;
    const char* arch;
    bool pe64Stub;  // a stub whose header says x64, whatever --arch says
    int code;
  };
  const Case cases[] = {
      {"x86.dll {OurProgramDir}\\\n", "x86", false, kExitOk},
      {"x64.dll {OurProgramDir}\\\n", "x64", false, kExitOk},
      {"x64.dll {OurProgramDir}\\\n", "x86", false, kExitScriptError},
      {"x64.dll {OurProgramDir}\\ register=no\n", "x86", false, kExitOk},
      {"plain.dll {OurProgramDir}\\\n", "x86", false, kExitOk},
      {"x86.dll {OurProgramDir}\\\n", "x64", false, kExitScriptError},
      {"x86.dll {OurProgramDir}\\\n", "x86", true, kExitScriptError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.files) + " --arch " + c.arch + (c.pe64Stub ? " (x64 stub)" : ""));
    build_test::WriteText(dir / "src/t.twk", std::string("[Setup]\nProgramFolder = P\n[Files]\n") + c.files);
    BuildRequest request;
    request.script = dir / "src/t.twk";
    request.output = dir / "out/SETUP.EXE";
    request.arch = c.arch;
    request.stub = c.pe64Stub ? dir / "pe64stub.exe" : build_test::WriteFakeStub(dir);
    int code = kExitOk;
    try {
      BuildInstaller(request);
    } catch (const CommandError& error) {
      code = error.exitCode();
      if (c.code == kExitOk) ADD_FAILURE() << error.what();
    }
    EXPECT_EQ(code, c.code);
  }

  const Built built = Build(dir, "x64.dll {OurProgramDir}\\\n");
  EXPECT_EQ(built.message,
            dir / "src/t.twk:4: '" + dir.path() + "/src/x64.dll' registers itself "
            "(OLESelfRegister), but it is a 64-bit x64 library, which the 32-bit x86 installer "
            "cannot load to register it: add register=no to the line, or build the installer "
            "for x64 (--arch x64)");
}

// A key can straddle two pieces of the file; a byte that is not what the build saw
// means the file changed since, and nothing is patched blindly.
TEST(BuildRegister, ChangesApplyAcrossPiecesAndOnlyOverTheBytesSeen) {
  const std::vector<ByteChange> changes = {{8, {'a', 'b', 'c', 'd'}, {'W', 'X', 'Y', 'Z'}}};
  std::vector<uint8_t> first = {'.', '.', '.', '.', '.', '.', '.', '.', 'a', 'b'};
  std::vector<uint8_t> second = {'c', 'd', '.'};
  EXPECT_TRUE(ApplyByteChanges(changes, 0, &first));
  EXPECT_TRUE(ApplyByteChanges(changes, 10, &second));
  EXPECT_EQ(std::string(first.begin(), first.end()), "........WX");
  EXPECT_EQ(std::string(second.begin(), second.end()), "YZ.");
  std::vector<uint8_t> other = {'c', 'x', '.'};
  EXPECT_FALSE(ApplyByteChanges(changes, 10, &other));
}

}  // namespace
