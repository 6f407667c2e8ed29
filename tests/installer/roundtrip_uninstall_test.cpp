// Install, then uninstall through the relaunch: the machine must be as it was. The
// hand-over to the copy: the decisions, how Windows reads the copy's command line, and the
// ways the hand-over can fail on the machine.
#include <algorithm>
#include <filesystem>

#include "maintenance/relaunch.h"
#include "platform/message_box.h"
#include "platform/sim/machine/sim_command_line.h"
#include "platform/sim/machine/sim_ui.h"
#include "tests/installer/install_test_support.h"
#include "tests/support/package_bytes.h"
#include "twk/common/message_table.h"
#include "twk/reader/installer_texts.h"
#include "twk/simulate/simulate_restart.h"

namespace install_test {
namespace {

const char kConfirm[] = "Are you SURE you wish to uninstall this program?";

using RoundTrip = InstallTest;

TEST_F(RoundTrip, UninstallThroughTheCopyLeavesTheMachineAsBeforeTheInstall) {
  PutOtherProgram();
  BuildTool();
  const std::string setup = PlaceProgram(Installer(), machine.files.Root());
  const MachineSnapshot before = TakeSnapshot(machine);
  sim::UseDefaultAnswers();
  ASSERT_EQ(RunProcesses(machine, setup, "", transcript).size(), 1u);
  ASSERT_TRUE(machine.files.Exists(kUninstaller));
  const size_t installPrompts = machine.user.Shown().size();

  machine.user.Expect(kSharedQuestion, kSharedLibrary,
                      platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefaultButton2,
                      platform::kIdYes);
  const std::vector<ProcessStep> steps = Uninstall();
  ExpectCleanRun();
  // The first process hands over to the copy, in a folder of its own, and ends; the copy
  // waits for it on the handle it inherited, then works.
  ASSERT_EQ(steps.size(), 2u) << transcript.str();
  EXPECT_EQ(steps[0].run.exitCode, 0);
  const std::string copy = steps[1].modulePath;
  const std::string folder = copy.substr(0, copy.rfind('\\'));
  EXPECT_TRUE(IsRelaunchFolder(folder.c_str(), "C:\\WINDOWS\\TEMP\\")) << copy;
  EXPECT_EQ(copy.substr(folder.size()), "\\UNINST.EXE");
  EXPECT_EQ(machine.process.privateFolders, std::vector<std::string>{folder});
  EXPECT_EQ(steps[1].tail, "/step2 /P=500");
  EXPECT_EQ(machine.process.waitedHandles, std::vector<uint32_t>{500});
  EXPECT_EQ(machine.files.CurrentFolder(), "C:\\WINDOWS");
  // Confirm, the shared file, Done: no retry question, since UNINST.EXE was free.
  ASSERT_EQ(machine.user.Shown().size(), installPrompts + 3);
  EXPECT_EQ(machine.user.Shown()[installPrompts].text, kConfirm);
  EXPECT_EQ(machine.user.Shown().back().caption, "Done.");

  // The folders that held only the product's files are gone at once; the copy itself
  // and its folder are removed at the next start.
  EXPECT_FALSE(machine.files.Exists(kProgramFolder));
  EXPECT_FALSE(machine.files.Exists("C:\\WINDOWS\\Start Menu\\Programs\\Tool"));
  EXPECT_TRUE(machine.files.Exists(copy));
  EXPECT_EQ(RestartWindows(machine, transcript), std::vector<std::string>{});
  EXPECT_EQ(SharedCount("C:\\WINDOWS\\SYSTEM32\\other.dll"), 2u);
  ExpectSameState(before, TakeSnapshot(machine));
}

// Every text the user saw: message boxes, status lines, the pages' texts and the dialogs'
// texts the program set, the folder browser's line and the background window's name.
std::vector<std::string> ShownTexts(const sim::SimMachine& machine) {
  std::vector<std::string> shown = {machine.ui.backgroundName};
  for (const sim::ShownPrompt& prompt : machine.user.Shown()) {
    shown.push_back(prompt.text);
    shown.push_back(prompt.caption);
  }
  for (const sim::ProgressRecord& record : machine.ui.progress) {
    shown.insert(shown.end(), record.statusTexts.begin(), record.statusTexts.end());
  }
  for (const sim::ShownPage& page : machine.ui.pages) {
    for (const auto& control : page.controls) shown.push_back(control.second.text);
  }
  for (const sim::ShownBrowse& browse : machine.ui.browses) shown.push_back(browse.title);
  for (const auto& text : machine.ui.dialogTexts) shown.push_back(text.second);
  return shown;
}

// The pieces of each English text between its placeholders that could not turn up in a
// German text by chance.
std::vector<std::string> EnglishPieces() {
  std::vector<std::string> pieces;
  for (size_t id = 0; id < kMessageCount; ++id) {
    const std::string english = MessageAt(id).english;
    size_t start = 0;
    for (size_t at = english.find('%'); start < english.size(); at = english.find('%', start)) {
      const std::string piece = english.substr(start, at == std::string::npos ? at : at - start);
      if (piece.size() >= 4) pieces.push_back(piece);
      if (at == std::string::npos) break;
      start = english.find_first_of("sdu", at) + 1;
    }
  }
  return pieces;
}

TEST_F(RoundTrip, AGermanInstallationAndItsUninstallerShowNoEnglishText) {
  std::string script = kToolScript;
  script.insert(std::string("[Setup]\n").size(), "Language = de\n");
  script += "[Messages]\nUNINSTALL_DONE = \"Weg!\"\n";
  WriteSources({{"tool.exe", Text("tool")}, {"big.dat", Noise(70000, 7)},
                {"shared.dll", Text("shared library")}});
  test_files::WriteBytes(BuildPath("stub.exe"), test_files::FakePeStub());
  test_files::WriteText(BuildPath("setup.twk"), script);
  BuildFrom("setup.twk");
  sim::UseDefaultAnswers();
  machine.ui.answers.PagePress(111, sim::WizardAction::kNext);
  machine.ui.answers.PageType(102, "C:\\a|b", sim::WizardAction::kNext);  // refused
  machine.ui.answers.PageBrowse(102, "C:\\Program Files\\Tool", sim::WizardAction::kNext);
  machine.ui.answers.PagePress(114, sim::WizardAction::kFinish);
  InstallPlaced();
  const std::string refusal = ReadInstallerTexts(Installer()).texts[MSG_FOLDER_REFUSED];
  EXPECT_EQ(refusal.substr(0, 19), "Bitte geben Sie den");
  EXPECT_EQ(machine.user.Shown().at(0).text, refusal);
  ASSERT_TRUE(machine.files.Exists(kUninstaller));
  const std::vector<ProcessStep> steps = Uninstall();
  ASSERT_EQ(steps.size(), 2u) << transcript.str();
  ExpectCleanRun();
  EXPECT_FALSE(machine.files.Exists(kProgramFolder));
  EXPECT_EQ(machine.user.Shown().back().text, "Weg!");

  const std::vector<std::string> shown = ShownTexts(machine);
  for (const std::string& piece : EnglishPieces()) {
    for (const std::string& text : shown) EXPECT_EQ(text.find(piece), std::string::npos) << text;
  }
  // No dialog kept a text of its template.
  for (size_t id = 0; id < kMessageCount; ++id) {
    const MessageInfo& message = MessageAt(id);
    if (message.dialog < 0) continue;
    EXPECT_EQ(machine.ui.dialogTexts.count({message.dialog, message.control}), 1u) << message.name;
  }
  // The uninstaller is the stub's copy with its texts, as twk reads them too.
  const InstallerTexts texts = ReadInstallerTexts(Host(steps[1].modulePath));
  EXPECT_EQ(texts.language, "de");
  EXPECT_TRUE(texts.overridden[MSG_UNINSTALL_DONE]);
  EXPECT_EQ(std::count(texts.overridden.begin(), texts.overridden.end(), true), 1);

  // Without Language and [Messages] the stub is used as it is, but for its offset word.
  test_files::WriteText(BuildPath("setup.twk"), kToolScript);
  BuildFrom("setup.twk");
  EXPECT_FALSE(ReadInstallerTexts(Installer()).present);
  Bytes stub = test_files::FakePeStub();
  StoreLe32(&stub[1000 + kPackageMarkerLength], static_cast<uint32_t>(stub.size()));
  const Bytes built = ReadBytes(Installer());
  EXPECT_TRUE(std::equal(stub.begin(), stub.end(), built.begin()));
}

TEST_F(RoundTrip, TwoProductsSharingALibraryKeepItUntilTheLastIsRemoved) {
  BuildTool();
  sim::UseDefaultAnswers();
  InstallPlaced();
  std::string second = kToolScript;
  second.replace(second.find("ProductKey = Tool"), 17, "ProductKey = Tool2");
  // The second product goes to its own folder; the library is there with the same time.
  machine.ui.answers.PagePress(111, sim::WizardAction::kNext);
  machine.ui.answers.PageType(102, "C:\\Second", sim::WizardAction::kNext);
  machine.ui.answers.PagePress(114, sim::WizardAction::kFinish);
  machine.ui.answers.OverwritePress(117, kSharedLibrary, 1008);
  BuildTool(second);
  InstallPlaced();
  ASSERT_EQ(SharedCount(kSharedLibrary), 2u);

  // The first removal counts down without a question and keeps the library.
  Uninstall();
  EXPECT_TRUE(machine.files.Exists(kSharedLibrary));
  EXPECT_EQ(SharedCount(kSharedLibrary), 1u);
  for (const sim::ShownPrompt& prompt : machine.user.Shown()) {
    EXPECT_NE(prompt.text, kSharedQuestion);
  }

  // The second asks, and on Yes removes it and its count.
  machine.user.Expect(kSharedQuestion, kSharedLibrary, sim::kAnyFlags, platform::kIdYes);
  Uninstall("C:\\Second\\UNINST.EXE");
  ExpectCleanRun();
  EXPECT_FALSE(machine.files.Exists(kSharedLibrary));
  EXPECT_EQ(machine.registry.Value(kSharedCountsKey, kSharedLibrary), nullptr);
  EXPECT_FALSE(machine.files.Exists("C:\\Second"));
}

TEST(RoundTripRelaunchDecision, OnlyTheWholeSwitchesMarkTheCopy) {
  const struct {
    const char* tail;
    bool isCopy;
    uint32_t parent;
  } cases[] = {
      {"/step2", true, 0},
      {"/STEP2", true, 0},
      {"/STEP2 /s", true, 0},  // the copy of a quiet run
      {"/step2 /P=500", true, 500},
      {"/step2 /p=4294967295", true, 0xFFFFFFFFu},
      {"/step2 ", false, 0},
      {" /step2", false, 0},
      {"/step", false, 0},
      {"/step2 /S ", false, 0},
      {"/S /step2", false, 0},
      {"/step2 /P=", false, 0},
      {"/step2 /P=0", false, 0},
      {"/step2 /P=4294967296", false, 0},
      {"/step2 /P=12x", false, 0},
      {"/step2 /P=500 /S", false, 0},
      {"/step2  /P=500", false, 0},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail);
    uint32_t parent = 7;
    EXPECT_EQ(ReadRelaunchTail(c.tail, &parent), c.isCopy);
    EXPECT_EQ(parent, c.parent);
  }
  uint32_t parent = 7;
  EXPECT_FALSE(ReadRelaunchTail(nullptr, &parent));
}

TEST(RoundTripRelaunchDecision, FolderCopyPathAndCommandLine) {
  char out[kRelaunchCommandSize];
  ASSERT_TRUE(ComposeRelaunchFolder("C:\\T\\", 0x1A2B3C, out, sizeof out));
  EXPECT_STREQ(out, "C:\\T\\TWK001A2B3C.tmp");
  ASSERT_TRUE(ComposeRelaunchFolder("C:\\T", 0xFFFFFFFFu, out, sizeof out));
  EXPECT_STREQ(out, "C:\\T\\TWKFFFFFFFF.tmp");
  // "C:\T\TWK00000000.tmp" needs 21 bytes with its NUL.
  EXPECT_TRUE(ComposeRelaunchFolder("C:\\T", 0, out, 21));
  EXPECT_FALSE(ComposeRelaunchFolder("C:\\T", 0, out, 20));
  EXPECT_STREQ(out, "");
  const struct {
    const char* folder;
    bool ours;
  } folders[] = {
      {"C:\\T\\TWK001A2B3C.tmp", true},
      {"c:\\t\\twk001a2b3c.TMP", true},
      {"C:\\T\\TWK001A2B3.tmp", false},
      {"C:\\T\\TWK001A2B3G.tmp", false},
      {"C:\\T\\TWK001A2B3C.tmpx", false},
      {"C:\\T\\X\\TWK001A2B3C.tmp", false},
      {"C:\\TWK001A2B3C.tmp", false},
      {"C:\\T", false},
  };
  for (const auto& f : folders) {
    SCOPED_TRACE(f.folder);
    EXPECT_EQ(IsRelaunchFolder(f.folder, "C:\\T\\"), f.ours);
    EXPECT_EQ(IsRelaunchFolder(f.folder, "C:\\T"), f.ours);
  }

  ASSERT_TRUE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T\\", out, sizeof out));
  EXPECT_STREQ(out, "C:\\T\\UNINST.EXE");
  ASSERT_TRUE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T", out, sizeof out));
  EXPECT_STREQ(out, "C:\\T\\UNINST.EXE");
  EXPECT_FALSE(ComposeCopyPath("UNINST.EXE", "C:\\T", out, sizeof out));
  // "C:\T\UNINST.EXE" needs 16 bytes with its NUL.
  EXPECT_TRUE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T", out, 16));
  EXPECT_FALSE(ComposeCopyPath("C:\\P\\UNINST.EXE", "C:\\T", out, 15));
  EXPECT_STREQ(out, "");

  // Quoted always: a blank in the path would otherwise change the copy's tail.
  ASSERT_TRUE(ComposeRelaunchCommand("C:\\T\\UNINST.EXE", false, 0, out, sizeof out));
  EXPECT_STREQ(out, "\"C:\\T\\UNINST.EXE\" /step2");
  ASSERT_TRUE(ComposeRelaunchCommand("C:\\Temp Files\\UNINST.EXE", false, 500, out, sizeof out));
  EXPECT_STREQ(out, "\"C:\\Temp Files\\UNINST.EXE\" /step2 /P=500");
  ASSERT_TRUE(ComposeRelaunchCommand("C:\\Temp Files\\UNINST.EXE", true, 500, out, sizeof out));
  EXPECT_STREQ(out, "\"C:\\Temp Files\\UNINST.EXE\" /step2 /S");
  // 24 characters and the NUL.
  EXPECT_TRUE(ComposeRelaunchCommand("C:\\T\\UNINST.EXE", false, 0, out, 25));
  EXPECT_FALSE(ComposeRelaunchCommand("C:\\T\\UNINST.EXE", false, 0, out, 24));
  EXPECT_STREQ(out, "");
}

TEST(RoundTripRelaunchDecision, WindowsReadsTheCommandLineAsTheCopyExpects) {
  const auto exists = [](const std::string& path) {
    return path == "C:\\Temp Files\\UNINST.EXE" || path == "C:\\Program Files\\X\\F.exe";
  };
  sim::CommandLineParts parts = sim::SplitCommandLine("\"C:\\Temp Files\\UNINST.EXE\" /step2", exists);
  EXPECT_EQ(parts.program, "C:\\Temp Files\\UNINST.EXE");
  EXPECT_EQ(parts.tail, "/step2");
  // Unquoted, Windows still finds the program, but its start-up code cuts the name at the
  // first blank: the tail is no longer the switch.
  parts = sim::SplitCommandLine("C:\\Temp Files\\UNINST.EXE /step2", exists);
  EXPECT_EQ(parts.program, "C:\\Temp Files\\UNINST.EXE");
  EXPECT_EQ(parts.tail, "Files\\UNINST.EXE /step2");
  parts = sim::SplitCommandLine("C:\\Program Files\\X\\F.exe", exists);
  EXPECT_EQ(parts.program, "C:\\Program Files\\X\\F.exe");
  EXPECT_EQ(sim::SplitCommandLine("C:\\none.exe /a", exists).program, "");
}

class RoundTripRelaunch : public InstallTest {
 protected:
  void SetUp() override {
    BuildTool();
    sim::UseDefaultAnswers();
    InstallPlaced();
    machine.user.Expect(kSharedQuestion, kSharedLibrary, sim::kAnyFlags, 6);
  }
  // Runs UNINST.EXE, which must uninstall in place; when it gets to its own file in the
  // file section, the running program cannot be deleted, so the retry question comes: No
  // goes on. Nothing of a copy may stay in the temporary folder.
  void ExpectUninstallInPlace() {
    const std::vector<std::string> before = TempFolder();
    machine.user.Expect(std::string(kUninstaller) +
                            "\n\nCould not delete file. It may be in use. Shall I try again?",
                        "Retry?", sim::kAnyFlags, 7);
    const std::vector<ProcessStep> steps = Uninstall();
    ExpectCleanRun();
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].tail, "");
    EXPECT_TRUE(machine.process.waitedHandles.empty());
    EXPECT_EQ(machine.user.Shown().back().caption, "Done.");
    EXPECT_FALSE(machine.files.Exists(kProgramFolder + std::string("\\tool.exe")));
    EXPECT_EQ(TempFolder(), before);
    // Its own file goes at the next start.
    ASSERT_FALSE(machine.system.bootMoves.empty());
    EXPECT_EQ(machine.system.bootMoves.back().from, kUninstaller);
  }
  std::vector<std::string> TempFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Host("C:\\WINDOWS\\TEMP"))) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Whatever keeps the copy from being made, checked or started safely, the uninstaller
// runs in place, without waiting, and leaves nothing of the copy behind.
TEST_F(RoundTripRelaunch, EveryFolderNameTakenLeavesTheUninstallerInPlace) {
  // The names the generator will give, taken first by another program.
  sim::SimSystem names;
  names.randomState = machine.system.randomState;
  for (int i = 0; i < 4; ++i) {
    char folder[kRelaunchPathSize];
    ASSERT_TRUE(ComposeRelaunchFolder("C:\\WINDOWS\\TEMP", names.NextRandom(), folder,
                                      sizeof folder));
    machine.files.PutFolder(folder);
  }
  ExpectUninstallInPlace();
}

TEST_F(RoundTripRelaunch, ACopyReplacedBeforeItIsLockedIsNeverStarted) {
  machine.process.replaceBeforeLock = Text("another program, put in place of the copy");
  ExpectUninstallInPlace();
}

TEST_F(RoundTripRelaunch, NoHandleToHandOverLeavesTheUninstallerInPlace) {
  machine.process.failInheritableHandle = true;
  ExpectUninstallInPlace();
}

TEST_F(RoundTripRelaunch, AFailedStartLeavesTheUninstallerInPlace) {
  machine.process.failStartProcess = true;
  ExpectUninstallInPlace();
}

}  // namespace
}  // namespace install_test
