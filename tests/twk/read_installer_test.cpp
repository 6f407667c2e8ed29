// twk list and twk verify on packages assembled here: sound ones, split into volumes,
// and damaged in the ways that matter.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/little_endian.h"
#include "tests/platform/test_pe_image.h"
#include "tests/twk/read_sample_package.h"
#include "twk/common/exit_codes.h"
#include "twk/common/json_writer.h"
#include "twk/reader/installer_reader.h"
#include "twk/reader_commands.h"

namespace {

struct Outcome {
  int code;
  std::string out;
  std::string err;
};

template <typename Command>
Outcome Run(Command command, const std::string& path) {
  std::ostringstream out, err;
  const int code = command(path, out, err);
  return {code, out.str(), err.str()};
}

Outcome List(const std::string& path) {
  return Run([](const std::string& p, std::ostream& o, std::ostream& e) { return ListInstaller(p, o, e); }, path);
}
Outcome Verify(const std::string& path) {
  return Run([](const std::string& p, std::ostream& o, std::ostream& e) { return VerifyInstaller(p, o, e); }, path);
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The listing without its first and last lines, which name the files.
std::string ListedContent(const std::string& path) {
  const std::string out = List(path).out;
  const size_t begin = out.find("Title:");
  return out.substr(begin, out.find("\nPackage:") - begin);
}

TEST(ReadInstaller, ListShowsHeaderFilesShortcutsRegistryAndRunAfter) {
  ScratchFolder scratch;
  WriteVolumes(scratch / "SETUP.EXE", BuildInstallerImage(SamplePackage()));
  const Outcome list = List(scratch / "SETUP.EXE");
  ASSERT_EQ(list.code, kExitOk) << list.err;
  const std::string& out = list.out;
  EXPECT_TRUE(Has(out, "Bottom text:       \"Bottom\\nline\"")) << out;
  EXPECT_TRUE(Has(out, "Licence:           12 bytes"));
  EXPECT_TRUE(Has(out, "word 0  512-byte units         138"));  // 137 + 1
  EXPECT_TRUE(Has(out, "word 7  data blocks              3"));
  EXPECT_TRUE(Has(out, "     70000       2  1.2.3.4          2020-01-02 03:04:05  no      no       "
                       "{OurProgramDir}\\App.exe"));
  EXPECT_TRUE(Has(out, "       300       1  -                2020-01-02 03:04:05  yes"));
  EXPECT_TRUE(Has(out, "         0       0  -                1601-01-01 00:00:00  no      no       "
                       "C:\\Data\\empty.txt"));
  EXPECT_TRUE(Has(out, "      arguments:      -x a=b\n      working folder: {OurProgramDir}\n"));
  EXPECT_TRUE(Has(out, "  key HKEY_CLASSES_ROOT\\.abc\n    @ (default) = S \"AbcFile\"\n"
                       "    \"Count\" = D 1 (0x00000001)\n    \"Data\" = B 3 bytes: 0a 00 0b\n"
                       "    \"Old\" = N"));
  EXPECT_TRUE(Has(out, "ignored key line (unknown root): \":HKEY_USERS\\x\""));
  EXPECT_TRUE(Has(out, "other line (logged only): \"loose line\""));
  EXPECT_TRUE(Has(out, "Run after: \"{OurProgramDir}\\App.exe /first\""));
}

TEST(ReadInstaller, VerifyAcceptsSoundPackagesInOneFileOrManyVolumes) {
  ScratchFolder scratch;
  const Bytes image = BuildInstallerImage(SamplePackage());
  WriteVolumes(scratch / "ONE.EXE", image);
  Outcome verify = Verify(scratch / "ONE.EXE");
  EXPECT_EQ(verify.code, kExitOk) << verify.err;
  EXPECT_TRUE(Has(verify.out, "sound: 3 files (70300 bytes in 3 blocks), 2 shortcuts, "
                              "7 registry lines, 1 volume"))
      << verify.out;

  // Volumes of 9000 bytes: every structure is cut somewhere across a boundary.
  WriteVolumes(scratch / "MANY.EXE", image, 9000);
  verify = Verify(scratch / "MANY.EXE");
  EXPECT_EQ(verify.code, kExitOk) << verify.err;
  EXPECT_EQ(ListedContent(scratch / "MANY.EXE"), ListedContent(scratch / "ONE.EXE"));

  // The first file of a volume set signed: the signature is no package data.
  WriteVolumes(scratch / "SIGNEDSET.EXE", image, 9000);
  Bytes signedFirst = ReadBytes(scratch / "SIGNEDSET.EXE");
  test_pe::Sign(&signedFirst);
  WriteBytes(scratch / "SIGNEDSET.EXE", signedFirst);
  verify = Verify(scratch / "SIGNEDSET.EXE");
  EXPECT_EQ(verify.code, kExitOk) << verify.err << verify.out;
  EXPECT_EQ(ListedContent(scratch / "SIGNEDSET.EXE"), ListedContent(scratch / "ONE.EXE"));

  // Data after the package (a signature) is allowed and reported.
  Bytes signedImage = image;
  signedImage.insert(signedImage.end(), 100, 0xAA);
  WriteVolumes(scratch / "SIGNED.EXE", signedImage);
  verify = Verify(scratch / "SIGNED.EXE");
  EXPECT_EQ(verify.code, kExitOk) << verify.err;
  EXPECT_TRUE(Has(verify.out, "note: 100 bytes follow the package")) << verify.out;
}

TEST(ReadInstaller, VerifyReportsEachKindOfDamage) {
  ScratchFolder scratch;
  TestLayout layout;
  const Bytes image = BuildInstallerImage(SamplePackage(), &layout);
  const std::string path = scratch / "SETUP.EXE";
  auto verifyImage = [&](const Bytes& bytes) {
    WriteVolumes(path, bytes);
    return Verify(path);
  };

  // A stored byte of App.exe's second block, shared.dll's expanded checksum, the header.
  const struct {
    size_t at;
    uint8_t bit;
    const char* says;
  } flips[] = {
      {layout.fileBlocks[1] + 20, 0x10,
       "block 2 of file entry 1 ({OurProgramDir}\\App.exe) is damaged: stored checksum"},
      {layout.fileBlocks[2] + 2, 0x01, "expanded checksum"},
      {layout.headerBlock + 12, 0x80, "the header block is damaged"},
      // The mode byte of an uninstaller or a finalizer, with an installer's length word.
      {kTestStubLength + 4, 0x01, "the mode byte at offset 516 is 1 (uninstall), but the "
                                  "volume length word is"},
      {kTestStubLength + 4, 0x02, "is 2 (finalize), but"},
  };
  Outcome verify;
  for (const auto& flip : flips) {
    Bytes damaged = image;
    damaged[flip.at] ^= flip.bit;
    verify = verifyImage(damaged);
    EXPECT_EQ(verify.code, kExitDamaged);
    EXPECT_TRUE(Has(verify.err, flip.says)) << verify.err;
    EXPECT_EQ(List(path).code, kExitDamaged);
  }

  verify = verifyImage(Bytes(image.begin(), image.end() - 7));
  EXPECT_EQ(verify.code, kExitDamaged);
  EXPECT_TRUE(Has(verify.err, "SETUP.001 does not exist")) << verify.err;

  Bytes lengthWord = image;
  StoreLe32(&lengthWord[kTestStubLength], static_cast<uint32_t>(image.size() + 1));
  verify = verifyImage(lengthWord);
  EXPECT_EQ(verify.code, kExitDamaged);
  EXPECT_TRUE(Has(verify.err, "volume length word")) << verify.err;

  // A file list cut short by a zeroed name length is named as the cause, before the
  // problems that follow from reading file data as the shortcut list.
  Bytes cut = image;
  cut[layout.fileNames[1]] = 0;
  verify = verifyImage(cut);
  EXPECT_EQ(verify.code, kExitDamaged);
  EXPECT_EQ(verify.err.find("twk: " + path + " at offset " +
                            std::to_string(layout.fileNames[1]) +
                            ": the file list ends after 1 file entry holding 2 data blocks"),
            0u)
      << verify.err;

  TestPackage skewed = SamplePackage();
  skewed.sizeTableSkew = 1;
  verify = verifyImage(BuildInstallerImage(skewed));
  EXPECT_EQ(verify.code, kExitDamaged);
  EXPECT_TRUE(Has(verify.err, "size table word 3 is 20, the files need 19")) << verify.err;
}

// Refused targets are named on standard error, one line each however they are spelt
// (control characters escaped as in JSON), and in the JSON document's problems too.
TEST(ReadInstaller, VerifyReportsTargetsThatExtractRefuses) {
  ScratchFolder scratch;
  TestPackage package = SamplePackage();
  for (const char* target :
       {"Program\\x.txt", "{Foo}\\y.txt", "{OurProgramDir}\\..\\z.txt", "two\nlines\x1b[2J"}) {
    package.files.push_back({target, {'x'}, {}, 0, false});
  }
  TestLayout layout;
  Bytes image = BuildInstallerImage(package, &layout);
  WriteVolumes(scratch / "SETUP.EXE", image);
  Outcome verify = Verify(scratch / "SETUP.EXE");
  EXPECT_EQ(verify.code, kExitOutputError);
  EXPECT_TRUE(Has(verify.out, "UNSAFE TARGETS: 4 file targets that twk extract refuses")) << verify.out;
  const struct {
    const char* entry;
    const char* shown;  // on standard error
  } entries[] = {{"file entry 4 (Program\\x.txt)", "file entry 4 (Program\\x.txt)"},
                 {"file entry 5 ({Foo}\\y.txt)", "file entry 5 ({Foo}\\y.txt)"},
                 {"file entry 6 ({OurProgramDir}\\..\\z.txt)", "file entry 6 ({OurProgramDir}\\..\\z.txt)"},
                 {"file entry 7 (two\nlines\x1b[2J)", "file entry 7 (two\\nlines\\u001b[2J)"}};
  for (const auto& entry : entries) {
    EXPECT_TRUE(Has(verify.err, std::string(entry.shown) + ": twk extract refuses its target"))
        << verify.err;
  }
  EXPECT_EQ(std::count(verify.err.begin(), verify.err.end(), '\n'), 4) << verify.err;
  std::ostringstream json, errors;
  EXPECT_EQ(VerifyInstaller(scratch / "SETUP.EXE", json, errors, ReportFormat::kJson),
            kExitOutputError);
  EXPECT_EQ(errors.str(), verify.err);
  const std::string document = json.str();
  const size_t problems = document.find("\"problems\""), refused = document.find("\"refusedTargets\"");
  ASSERT_LT(problems, refused) << document;
  for (const auto& entry : entries) {
    const std::string quoted = JsonString(std::string(entry.entry) + ": twk extract refuses");
    const size_t at = document.find(quoted.substr(1, quoted.size() - 2));
    EXPECT_GT(at, problems) << entry.shown << document;
    EXPECT_LT(at, refused) << entry.shown << document;
  }

  image[layout.fileBlocks[0] + 20] ^= 0x10;  // damage outweighs a questionable target
  WriteVolumes(scratch / "SETUP.EXE", image);
  EXPECT_EQ(Verify(scratch / "SETUP.EXE").code, kExitDamaged);
}

TEST(ReadInstaller, InstallersAndVolumesMustBeRegularFiles) {
  ScratchFolder scratch;
  WriteVolumes(scratch / "SETUP.EXE", BuildInstallerImage(SamplePackage()), 9000);
  ASSERT_EQ(std::remove((scratch / "SETUP.002").c_str()), 0);
  ASSERT_EQ(mkfifo((scratch / "SETUP.002").c_str(), 0600), 0);
  Outcome verify = Verify(scratch / "SETUP.EXE");  // would wait for a writer if opened plainly
  EXPECT_EQ(verify.code, kExitDamaged);
  EXPECT_TRUE(Has(verify.err, "SETUP.002 is not a regular file but a FIFO")) << verify.err;

  ASSERT_EQ(std::remove((scratch / "SETUP.002").c_str()), 0);
  ASSERT_EQ(symlink("/dev/zero", (scratch / "SETUP.002").c_str()), 0);
  verify = Verify(scratch / "SETUP.EXE");  // endless zeros, and no size to measure them by
  EXPECT_EQ(verify.code, kExitDamaged);
  EXPECT_TRUE(Has(verify.err, "SETUP.002 is not a regular file but a character device"))
      << verify.err;

  ASSERT_EQ(mkfifo((scratch / "FIFO.EXE").c_str(), 0600), 0);
  for (const char* name : {"FIFO.EXE", "."}) {
    verify = Verify(scratch / name);
    EXPECT_EQ(verify.code, kExitInputError) << name;
    EXPECT_TRUE(Has(verify.err, "is not a regular file")) << verify.err;
  }
}

TEST(ReadInstaller, AnInstallerThatGrowsWhileReadLeavesNothingAfterItsPackage) {
  ScratchFolder scratch;
  const Bytes image = BuildInstallerImage(SamplePackage());
  const std::string path = scratch / "SETUP.EXE";
  WriteBytes(path, Bytes(image.begin(), image.end() - 50));
  InstallerReader reader(path);  // measures the file as it is now
  std::ofstream(path, std::ios::binary | std::ios::app)
      .write(reinterpret_cast<const char*>(image.data() + image.size() - 50), 50);
  InstallerHeader header;
  std::string problem;
  ASSERT_TRUE(reader.DecodeHeader(reader.ReadHeaderRecord(), &header, &problem)) << problem;
  FileEntry entry;
  BlockRecord record;
  while (reader.NextFileEntry(&entry)) {
    for (int number = 1; reader.NextBlock(entry, number, &record); ++number) {
    }
  }
  reader.ReadShortcutList();
  reader.ReadRegistryList();
  reader.ReadRunAfter();
  EXPECT_EQ(reader.stream().RemainingInVolume(), 0u);
}

TEST(ReadInstaller, MissingVolumesAndNonInstallersAreNamed) {
  ScratchFolder scratch;
  WriteVolumes(scratch / "SETUP.EXE", BuildInstallerImage(SamplePackage()), 9000);
  ASSERT_EQ(std::remove((scratch / "SETUP.003").c_str()), 0);
  Outcome verify = Verify(scratch / "SETUP.EXE");
  EXPECT_EQ(verify.code, kExitDamaged);
  EXPECT_TRUE(Has(verify.err, "SETUP.002 at offset 9000: the package goes on past the end of "
                              "this file"))
      << verify.err;
  EXPECT_TRUE(Has(verify.err, "SETUP.003 does not exist")) << verify.err;

  WriteBytes(scratch / "plain.exe", Bytes(4000, 'x'));
  WriteBytes(scratch / "bare.exe", TestStub(0));
  WriteBytes(scratch / "UNINST.EXE", MaintenanceProgram(1, {"", ""}));
  for (const char* name : {"plain.exe", "bare.exe", "UNINST.EXE", "absent.exe"}) {
    verify = Verify(scratch / name);
    EXPECT_EQ(verify.code, kExitInputError) << name;
    EXPECT_TRUE(Has(verify.err, std::string(name) + ": ")) << verify.err;
    EXPECT_EQ(List(scratch / name).code, kExitInputError) << name;
  }
}

}  // namespace
