// twk extract: contents and times of the files, damaged blocks, and targets that try to
// leave the output folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "tests/twk/read_sample_package.h"
#include "twk/common/exit_codes.h"
#include "twk/reader/reader_target_path.h"
#include "twk/reader_commands.h"

namespace {

namespace fs = std::filesystem;

int Extract(const std::string& installer, const std::string& folder, std::string* err) {
  std::ostringstream out, errors;
  const int code = ExtractInstaller(installer, folder, out, errors);
  *err = errors.str();
  return code;
}

std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names.push_back(entry.path().lexically_relative(folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReadExtract, WritesEveryFileWithItsContentAndTimeAcrossVolumes) {
  ScratchFolder scratch;
  const TestPackage package = SamplePackage();
  WriteVolumes(scratch / "SETUP.EXE", BuildInstallerImage(package), 9000);
  std::string err;
  ASSERT_EQ(Extract(scratch / "SETUP.EXE", scratch / "out/new", &err), kExitOk) << err;
  EXPECT_EQ(Tree(scratch / "out/new"),
            (std::vector<std::string>{"C", "C/Data", "C/Data/empty.txt", "OurProgramDir",
                                      "OurProgramDir/App.exe", "WinSysDir",
                                      "WinSysDir/shared.dll"}));
  EXPECT_EQ(ReadBytes(scratch / "out/new/OurProgramDir/App.exe"), package.files[0].data);
  EXPECT_EQ(ReadBytes(scratch / "out/new/WinSysDir/shared.dll"), package.files[1].data);
  EXPECT_TRUE(ReadBytes(scratch / "out/new/C/Data/empty.txt").empty());
  struct stat info {};
  ASSERT_EQ(stat((scratch / "out/new/OurProgramDir/App.exe").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtim.tv_sec, 1577934245);
  EXPECT_EQ(info.st_mtim.tv_nsec, 500000000);
}

TEST(ReadExtract, DamagedBlockLeavesNoFileThatLooksComplete) {
  ScratchFolder scratch;
  TestLayout layout;
  Bytes image = BuildInstallerImage(SamplePackage(), &layout);
  image[layout.fileBlocks[1] + 30] ^= 0x04;  // App.exe's second block
  WriteVolumes(scratch / "SETUP.EXE", image);
  std::string err;
  EXPECT_EQ(Extract(scratch / "SETUP.EXE", scratch / "out", &err), kExitDamaged);
  EXPECT_NE(err.find("block 2 of file entry 1"), std::string::npos) << err;
  EXPECT_EQ(Tree(scratch / "out"),
            (std::vector<std::string>{"C", "C/Data", "C/Data/empty.txt", "OurProgramDir",
                                      "WinSysDir", "WinSysDir/shared.dll"}));
}

TEST(ReadExtract, AnyNumberOfThreadsWritesTheSameFilesAndMessages) {
  ScratchFolder scratch;
  TestPackage package;
  for (int i = 0; i < 8; ++i) {
    const std::string target = i == 3 ? "{OurProgramDir}\\..\\x" : "{OurProgramDir}\\f" + std::to_string(i);
    package.files.push_back({target, TextBytes(30000 * i + 5), {}, kSampleFileTime, false});
  }
  TestLayout layout;
  Bytes image = BuildInstallerImage(package, &layout);
  // Damage in the middle of one file and in the first block of another, so that blocks
  // after the damage are still being expanded when it comes due.
  image[layout.fileBlocks[7] + 30] ^= 0x10;   // the first of f5's three blocks
  image[layout.fileBlocks[11] + 30] ^= 0x10;  // the second of f6's three
  WriteVolumes(scratch / "SETUP.EXE", image);
  std::string firstOut, firstErr;
  std::vector<std::string> firstTree;
  for (const unsigned jobs : {1u, 2u, 5u}) {
    fs::remove_all(scratch / "out");
    std::ostringstream out, err;
    EXPECT_EQ(ExtractInstaller(scratch / "SETUP.EXE", scratch / "out", out, err, jobs), kExitDamaged);
    if (jobs == 1) {
      firstOut = out.str();
      firstErr = err.str();
      firstTree = Tree(scratch / "out");
      EXPECT_EQ(std::count(firstErr.begin(), firstErr.end(), '\n'), 4) << firstErr;
    }
    EXPECT_EQ(out.str(), firstOut) << jobs << " jobs";
    EXPECT_EQ(err.str(), firstErr) << jobs << " jobs";
    EXPECT_EQ(Tree(scratch / "out"), firstTree) << jobs << " jobs";
    EXPECT_EQ(ReadBytes(scratch / "out/OurProgramDir/f7"), package.files[7].data);
  }
}

TEST(ReadExtract, AFileListThatDisagreesWithTheBlockCountIsDamage) {
  ScratchFolder scratch;
  TestLayout layout;
  Bytes cut = BuildInstallerImage(SamplePackage(), &layout);
  cut[layout.fileNames[1]] = 0;  // shared.dll's name length: the list now ends after App.exe
  WriteVolumes(scratch / "CUT.EXE", cut);
  std::string err;
  EXPECT_EQ(Extract(scratch / "CUT.EXE", scratch / "cut", &err), kExitDamaged);
  EXPECT_NE(err.find("the file list ends after 1 file entry holding 2 data blocks, but the size "
                     "table counts 3: file entries are lost"),
            std::string::npos)
      << err;

  TestPackage extra = SamplePackage();
  extra.blockCountSkew = -1;
  WriteVolumes(scratch / "EXTRA.EXE", BuildInstallerImage(extra));
  EXPECT_EQ(Extract(scratch / "EXTRA.EXE", scratch / "extra", &err), kExitDamaged);
  EXPECT_NE(err.find("3 file entries holding 3 data blocks, but the size table counts 2"),
            std::string::npos)
      << err;
}

// A name, a file's fields and the list lines carry no block checksum of their own: the
// header's directory checksum must catch a file extracted under another name, before
// anything the names say reaches the disk (no file, no folder), also when the package is
// cut short before the sum can be taken; verify and list must call the installer
// damaged. A package without the checksum (0, as built before it existed) is read as
// before.
TEST(ReadExtract, ADamagedNameOrListLineIsDamageWhenTheHeaderSumsThem) {
  ScratchFolder scratch;
  TestLayout layout;
  TestPackage package = SamplePackage();
  package.directoryChecksum = true;
  const Bytes image = BuildInstallerImage(package, &layout);
  Bytes renamed = image;
  renamed[layout.fileNames[0] + 18] ^= 0x02;  // App.exe becomes Arp.exe
  Bytes listLine = image;
  listLine[listLine.size() - 3] ^= 0x02;     // a letter of the run-after command
  const Bytes cut(image.begin(), image.end() - 3);
  const struct {
    const Bytes* image;
    const char* says;
  } cases[] = {{&renamed, "the file entries and lists are damaged"},
               {&listLine, "the file entries and lists are damaged"},
               {&cut, "the package goes on past the end of this file"}};
  for (const auto& damaged : cases) {
    WriteVolumes(scratch / "BAD.EXE", *damaged.image);
    fs::remove_all(scratch / "bad");
    std::string err;
    EXPECT_EQ(Extract(scratch / "BAD.EXE", scratch / "bad", &err), kExitDamaged);
    EXPECT_NE(err.find(damaged.says), std::string::npos) << err;
    EXPECT_NE(err.find("3 files are not written"), std::string::npos) << err;
    EXPECT_EQ(Tree(scratch / "bad"), std::vector<std::string>{}) << err;
    if (damaged.image == &cut) continue;
    std::ostringstream out, errors;
    EXPECT_EQ(VerifyInstaller(scratch / "BAD.EXE", out, errors), kExitDamaged);
    EXPECT_NE(errors.str().find("directory checksum"), std::string::npos) << errors.str();
    EXPECT_EQ(ListInstaller(scratch / "BAD.EXE", out, errors), kExitDamaged);
  }
  WriteVolumes(scratch / "GOOD.EXE", image);
  std::string err;
  EXPECT_EQ(Extract(scratch / "GOOD.EXE", scratch / "good", &err), kExitOk) << err;

  package.directoryChecksum = false;
  TestLayout oldLayout;
  Bytes unsummed = BuildInstallerImage(package, &oldLayout);
  unsummed[oldLayout.fileNames[0] + 18] ^= 0x02;
  WriteVolumes(scratch / "OLD.EXE", unsummed);
  EXPECT_EQ(Extract(scratch / "OLD.EXE", scratch / "old", &err), kExitOk) << err;
}

// Written in place, or first written whole and placed once the directory checksum is
// found right: either way through no link.
TEST(ReadExtract, HostileTargetsNeverWriteOutsideTheFolder) {
  for (const bool summed : {false, true}) {
    SCOPED_TRACE(summed);
    ScratchFolder scratch;
    fs::create_directories(scratch / "out/OurProgramDir");
    fs::create_directories(scratch / "outside");
    fs::create_directory_symlink(scratch / "outside", scratch / "out/OurProgramDir/link");
    WriteBytes(scratch / "outside/victim", {'k', 'e', 'e', 'p'});
    fs::create_symlink(scratch / "outside/victim", scratch / "out/OurProgramDir/victim");

    TestPackage package;
    const Bytes data = {'b', 'a', 'd'};
    for (const char* target :
         {"{OurProgramDir}\\..\\..\\x", "C:\\..\\x", "\\\\server\\share\\x", "\\x", "x\\y",
          "{OurProgramDir}\\a/b", "{OurProgramDir}\\sub\\\\x", "{WinDir}x", "{Foo}\\x",
          "{OurProgramDir}\\link\\x", "{OurProgramDir}\\.\\x", "C:x",
          // What Windows reads as something else: devices, a stream, shortened names.
          "{OurProgramDir}\\CON", "{OurProgramDir}\\aux.txt", "{OurProgramDir}\\com1 .log",
          "{OurProgramDir}\\a.txt:x", "{OurProgramDir}\\x.", "{OurProgramDir}\\.. \\x",
          "{OurProgramDir}\\a|b"}) {
      package.files.push_back({target, data, {}, 0, false});
    }
    package.files.push_back({"{OurProgramDir}\\victim", {'n', 'e', 'w'}, {}, 0, false});
    package.files.push_back({"{ourprogramdirectory}\\good.txt", {'o', 'k'}, {}, 0, false});
    package.directoryChecksum = summed;
    WriteVolumes(scratch / "SETUP.EXE", BuildInstallerImage(package));

    std::string err;
    EXPECT_EQ(Extract(scratch / "SETUP.EXE", scratch / "out", &err), kExitOutputError);
    EXPECT_EQ(Tree(scratch / "outside"), std::vector<std::string>{"victim"}) << err;
    EXPECT_EQ(ReadBytes(scratch / "outside/victim"), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(Tree(scratch.path()),
              (std::vector<std::string>{"SETUP.EXE", "out", "out/OurProgramDir",
                                        "out/OurProgramDir/good.txt", "out/OurProgramDir/link",
                                        "out/OurProgramDir/victim", "outside",
                                        "outside/victim"}))
        << err;
    EXPECT_FALSE(fs::is_symlink(scratch / "out/OurProgramDir/victim"));
    EXPECT_EQ(ReadBytes(scratch / "out/OurProgramDir/victim"), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 20) << err;  // 19 refusals, summary
  }
}

TEST(ReadExtract, TargetsMapToTheMacroOrDriveAsTopFolder) {
  EXPECT_EQ(MapTargetPath("d:\\x\\{WinDir}").components,
            (std::vector<std::string>{"D", "x", "{WinDir}"}));
  EXPECT_FALSE(MapTargetPath("{OurProgramDir}\\x\\").refusal.empty());
  EXPECT_FALSE(MapTargetPath(std::string("{OurProgramDir}\\a\0b", 19)).refusal.empty());
  EXPECT_FALSE(MapTargetPath("{OurProgramDir\\x").refusal.empty());
}

}  // namespace
