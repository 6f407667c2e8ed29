// twk diff on installers made byte by byte: files compared by their expanded bytes, so
// that other blocks and volumes are no difference; each kind of difference shown; and a
// damaged installer, which never compares as the same.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "tests/platform/test_pe_image.h"
#include "tests/twk/read_sample_package.h"
#include "twk/common/exit_codes.h"
#include "twk/reader_commands.h"

namespace {

struct Diffed {
  int code;
  std::string out;
  std::string err;
};

class InstallerDiff : public ::testing::Test {
 protected:
  // The sample package as OLD, and `package` as NEW, in volumes of `volumeSize` bytes
  // (0: one file).
  Diffed Diff(const TestPackage& package, size_t volumeSize = 0, unsigned jobs = 2) {
    WriteVolumes(dir / "old/SETUP.EXE", BuildInstallerImage(SamplePackage()));
    WriteVolumes(dir / "new/SETUP.EXE", BuildInstallerImage(package), volumeSize);
    return DiffPaths(dir / "old/SETUP.EXE", dir / "new/SETUP.EXE", jobs);
  }
  Diffed DiffPaths(const std::string& oldPath, const std::string& newPath, unsigned jobs = 2) {
    std::ostringstream out, err;
    const int code = DiffInstallers(oldPath, newPath, out, err, ReportFormat::kText, jobs);
    return {code, out.str(), err.str()};
  }

  ScratchFolder dir;
};

TEST_F(InstallerDiff, TheSameFilesInOtherBlocksAndVolumesInstallTheSame) {
  TestPackage other = SamplePackage();
  other.pieceSize = 20000;
  for (unsigned jobs : {1u, 4u}) {
    const Diffed diffed = Diff(other, 30000, jobs);
    EXPECT_EQ(diffed.code, kExitOk) << diffed.out << diffed.err;
    EXPECT_EQ(diffed.out, dir / "old/SETUP.EXE" + " and " + dir / "new/SETUP.EXE" + " install the same\n");
    EXPECT_EQ(diffed.err, "");
  }
}

// One change to the sample package each, and the line that shows it.
TEST_F(InstallerDiff, ShowsEachKindOfDifference) {
  const struct {
    const char* what;
    std::function<void(TestPackage*)> change;
    std::string line;
  } cases[] = {
      {"title", [](TestPackage* p) { p->title = "Other"; }, "title: \"Test Product\" -> \"Other\"\n"},
      {"folder", [](TestPackage* p) { p->startMenuFolder = "T"; },
       "start-menu folder: \"Test\" -> \"T\"\n"},
      {"licence", [](TestPackage* p) { p->licence = "Other"; },
       "licence: 12 bytes -> 5 bytes, the text changed\n"},
      {"no licence", [](TestPackage* p) { p->licence.clear(); }, "licence: 12 bytes -> none\n"},
      {"run after", [](TestPackage* p) { p->runAfter.clear(); },
       "run after: \"{OurProgramDir}\\App.exe /first\" -> \"\"\n"},
      {"content", [](TestPackage* p) { p->files[0].data[69999] ^= 1; },
       "  ~ {OurProgramDir}\\App.exe: content\n"},
      {"size", [](TestPackage* p) { p->files[1].data.push_back('x'); },
       "  ~ {WinSysDir}\\shared.dll: content, size 300 bytes -> 301 bytes\n"},
      {"version", [](TestPackage* p) { p->files[0].version[3] = 5; },
       "  ~ {OurProgramDir}\\App.exe: version 1.2.3.4 -> 1.2.3.5\n"},
      {"time and shared", [](TestPackage* p) { p->files[1].fileTime += 10000000; p->files[1].shared = false; },
       "  ~ {WinSysDir}\\shared.dll: time 2020-01-02 03:04:05 -> 2020-01-02 03:04:06, shared yes -> no\n"},
      {"self-registration",
       [](TestPackage* p) {
         test_pe::VersionFields fields;
         p->files[0].data = test_pe::VersionedLibrary(fields);
         fields.selfRegister = true;
         p->files[1].data = test_pe::VersionedLibrary(fields);
       },
       ", self-registering no -> yes\n"},
      {"target moved", [](TestPackage* p) { p->files[1].target = "{WinSysDir}\\other.dll"; },
       "  ~ {WinSysDir}\\other.dll: target {WinSysDir}\\shared.dll -> {WinSysDir}\\other.dll\n"},
      {"letter case", [](TestPackage* p) { p->files[0].target = "{ourprogramdir}\\APP.exe"; },
       "  ~ {ourprogramdir}\\APP.exe: target {OurProgramDir}\\App.exe -> {ourprogramdir}\\APP.exe\n"},
      {"added", [](TestPackage* p) { p->files.push_back({"C:\\Data\\new.txt", Bytes{'a', 'b'}, {}, 0, false}); },
       "  + C:\\Data\\new.txt (2 bytes, version -, 1601-01-01 00:00:00)\n"},
      {"removed", [](TestPackage* p) { p->files.pop_back(); },
       "  - C:\\Data\\empty.txt (0 bytes, version -, 1601-01-01 00:00:00)\n"},
      {"shortcut", [](TestPackage* p) { p->shortcuts[0] = "{OurShortcutDir}\\App={OurProgramDir}\\App.exe\t-y\t{OurProgramDir}"; },
       "  ~ {OurShortcutDir}\\App: arguments -x a=b -> -y\n"},
      {"shortcut added", [](TestPackage* p) { p->shortcuts.push_back("{Desktop}\\App={OurProgramDir}\\App.exe"); },
       "  + {Desktop}\\App -> {OurProgramDir}\\App.exe\n"},
      {"value", [](TestPackage* p) { p->registry[2] = std::string("count=D\x02\x00\x00\x00", 11); },
       "  ~ HKEY_CLASSES_ROOT\\.abc: \"Count\" = D 1 (0x00000001) -> \"count\" = D 2 (0x00000002)\n"},
      {"value moved to another key",
       [](TestPackage* p) {
         p->registry.erase(p->registry.begin() + 4);
         p->registry.insert(p->registry.end(), {":HKEY_CURRENT_USER\\Software\\X", "Old=N"});
       },
       "  + key HKEY_CURRENT_USER\\Software\\X\n"
       "  + HKEY_CURRENT_USER\\Software\\X: \"Old\" = N (not written; removed by the uninstaller)\n"
       "  - HKEY_CLASSES_ROOT\\.abc: \"Old\" = N (not written; removed by the uninstaller)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestPackage package = SamplePackage();
    c.change(&package);
    const Diffed diffed = Diff(package);
    EXPECT_EQ(diffed.code, kExitDifferent);
    EXPECT_NE(diffed.out.find(c.line), std::string::npos) << diffed.out;
    EXPECT_EQ(diffed.err, "");
  }
}

// Whatever else the two hold, a damaged installer is never "the same", and the message
// says which installer and where.
TEST_F(InstallerDiff, ADamagedOrMissingInstallerComparesWithNothing) {
  TestLayout layout;
  Bytes damaged = BuildInstallerImage(SamplePackage(), &layout);
  damaged[layout.fileBlocks[1] + 12] ^= 0x40;
  WriteVolumes(dir / "damaged.exe", damaged);
  const Bytes sound = BuildInstallerImage(SamplePackage());
  WriteVolumes(dir / "cut.exe", Bytes(sound.begin(), sound.end() - 30));
  WriteVolumes(dir / "sound.exe", sound);
  const struct {
    std::string oldPath, newPath;
    int code;
    std::string message;
  } cases[] = {
      {dir / "damaged.exe", dir / "damaged.exe", kExitDiffDamaged,
       "twk: " + dir / "damaged.exe" + " at offset " + std::to_string(layout.fileBlocks[1]) +
           ": block 2 of file entry 1 ({OurProgramDir}\\App.exe) is damaged: "},
      {dir / "sound.exe", dir / "cut.exe", kExitDiffDamaged, "twk: " + dir / "cut.exe" + " at offset"},
      {dir / "missing.exe", dir / "sound.exe", kExitInputError,
       "twk: " + dir / "missing.exe" + ": does not exist\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.newPath);
    const Diffed diffed = DiffPaths(c.oldPath, c.newPath);
    EXPECT_EQ(diffed.code, c.code);
    EXPECT_EQ(diffed.out, "");
    EXPECT_EQ(diffed.err.find(c.message), 0u) << diffed.err;
  }
}

}  // namespace
