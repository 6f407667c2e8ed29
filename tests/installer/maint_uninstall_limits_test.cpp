// What the uninstaller must leave alone: folders the installation did not make, records
// that lead out of the folder they name or through a link, and everything when its log
// is not whole.
#include <filesystem>
#include <map>

#include "maintenance/removal_bounds.h"
#include "tests/installer/install_test_support.h"

namespace install_test {
namespace {

constexpr char kDesktop[] = "C:\\WINDOWS\\Desktop";
constexpr char kPrograms[] = "C:\\WINDOWS\\Start Menu\\Programs";
constexpr char kToolKey[] = "HKLM\\Software\\Tool";
// The stand-in stub's length: where every maintenance program's trailer begins.
constexpr size_t kTrailerStart = 4096;

std::string Script(const std::string& programFolder) {
  return "[Setup]\nTitle = Tool\nProductKey = Tool\nProgramFolder = " + programFolder +
         "\nStartMenuFolder = Tool\n[Files]\ntool.exe {OurProgramDir}\\\n"
         "readme.txt {OurProgramDir}\\docs\\readme.txt\n[Shortcuts]\n"
         "\"{OurShortcutDir}\\Tool\" {OurProgramDir}\\tool.exe\n"
         "\"{Desktop}\\Tool\" {OurProgramDir}\\tool.exe\n"
         "[Registry]\n\"HKEY_LOCAL_MACHINE\\Software\\Tool\"\nX = string \"x\"\n";
}

class UninstallLimits : public InstallTest {
 protected:
  void InstallTool(const std::string& programFolder) {
    InstallPackage(Script(programFolder), {{"tool.exe", Text("tool")}, {"readme.txt", Text("r")}});
  }
  // The installed UNINST.EXE with its log replaced by `records`.
  Bytes WithLog(const std::vector<std::string>& records) {
    Bytes bytes = ReadBytes(Host(kUninstaller));
    size_t at = kTrailerStart + 5;
    for (int text = 0; text < 3; ++text) at += 1 + bytes.at(at);
    bytes.resize(at);
    for (const std::string& record : records) {
      bytes.push_back(static_cast<uint8_t>(record.size()));
      bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
  }
};

// Only the folders the installation made go: never a shell folder, nor one above the
// program folder, nor Program Files even as the program folder (the user's choice, not
// the installation's to take away).
TEST_F(UninstallLimits, RemovesOnlyTheFoldersTheInstallationMade) {
  machine.files.PutFolder("C:\\Tools");
  const struct {
    const char* folder;  // ProgramFolder = ...
    const char* program;
    const char* gone;
    const char* kept;
  } cases[] = {
      {"Tool", kProgramFolder, kProgramFolder, "C:\\Program Files"},
      {"C:\\Tools\\Tool", "C:\\Tools\\Tool", "C:\\Tools\\Tool", "C:\\Tools"},
      {"C:\\Program Files", "C:\\Program Files", "C:\\Program Files\\docs", "C:\\Program Files"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    InstallTool(c.folder);
    ExpectConfirmation(platform::kIdYes);
    ExpectDone();
    UninstallCopy(ReadBytes(Host(std::string(c.program) + "\\UNINST.EXE")));
    ExpectCleanRun();
    EXPECT_FALSE(machine.files.Exists(std::string(c.program) + "\\tool.exe"));
    EXPECT_FALSE(machine.files.Exists(c.gone));
    EXPECT_TRUE(machine.files.IsFolder(c.kept));
    EXPECT_FALSE(machine.files.Exists(std::string(kPrograms) + "\\Tool"));
    EXPECT_FALSE(machine.files.Exists(std::string(kDesktop) + "\\Tool.lnk"));
    EXPECT_TRUE(machine.files.IsFolder(kDesktop));
    EXPECT_TRUE(machine.files.IsFolder(kPrograms));
  }
}

// Also relative records, which older installers wrote for a folder typed relative: the
// uninstaller, started elsewhere, would find another program's file under the name.
TEST_F(UninstallLimits, PassesOverRecordsThatLeadOutOfTheirFolder) {
  InstallTool("Tool");
  machine.files.PutFile("C:\\WINDOWS\\victim.txt", Text("v"));
  machine.files.PutFile("C:\\victim.txt", Text("v"));
  machine.files.PutFile("C:\\WINDOWS\\SYSTEM32\\lib.dll", Text("l"));
  machine.files.PutFile("C:\\WINDOWS\\reltest\\notes.txt", Text("n"));
  machine.files.PutFile("C:\\reltest\\notes.txt", Text("n"));
  ASSERT_TRUE(machine.files.SetCurrent("C:\\WINDOWS"));
  const std::string tool = std::string(kProgramFolder) + "\\";
  const Bytes forged = WithLog({tool + "FINALIZE.EXE", tool + "..\\..\\WINDOWS\\victim.txt",
                                tool + "docs/../../../victim.txt",
                                tool + "..\\..\\WINDOWS\\SYSTEM32\\lib.dll\t", "reltest\\notes.txt",
                                "\\reltest\\notes.txt", "C:reltest\\notes.txt", tool + "tool.exe",
                                kUninstaller, "", ""});
  ExpectConfirmation(platform::kIdYes);
  ExpectDone();
  test_files::WriteBytes(Host(kUninstallerCopy), forged);
  const std::vector<ProcessStep> steps = Uninstall(kUninstallerCopy, "/step2");
  ExpectCleanRun();
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].run.logRecordsPassedOver, 6u);
  EXPECT_NE(transcript.str().find("records passed over (they lead out of their folder or "
                                  "through a link): 6\n"),
            std::string::npos)
      << transcript.str();
  for (const char* kept : {"C:\\WINDOWS\\victim.txt", "C:\\victim.txt", "C:\\WINDOWS\\SYSTEM32\\lib.dll",
                           "C:\\WINDOWS\\reltest\\notes.txt", "C:\\reltest\\notes.txt"}) {
    EXPECT_TRUE(machine.files.Exists(kept)) << kept;
  }
  EXPECT_FALSE(machine.files.Exists(tool + "tool.exe"));
}

// A quiet removal keeps the log's last record, the UNINST.EXE that its first process runs
// from, for the next start. A forged last record is no program folder's UNINST.EXE: it
// is passed over like any record that climbs out, not left to the next start.
TEST_F(UninstallLimits, AQuietRunLeavesNoForgedLastRecordToTheNextStart) {
  InstallTool("Tool");
  machine.files.PutFile("C:\\WINDOWS\\victim.txt", Text("v"));
  const std::string tool = std::string(kProgramFolder) + "\\";
  test_files::WriteBytes(Host(kUninstallerCopy),
                         WithLog({tool + "tool.exe", tool + "..\\..\\WINDOWS\\victim.txt", "", ""}));
  const ProgramRun run = RunSimulatedProgram(machine, kUninstallerCopy, "/step2 /S");
  ExpectCleanRun();
  EXPECT_EQ(run.logRecordsPassedOver, 1u);
  EXPECT_FALSE(machine.files.Exists(tool + "tool.exe"));
  for (const sim::BootMove& move : machine.system.bootMoves) {
    EXPECT_EQ(move.from.find("victim"), std::string::npos) << move.from;
  }
}

// Links another program put in place of what the installation made: a junction or a
// symbolic link leads elsewhere, a hard link is a second name of another file. Every
// record that leads through one is passed over and counted, and nothing behind it, nor
// the link itself, is touched; everything else goes as always.
struct LinkCase {
  const char* name;
  const char* replaced;  // what the installation made, replaced by a link to the other's
  const char* other;     // the other program's file or folder it leads to
  bool hardLink;
  uint32_t passedOver;
};

const char kOther[] = "C:\\Other";
const LinkCase kLinkCases[] = {
    {"DocsFolderIsAJunction", "C:\\Program Files\\Tool\\docs", "C:\\Other\\docs", false, 1},
    {"FileIsASymbolicLink", "C:\\Program Files\\Tool\\tool.exe", "C:\\Other\\tool.exe", false, 1},
    {"FileIsAHardLink", "C:\\Program Files\\Tool\\tool.exe", "C:\\Other\\tool.exe", true, 1},
    {"DesktopShortcutIsASymbolicLink", "C:\\WINDOWS\\Desktop\\Tool.lnk", "C:\\Other\\Tool.lnk",
     false, 1},
    // FINALIZE.EXE, tool.exe, docs\readme.txt and UNINST.EXE lie behind it.
    {"ProgramFolderIsAJunction", kProgramFolder, kOther, false, 4},
};

void PrintTo(const LinkCase& linkCase, std::ostream* out) { *out << linkCase.name; }

class LinkUninstall : public UninstallLimits, public ::testing::WithParamInterface<LinkCase> {
 protected:
  std::map<std::string, Bytes> OtherFiles() {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Host(kOther))) {
      if (entry.is_regular_file()) files[entry.path().string()] = ReadBytes(entry.path().string());
    }
    return files;
  }
};

TEST_P(LinkUninstall, PassesOverWhatLeadsThroughALink) {
  const LinkCase& c = GetParam();
  InstallTool("Tool");
  const Bytes uninstaller = ReadBytes(Host(kUninstaller));
  for (const char* name : {"tool.exe", "docs\\readme.txt", "Tool.lnk"}) {
    machine.files.PutFile(std::string(kOther) + "\\" + name, Text("other's"));
  }
  const std::map<std::string, Bytes> before = OtherFiles();
  std::filesystem::remove_all(Host(c.replaced));
  if (c.hardLink) {
    machine.files.MakeHardLink(c.replaced, c.other);
  } else {
    machine.files.MakeLink(c.replaced, c.other);
  }
  ExpectConfirmation(platform::kIdYes);
  ExpectDone();
  const ProgramRun run = UninstallCopy(uninstaller);
  ExpectCleanRun();
  EXPECT_EQ(run.logRecordsPassedOver, c.passedOver);
  EXPECT_EQ(OtherFiles(), before);
  EXPECT_TRUE(machine.files.IsLink(c.replaced));
  EXPECT_FALSE(machine.files.Exists(std::string(kPrograms) + "\\Tool"));
  EXPECT_FALSE(machine.registry.HasKey(kToolKey));
}

INSTANTIATE_TEST_SUITE_P(Links, LinkUninstall, ::testing::ValuesIn(kLinkCases),
                         [](const ::testing::TestParamInfo<LinkCase>& param) {
                           return std::string(param.param.name);
                         });

// Windows drops trailing dots and blanks from a name, and older systems take "..." for
// two levels up: every such spelling of a parent step counts, and nothing else does.
TEST(RemovalBounds, EverySpellingOfAParentStepIsOne) {
  for (const char* path : {"C:\\a\\..\\b", "C:\\a/../b", "..\\b", "C:\\a\\..", "C:\\a\\...\\b",
                           "C:\\a\\.. \\b", "C:\\a\\. .\\b"}) {
    EXPECT_TRUE(HasParentStep(path)) << path;
  }
  for (const char* path : {"C:\\a\\.\\b", "C:\\a..\\b", "C:\\..a\\b", "C:\\a\\b..txt", ""}) {
    EXPECT_FALSE(HasParentStep(path)) << path;
  }
}

// A maintenance program has no further volumes: the end of its own file is damage,
// reported once, and a log that cannot be read to its end removes nothing at all.
// A mode byte turned into another one is as damaged as a log cut short: a finalizer's
// mode, or an installer's, must not run in place of the uninstaller.
TEST_F(UninstallLimits, ALogCutShortOrADamagedModeByteRemovesNothing) {
  InstallTool("Tool");
  const Bytes whole = ReadBytes(Host(kUninstaller));
  const std::string damaged =
      "The file 'UNINST.EXE' appears to be damaged or incomplete, or there was an error reading "
      "it. You may attempt to retry this operation; if this fails several times, please obtain "
      "a new copy, or contact the author of the program for assistance.";
  const size_t logStart = WithLog({}).size();
  std::vector<Bytes> variants;
  for (const size_t length : {whole.size() - 1, (logStart + whole.size()) / 2, kTrailerStart + 8}) {
    variants.emplace_back(whole.begin(), whole.begin() + static_cast<long>(length));
  }
  for (const uint8_t mode : {0, 3, 5, 0x81}) {
    variants.push_back(whole);
    variants.back()[kTrailerStart + 4] = mode;
  }
  for (const Bytes& variant : variants) {
    SCOPED_TRACE(variant.size());
    const bool trailerWhole = variant.size() > logStart && variant[kTrailerStart + 4] == 1;
    if (trailerWhole) ExpectConfirmation(platform::kIdYes);
    Expect(damaged, "File Damaged", platform::kMbOk | platform::kMbIconError, platform::kIdOk);
    const ProgramRun run = UninstallCopy(variant);
    ExpectCleanRun();
    EXPECT_EQ(run.exitCode, trailerWhole ? 0 : 1);
    EXPECT_FALSE(machine.files.WasAskedFor("C:\\WINDOWS\\TEMP\\UNINST.001"));
    EXPECT_TRUE(machine.files.Exists(std::string(kProgramFolder) + "\\tool.exe"));
    EXPECT_TRUE(machine.files.Exists(kUninstaller));
    EXPECT_EQ(machine.registry.Text(kToolKey, "X"), "x");
  }
  ExpectConfirmation(platform::kIdYes);
  ExpectDone();
  UninstallCopy(whole);
  ExpectCleanRun();
  EXPECT_FALSE(machine.files.Exists(kProgramFolder));
  EXPECT_FALSE(machine.registry.HasKey(kToolKey));
}

}  // namespace
}  // namespace install_test
