// Whole runs that meet trouble on the machine or in the package: targets in use on both
// families, a damaged block or file list, a folder that is a file and a file that is a
// folder, links where the installation writes. Every message box is scripted.
#include "tests/installer/install_test_support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "base/little_endian.h"
#include "package/format.h"

#include "platform/message_box.h"
#include "platform/sim/machine/sim_command_line.h"
#include "platform/sim/machine/windows_path.h"
#include "runtime/quiet_run.h"

namespace install_test {
namespace {

const char kRestartText[] =
    "Installation complete! Some files could not be updated immediately; you will need to "
    "restart Windows to finalize the installation.";
const char kCorruptedText[] =
    "The installation was not successful. One of the files appears to be corrupted. Please "
    "obtain a fresh copy of the installation file(s) and try again.";
const char kNotWrittenText[] =
    "The installation was not successful. One or more files could not be written. Please "
    "ensure that no version of this program is already running and try the installation again.";
constexpr uint32_t kInformation = platform::kMbIconInformation;
constexpr uint32_t kError = platform::kMbIconError;
// Where the stand-in stub ends: the package offset of every installer built here.
constexpr size_t kPackageStart = 4096;
// Two files, a registry value and a run-after command: what follows the file list shows
// whether the installer went on reading after it.
const char kTwoFileScript[] =
    "[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\nRunAfter={OurProgramDir}\\a.txt\n"
    "[Files]\na.txt {OurProgramDir}\\\nb.txt {OurProgramDir}\\\n"
    "[Registry]\n\"HKEY_LOCAL_MACHINE\\Software\\Tool\"\nX = string \"x\"\n";

class FaultInstall : public InstallTest {
 protected:
  void SetUp() override { machine.ui.answers.useDefaults = true; }
  void BuildOne(const std::string& folder, const std::string& target) {
    Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=" + folder +
              "\nRunAfter={OurProgramDir}\\app.exe\n[Files]\napp.dll \"" + target + "\"\n",
          {{"app.dll", Text("new")}});
  }
  Bytes Built() { return ReadBytes(BuildPath("SETUP.EXE")); }
  void Rewrite(const Bytes& bytes) {
    std::ofstream(BuildPath("SETUP.EXE"), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // Nothing after a damaged file list may be taken for the lists that follow it.
  void ExpectNothingAfterTheFileList() {
    EXPECT_FALSE(machine.registry.HasKey("HKLM\\Software\\Tool"));
    EXPECT_TRUE(machine.system.shellOpens.empty());
  }
  // `text`'s last occurrence in the two-file package gets one bit of its byte `offset`
  // flipped: the installation must end as a corrupted package.
  void ExpectCorruptedWhenFlipped(const std::string& text, long offset) {
    SCOPED_TRACE(text);
    Build(kTwoFileScript, {{"a.txt", Text("a")}, {"b.txt", Text("b")}});
    Bytes bytes = Built();
    const auto at = std::find_end(bytes.begin() + kPackageStart, bytes.end(), text.begin(), text.end());
    ASSERT_NE(at, bytes.end());
    at[offset] ^= 0x04;
    Rewrite(bytes);
    machine.user.Expect(kCorruptedText, "Installation Failed!", kError, platform::kIdOk);
    EXPECT_EQ(Install().exitCode, 0);
    ExpectCleanRun();
    ExpectNothingAfterTheFileList();
  }
  // An older copy of the target, held open by a program that runs.
  void PutInUse(const std::string& target) {
    machine.files.PutFile(target, Text("old"));
    machine.files.SetLastWriteTimeOf(target, {0, 0x01B00000});  // 1986
    machine.files.MarkInUse(target);
  }
};

TEST_F(FaultInstall, TargetInUseOnNtIsReplacedAtTheNextStart) {
  const std::string target = std::string(kProgramFolder) + "\\app.dll";
  BuildOne("Tool", "{OurProgramDir}\\app.dll");
  PutInUse(target);
  machine.user.Expect(kRestartText, "Success!", kInformation, platform::kIdOk);
  Install();
  ExpectCleanRun();
  ASSERT_NE(WaitingFile(target), "");
  EXPECT_EQ(machine.files.FileBytes(WaitingFile(target)), Text("new"));
  EXPECT_EQ(LogOf(kUninstaller).files.at(1).path, target) << "logged under its own name";
  EXPECT_EQ(machine.system.restartRequests, 0) << "NT: advised, not asked";
  machine.Restart();
  EXPECT_EQ(machine.files.FileBytes(target), Text("new"));
  EXPECT_EQ(WaitingFile(target), "");
}

// Nothing would ever put the waiting file in place: the file is reported as not written,
// never as a success that needs a restart.
TEST_F(FaultInstall, TargetInUseOnNtWhoseMoveIsRefusedFailsTheInstallation) {
  const std::string target = std::string(kProgramFolder) + "\\app.dll";
  BuildOne("Tool", "{OurProgramDir}\\app.dll");
  PutInUse(target);
  machine.system.refuseBootMoves = true;
  machine.user.Expect("There was an error extracting a file: can't create file", "Error!", kError,
                      platform::kIdOk);
  machine.user.Expect(kNotWrittenText, "Installation Failed!", kError, platform::kIdOk);
  Install();
  ExpectCleanRun();
  EXPECT_TRUE(machine.system.bootMoves.empty());
  EXPECT_EQ(machine.files.FileBytes(target), Text("old"));
}

TEST_F(FaultInstall, TargetsInUseOn9xGoThroughWininitOrWaitForTheFinalizer) {
  machine.SetFamily(sim::Family::k9x);
  Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=C:\\TOOL\n"
        "RunAfter={OurProgramDir}\\app.exe\n[Files]\n"
        "app.dll {OurProgramDir}\\APP.DLL\nlong.dll \"{OurProgramDir}\\Long Name.dll\"\n",
        {{"app.dll", Text("new")}, {"long.dll", Text("new long")}});
  PutInUse("C:\\TOOL\\APP.DLL");
  PutInUse("C:\\TOOL\\Long Name.dll");
  machine.user.Expect(std::string(kRestartText) + "\n\nMay I restart Windows now?",
                      "Restart Windows?", platform::kMbYesNo | kInformation, platform::kIdYes);
  Install();
  ExpectCleanRun();
  EXPECT_EQ(machine.system.restartRequests, 1);
  // The long name cannot go into WININIT.INI: the finalizer renames it after the start,
  // and opens the run-after command then.
  EXPECT_TRUE(sim::SamePath(
      machine.registry.Text("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                            "TWKSetup_Finalize"),
      "\"C:\\TOOL\\FINALIZE.EXE\""));
  EXPECT_TRUE(machine.files.Exists("C:\\TOOL\\FINALIZE.EXE"));
  EXPECT_EQ(machine.registry.Text("HKLM\\SOFTWARE\\Tarnwick\\Kitwright\\RunAfter", "RunAfter"),
            "C:\\TOOL\\app.exe");
  EXPECT_TRUE(machine.system.shellOpens.empty());
  machine.Restart();
  EXPECT_EQ(machine.files.FileBytes("C:\\TOOL\\APP.DLL"), Text("new"));
  ASSERT_NE(WaitingFile("C:\\TOOL\\Long Name.dll"), "");
  EXPECT_EQ(machine.files.FileBytes(WaitingFile("C:\\TOOL\\Long Name.dll")), Text("new long"));
}

// WININIT.INI that cannot be written (here: in use) leaves even a short-named file to the
// finalizer, instead of to nothing at all.
TEST_F(FaultInstall, TargetInUseOn9xWithoutWininitWaitsForTheFinalizer) {
  machine.SetFamily(sim::Family::k9x);
  BuildOne("C:\\TOOL", "{OurProgramDir}\\APP.DLL");
  PutInUse("C:\\TOOL\\APP.DLL");
  machine.files.PutFile("C:\\WINDOWS\\WININIT.INI", Text(""));
  machine.files.MarkInUse("C:\\WINDOWS\\WININIT.INI");
  machine.user.Expect(std::string(kRestartText) + "\n\nMay I restart Windows now?",
                      "Restart Windows?", platform::kMbYesNo | kInformation, platform::kIdNo);
  machine.user.Expect("Remember to restart Windows before trying to use the newly-installed program.",
                      "Success!", kInformation, platform::kIdOk);
  Install();
  ExpectCleanRun();
  EXPECT_TRUE(sim::SamePath(
      machine.registry.Text("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                            "TWKSetup_Finalize"),
      "\"C:\\TOOL\\FINALIZE.EXE\""));
  EXPECT_NE(WaitingFile("C:\\TOOL\\APP.DLL"), "");
}

// Every command line the installation leaves for Add/Remove Programs, deployment tools
// and Windows' next start names its program whole: a program planted where a path with a
// blank would be cut (C:\My.exe for C:\My Tools\...) never runs in its place.
TEST_F(FaultInstall, CommandLinesLeftForOthersNameTheirProgramWhole) {
  machine.SetFamily(sim::Family::k9x);
  BuildOne("C:\\My Tools", "{OurProgramDir}\\Long Name.dll");
  PutInUse("C:\\My Tools\\Long Name.dll");
  machine.files.PutFile("C:\\My.exe", Text("planted"));
  machine.user.Expect(std::string(kRestartText) + "\n\nMay I restart Windows now?",
                      "Restart Windows?", platform::kMbYesNo | kInformation, platform::kIdNo);
  machine.user.Expect("Remember to restart Windows before trying to use the newly-installed program.",
                      "Success!", kInformation, platform::kIdOk);
  Install();
  ExpectCleanRun();
  const char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
  const char kRunOnce[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
  const struct {
    const char* key;
    const char* value;
    const char* program;
  } kCommands[] = {
      {kEntry, "UninstallString", "C:\\My Tools\\UNINST.EXE"},
      {kEntry, "QuietUninstallString", "C:\\My Tools\\UNINST.EXE"},
      {kRunOnce, "TWKSetup_Finalize", "C:\\My Tools\\FINALIZE.EXE"},
  };
  const auto isFile = [this](const std::string& path) {
    return machine.files.Exists(path) && !machine.files.IsFolder(path);
  };
  for (const auto& command : kCommands) {
    SCOPED_TRACE(command.value);
    const std::string line = machine.registry.Text(command.key, command.value);
    EXPECT_TRUE(sim::SamePath(sim::SplitCommandLine(line, isFile).program, command.program))
        << line;
  }
}

TEST_F(FaultInstall, DamagedBlockIsReportedAsACorruptedFile) {
  Build("[Setup]\nTitle=Tool\nProgramFolder=Tool\n[Files]\nnoise.bin {OurProgramDir}\\\n",
        {{"noise.bin", Noise(60000, 3)}});
  {
    // The middle of the installation file lies inside the one big block's stored bytes.
    std::fstream file(BuildPath("SETUP.EXE"), std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const std::streamoff middle = file.tellg() / 2;
    file.seekg(middle);
    const char byte = static_cast<char>(file.get() ^ 0x55);
    file.seekp(middle);
    file.put(byte);
  }
  machine.user.Expect("There was an error extracting a file: ExtractBlock returned false", "Error!",
                      kError, platform::kIdOk);
  machine.user.Expect(kCorruptedText, "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
}

// One flipped bit can zero a name's length byte: the file list then seems to end early,
// with blocks that the header counts still unread.
TEST_F(FaultInstall, FileListEndingBeforeEveryBlockIsACorruptedPackage) {
  Build(kTwoFileScript, {{"a.txt", Text("a")}, {"b.txt", Text("b")}});
  Bytes bytes = Built();
  const std::string name = "{OurProgramDir}\\b.txt";
  const auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
  ASSERT_NE(at, bytes.end());
  ASSERT_EQ(at[-1], name.size());
  at[-1] = 0;
  Rewrite(bytes);
  machine.user.Expect(kCorruptedText, "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  EXPECT_EQ(machine.files.FileBytes(std::string(kProgramFolder) + "\\a.txt"), Text("a"));
  ExpectNothingAfterTheFileList();
}

// The header of a one-file package in front of the entries of a two-file one: a block
// that the header does not count is as much damage as one that is missing.
TEST_F(FaultInstall, MoreBlocksThanTheHeaderCountsIsACorruptedPackage) {
  const auto headerEnd = [](const Bytes& bytes) {
    return kPackageStart + kVolumeLengthWordSize + 1 + kBlockRecordFixedSize +
           LoadLe16(bytes.data() + kPackageStart + kVolumeLengthWordSize + 1);
  };
  std::string oneFile = kTwoFileScript;
  const size_t line = oneFile.find("b.txt");
  oneFile.erase(line, oneFile.find('\n', line) + 1 - line);
  Build(oneFile, {{"a.txt", Text("a")}});
  const Bytes small = Built();
  Build(kTwoFileScript, {{"a.txt", Text("a")}, {"b.txt", Text("b")}});
  const Bytes large = Built();
  Bytes spliced(small.begin(), small.begin() + static_cast<long>(headerEnd(small)));
  spliced.insert(spliced.end(), large.begin() + static_cast<long>(headerEnd(large)), large.end());
  Rewrite(spliced);
  machine.user.Expect(kCorruptedText, "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  ExpectNothingAfterTheFileList();
}

// Names, fields and list lines have no block checksum: the header's directory checksum
// covers them, and the lists are checked before a shortcut or value is made from them.
TEST_F(FaultInstall, ADamagedNameListLineOrCommandIsACorruptedPackage) {
  ExpectCorruptedWhenFlipped("{OurProgramDir}\\b.txt", 18);  // b.tpt, not another file
  ExpectCorruptedWhenFlipped("X=S", 0);                     // a value never written
  ExpectCorruptedWhenFlipped("{OurProgramDir}\\a.txt", 16);  // a command never run
}

// The mode byte has no checksum: turned into an uninstaller's or a finalizer's (or any
// other), an installer must fail as a corrupted package, not report a finished run.
TEST_F(FaultInstall, AFlippedModeByteIsACorruptedPackageNotAFinishedRun) {
  Build(kTwoFileScript, {{"a.txt", Text("a")}, {"b.txt", Text("b")}});
  const Bytes built = Built();
  for (int bit = 0; bit < 8; ++bit) {
    SCOPED_TRACE(bit);
    Bytes bytes = built;
    bytes[kPackageStart + kVolumeLengthWordSize] ^= static_cast<uint8_t>(1 << bit);
    Rewrite(bytes);
    machine.user.Expect(kCorruptedText, "Installation Failed!", kError, platform::kIdOk);
    EXPECT_EQ(Install().exitCode, 1);
    EXPECT_EQ(Install("/S").exitCode, static_cast<int>(kQuietFailed));
    ExpectCleanRun();
    EXPECT_FALSE(machine.files.Exists(kProgramFolder));
    EXPECT_TRUE(machine.system.bootMoves.empty());
  }
}

// CreateFile refuses a folder as it refuses a file in use, but no replacement at the next
// start can put a file where a folder stands: the file is not installed, and no waiting
// file or boot-time move is left behind.
TEST_F(FaultInstall, TargetThatIsAFolderIsAFileThatCannotBeWritten) {
  const std::string target = std::string(kProgramFolder) + "\\app.dll";
  BuildOne("Tool", "{OurProgramDir}\\app.dll");
  machine.files.PutFolder(target + "\\inside");
  machine.user.Expect("There was an error extracting a file: can't create file", "Error!", kError,
                      platform::kIdOk);
  machine.user.Expect(kNotWrittenText, "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  EXPECT_TRUE(machine.files.IsFolder(target + "\\inside"));
  EXPECT_EQ(WaitingFile(target), "");
  EXPECT_TRUE(machine.system.bootMoves.empty());
  EXPECT_EQ(LogOf(kUninstaller).files.size(), 2u) << "FINALIZE.EXE and UNINST.EXE only";
}

// The stream stands inside the file that failed: no list after it can be read.
TEST_F(FaultInstall, AFailedFileLeavesTheListsAfterItUnread) {
  std::string script = kTwoFileScript;
  script.replace(script.find("b.txt {OurProgramDir}"), 21, "b.txt {OurProgramDir}\\Blocker");
  Build(script, {{"a.txt", Text("a")}, {"b.txt", Text("b")}});
  machine.files.PutFile(std::string(kProgramFolder) + "\\Blocker", {});
  machine.user.Expect("Could not create target directory.", "Error!", kError, platform::kIdOk);
  machine.user.Expect(kNotWrittenText, "Installation Failed!", kError, platform::kIdOk);
  Install();
  ExpectCleanRun();
  ExpectNothingAfterTheFileList();
  EXPECT_EQ(LogOf(kUninstaller).files.at(1).path, std::string(kProgramFolder) + "\\a.txt");
}

TEST_F(FaultInstall, FolderThatIsAFileIsReportedOncePerRun) {
  Build("[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\n[Files]\n"
        "a.txt {OurProgramDir}\\\nb.txt {OurProgramDir}\\sub\\\n",
        {{"a.txt", Text("a")}, {"b.txt", Text("b")}});
  machine.files.PutFile(kProgramFolder, Text("a file where the folder should be"));
  machine.user.Expect("Could not create target directory.", "Error!", kError, platform::kIdOk);
  machine.user.Expect(kNotWrittenText, "Installation Failed!", kError, platform::kIdOk);
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  EXPECT_EQ(machine.files.FileBytes(kProgramFolder), Text("a file where the folder should be"));
}

// Links another program left where the installation writes: a junction or symbolic link
// (a reparse point) leads to a place that is not the installation's, a second name of a
// file (a hard link) shares its bytes with a file elsewhere. Each fails as a file or
// folder that cannot be made, and nothing behind it changes or is logged.
struct LinkCase {
  const char* name;
  void (*plant)(sim::SimFileSystem& files);
  std::vector<std::pair<std::string, std::string>> prompts;  // text, caption
  const char* made = nullptr;                                // a file that must be there
};

const char kVictim[] = "C:\\Victim";
const std::string kApp = std::string(kProgramFolder) + "\\app.dll";
const char kLinkScript[] =
    "[Setup]\nTitle=Tool\nProductKey=Tool\nProgramFolder=Tool\nStartMenuFolder=Tool\n"
    "[Files]\napp.dll {OurProgramDir}\\\nreadme.txt {OurProgramDir}\\docs\\readme.txt\n"
    "[Shortcuts]\n\"{OurShortcutDir}\\Tool\" {OurProgramDir}\\app.dll\n"
    "\"{Desktop}\\Tool\" {OurProgramDir}\\app.dll\n";
const std::pair<std::string, std::string> kFolderRefused{"Could not create target directory.",
                                                         "Error!"};
const std::pair<std::string, std::string> kFileRefused{
    "There was an error extracting a file: can't create file", "Error!"};
const std::pair<std::string, std::string> kFailed{kNotWrittenText, "Installation Failed!"};
const std::pair<std::string, std::string> kRestart{kRestartText, "Success!"};
const std::pair<std::string, std::string> kSucceeded{
    "Installation complete! You can use the program immediately.", "Success!"};

const LinkCase kLinkCases[] = {
    {"ProgramFolderIsAJunction",
     [](sim::SimFileSystem& files) { files.MakeLink(kProgramFolder, kVictim); },
     {kFolderRefused, kFailed}},
    {"FolderOnTheWayIsAJunction",
     [](sim::SimFileSystem& files) {
       files.MakeLink(std::string(kProgramFolder) + "\\docs", kVictim);
     },
     {kFolderRefused, kFailed}},
    {"TargetIsASymbolicLink",
     [](sim::SimFileSystem& files) { files.MakeLink(kApp, std::string(kVictim) + "\\app.dll"); },
     {kFileRefused, kFailed}},
    {"TargetIsAHardLink",
     [](sim::SimFileSystem& files) {
       files.MakeHardLink(kApp, std::string(kVictim) + "\\app.dll");
     },
     {kFileRefused, kFailed}},
    // The waiting file of a target in use is made new under another name.
    {"WaitingFileNameIsALink",
     [](sim::SimFileSystem& files) {
       files.PutFile(kApp, Text("old"));
       files.SetLastWriteTimeOf(kApp, {0, 0x01B00000});
       files.MarkInUse(kApp);
       files.MakeLink(kApp + ".NewTemp", std::string(kVictim) + "\\app.dll");
     },
     {kRestart}},
    {"ShortcutFolderIsAJunction",
     [](sim::SimFileSystem& files) {
       files.MakeLink("C:\\WINDOWS\\Start Menu\\Programs\\Tool", kVictim);
     },
     {kFolderRefused, kFailed}},
    // A folder the system names is taken as it stands, link or not (Wine's desktop is one).
    {"ShellFolderIsALink",
     [](sim::SimFileSystem& files) {
       files.PutFolder("C:\\Profile\\Desktop");
       files.MakeLink("C:\\WINDOWS\\Desktop", "C:\\Profile\\Desktop");
     },
     {kSucceeded},
     "C:\\Profile\\Desktop\\Tool.lnk"},
    // A link file that cannot be made is passed over without a word, as always.
    {"DesktopShortcutIsASymbolicLink",
     [](sim::SimFileSystem& files) {
       files.MakeLink("C:\\WINDOWS\\Desktop\\Tool.lnk", std::string(kVictim) + "\\Tool.lnk");
     },
     {kSucceeded}},
};

void PrintTo(const LinkCase& linkCase, std::ostream* out) { *out << linkCase.name; }

class LinkInstall : public FaultInstall, public ::testing::WithParamInterface<LinkCase> {
 protected:
  std::map<std::string, Bytes> VictimFiles() {
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::directory_iterator(Host(kVictim))) {
      files[entry.path().filename().string()] = ReadBytes(entry.path().string());
    }
    return files;
  }
};

TEST_P(LinkInstall, IsRefusedAndNothingBehindItChanges) {
  Build(kLinkScript, {{"app.dll", Text("new")}, {"readme.txt", Text("readme")}});
  for (const char* name : {"app.dll", "readme.txt", "Tool.lnk"}) {
    machine.files.PutFile(std::string(kVictim) + "\\" + name, Text("victim"));
  }
  const std::map<std::string, Bytes> before = VictimFiles();
  GetParam().plant(machine.files);
  for (const auto& prompt : GetParam().prompts) {
    machine.user.Expect(prompt.first, prompt.second,
                        platform::kMbOk | (prompt.second == "Success!" ? kInformation : kError),
                        platform::kIdOk);
  }
  EXPECT_EQ(Install().exitCode, 0);
  ExpectCleanRun();
  EXPECT_EQ(VictimFiles(), before);
  if (GetParam().made != nullptr) {
    EXPECT_TRUE(machine.files.Exists(GetParam().made));
  }
  if (machine.files.Exists(kUninstaller)) {
    for (const LoggedFile& file : LogOf(kUninstaller).files) {
      EXPECT_FALSE(machine.files.IsLink(file.path)) << file.path;
      EXPECT_EQ(machine.files.LongPath(file.path).find("Victim"), std::string::npos) << file.path;
    }
  }
  for (const sim::BootMove& move : machine.system.bootMoves) {
    EXPECT_FALSE(machine.files.IsLink(move.from)) << move.from;
  }
}

INSTANTIATE_TEST_SUITE_P(Links, LinkInstall, ::testing::ValuesIn(kLinkCases),
                         [](const ::testing::TestParamInfo<LinkCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace install_test
