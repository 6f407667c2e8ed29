// Extracting file entries from hand-made packages: the records each file leaves, files in
// use, failures, and the overwrite policy's table beyond what whole runs ask of it. The
// self-registration phase after them: which files are loaded, in which order, and what a
// failure asks (No stops at once: install_cancel_test).
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/next_boot.h"
#include "installer/dll_registration.h"
#include "installer/file_extraction.h"
#include "installer/file_version.h"
#include "installer/overwrite_policy.h"
#include "package/file_entry.h"
#include "platform/library.h"
#include "platform/message_box.h"
#include "runtime/setup_state.h"
#include "tests/installer/install_test_support.h"
#include "twk/build/build_blocks.h"
#include "twk/build/package_writer.h"

namespace {

using install_test::Bytes;
using install_test::Records;

constexpr uint64_t kTime = 0x01D5000012345678ull;

platform::FileTime Time(uint64_t time) {
  return {static_cast<uint32_t>(time), static_cast<uint32_t>(time >> 32)};
}
bool operator==(platform::FileTime a, platform::FileTime b) {
  return a.low == b.low && a.high == b.high;
}

struct Entry {
  std::string name;
  std::vector<Bytes> blocks;
  bool shared = false;
  FileVersion version = {};
};

// The entries as a file list: each with its fields, one block record per block, the end
// record; then the empty name that ends the list.
Bytes FileList(const std::vector<Entry>& entries) {
  Bytes out;
  for (const Entry& entry : entries) {
    AppendStringRecord(entry.name, &out);
    FileEntryFields fields = {};
    fields.blockCount = static_cast<uint16_t>(entry.blocks.size());
    memcpy(fields.version, entry.version.parts, sizeof(fields.version));
    fields.timeLow = Time(kTime).low;
    fields.timeHigh = Time(kTime).high;
    fields.shared = entry.shared ? 1 : 0;
    uint8_t fixed[kFileEntryFixedSize];
    StoreFileEntryFields(fields, fixed);
    out.insert(out.end(), fixed, fixed + kFileEntryFixedSize);
    for (const Bytes& block : entry.blocks) AppendCompressedPiece(block.data(), block.size(), &out);
    out.insert(out.end(), {0, 0});
  }
  out.push_back(0);
  return out;
}

class FilesExtraction : public install_test::FlowTest {
 protected:
  // Extracts entries until ExtractNextFile returns false; the results and the log.
  Records Extract(const Bytes& package) {
    results.clear();
    return RunPhase(package, [this](platform::Window dialog) {
      while (results.emplace_back(ExtractNextFile(dialog))) {
      }
    });
  }
  void PutOld(const std::string& path, uint64_t time) {
    machine.files.PutFile(path, {'o', 'l', 'd'});
    machine.files.SetLastWriteTimeOf(path, Time(time));
  }
  void ExpectError(const std::string& text) {
    machine.user.Expect(text, "Error!", platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  }
  std::vector<bool> results;
};

TEST_F(FilesExtraction, WritesFilesAndLeavesTheirRecords) {
  ReplaceSetupText(&g_setup.programFolder, "C:\\Prog");
  Bytes program(3000, 'a');
  program[0] = 'M';
  program[1] = 'Z';
  const Entry lib{"{OurProgramDir}\\sub\\lib.dll", {program, Bytes(10, 'b')}, true};
  const Entry compressed{"C:\\Prog\\lz.dl_", {Bytes{'S', 'Z', 'D', 'D', 0x88}}};
  const Entry text{"C:\\Prog\\a.txt", {Bytes{'h', 'i'}}};
  EXPECT_EQ(Extract(FileList({lib, text, compressed})),
            Records({"C:\\Prog\\sub\\lib.dll\t", "C:\\Prog\\a.txt", "C:\\Prog\\lz.dl_"}));
  EXPECT_EQ(results, std::vector<bool>({true, true, true, false}));
  Bytes expected = program;
  expected.insert(expected.end(), 10, 'b');
  EXPECT_EQ(machine.files.FileBytes("C:\\Prog\\sub\\lib.dll"), expected);
  EXPECT_TRUE(machine.files.LastWriteTime("C:\\Prog\\sub\\lib.dll") == Time(kTime));
  // Only what Windows could read a version resource from waits for registration.
  ASSERT_NE(g_setup.selfRegistrations, nullptr);
  EXPECT_STREQ(g_setup.selfRegistrations->path, "C:\\Prog\\lz.dl_");
  ASSERT_NE(g_setup.selfRegistrations->next, nullptr);
  EXPECT_STREQ(g_setup.selfRegistrations->next->path, "C:\\Prog\\sub\\lib.dll");
  EXPECT_EQ(g_setup.selfRegistrations->next->next, nullptr);
  const sim::ProgressRecord& dialog = machine.ui.progress.at(0);
  EXPECT_EQ(dialog.overallBar.steps, 4u);
  EXPECT_EQ(std::count_if(dialog.events.begin(), dialog.events.end(),
                          [](const sim::ProgressEvent& event) {
                            return event.kind == sim::ProgressEvent::Kind::kShow;
                          }),
            1);  // only the file of two blocks shows its bar
}

TEST_F(FilesExtraction, TargetsInUseWaitBesideThemForTheNextStart) {
  PutOld("C:\\U\\a.dll", kTime);
  machine.files.MarkInUse("C:\\U\\a.dll");
  const Bytes data{'M', 'Z', 'n', 'e', 'w'};
  EXPECT_EQ(Extract(FileList({{"C:\\U\\a.dll", {data}}, {"C:\\U\\b.txt", {data}}})),
            Records({"C:\\U\\a.dll", "C:\\U\\b.txt"}));
  const std::string waiting = WaitingFile("C:\\U\\a.dll");
  ASSERT_NE(waiting, "");
  EXPECT_EQ(machine.files.FileBytes(waiting), data);
  EXPECT_EQ(machine.files.FileBytes("C:\\U\\a.dll"), Bytes({'o', 'l', 'd'}));
  ASSERT_EQ(machine.system.bootMoves.size(), 1u);
  EXPECT_EQ(machine.system.bootMoves[0].from, waiting);
  EXPECT_EQ(machine.system.bootMoves[0].to, "C:\\U\\a.dll");
  ASSERT_NE(g_setup.selfRegistrations, nullptr);
  EXPECT_STREQ(g_setup.selfRegistrations->path, "C:\\U\\b.txt");
  EXPECT_EQ(g_setup.selfRegistrations->next, nullptr);
  EXPECT_TRUE(RestartNeeded());
}

TEST_F(FilesExtraction, FailuresAreReportedAndABegunFileIsStillRecorded) {
  // A damaged second block: the first block stays written, the corrupt flag is set.
  Bytes damaged = FileList({{"C:\\D\\d.bin", {Bytes(500, 'd'), Bytes(500, 'e')}}});
  damaged[damaged.size() - 4] ^= 0x55;  // the last stored byte before the end records
  ExpectError("There was an error extracting a file: ExtractBlock returned false");
  EXPECT_EQ(Extract(damaged), Records({"C:\\D\\d.bin"}));
  EXPECT_EQ(results, std::vector<bool>({false}));
  EXPECT_TRUE(g_setup.corrupt);
  EXPECT_FALSE(g_setup.succeeded);
  EXPECT_EQ(machine.files.FileBytes("C:\\D\\d.bin"), Bytes(500, 'd'));

  // A full disk fails the file instead of passing a short one as written.
  ResetSetupState();
  machine.files.PutFolder("E:\\E");
  machine.files.FillDiskAfter('E', 100);  // not C:, which holds the log
  ExpectError("There was an error extracting a file: can't write file");
  EXPECT_EQ(Extract(FileList({{"E:\\E\\big.bin", {Bytes(1000, 'b')}}})),
            Records({"E:\\E\\big.bin"}));
  EXPECT_FALSE(g_setup.succeeded);
  EXPECT_TRUE(machine.files.LastWriteTime("E:\\E\\big.bin") == Time(kTime));
}

// Versions against times, and a version of all zeros.
constexpr platform::FileTime kEarly{100, 7};
constexpr platform::FileTime kLate{5, 8};  // later by its high word, though its low is less

OverwriteQuestion Decide(FileVersion entry, bool diskHasVersion, FileVersion disk,
                         platform::FileTime diskTime, bool shared = false) {
  OverwriteFacts facts = {};
  facts.shared = shared;
  facts.entryVersion = entry;
  facts.entryTime = kEarly;
  facts.diskHasVersion = diskHasVersion;
  facts.diskVersion = disk;
  facts.diskTime = diskTime;
  return DecideOverwrite(facts);
}

TEST(OverwritePolicy, AVersionOnDiskDecidesAloneAndTimesOtherwise) {
  const FileVersion v1_9{{1, 9, 0, 0}}, v1_10{{1, 10, 0, 0}}, zero{{0, 0, 0, 0}};
  EXPECT_EQ(Decide(v1_9, true, v1_10, kEarly), OverwriteQuestion::kNewerFile);
  EXPECT_EQ(Decide(v1_10, true, v1_9, kLate), OverwriteQuestion::kNone);
  EXPECT_EQ(Decide(v1_9, true, v1_9, kLate), OverwriteQuestion::kNone);
  EXPECT_EQ(Decide(zero, true, v1_9, kEarly), OverwriteQuestion::kNewerFile);
  EXPECT_EQ(Decide(v1_9, false, zero, kLate), OverwriteQuestion::kNewerFile);
  EXPECT_EQ(Decide(v1_9, false, zero, kEarly), OverwriteQuestion::kNone);
  EXPECT_EQ(Decide(v1_9, true, v1_9, kEarly, true), OverwriteQuestion::kSameFile);
  EXPECT_TRUE(IsVersionGreater({{1, 0, 0, 0xFFFF}}, {{0, 0xFFFF, 0xFFFF, 0xFFFF}}));
  EXPECT_FALSE(IsVersionGreater({{2, 0, 0, 1}}, {{2, 0, 1, 0}}));
}

class FilesSelfRegistration : public install_test::FlowTest {
 protected:
  // Puts the files in extraction order: a marked library for each `marked`, a plain
  // text file otherwise; then runs the phase.
  bool Register(const std::vector<std::pair<std::string, bool>>& files) {
    const uint16_t version[4] = {1, 0, 0, 0};
    for (const auto& [path, marked] : files) {
      machine.files.PutFile(path, marked ? install_test::VersionedProgram(version, true)
                                         : install_test::Bytes{'t'});
      AddSelfRegistration(path.c_str());
    }
    bool result = false;
    RunPhase({}, [&](platform::Window dialog) { result = RegisterExtractedDlls(dialog); });
    return result;
  }
  void ExpectFailure(const std::string& path, int answer) {
    machine.user.Expect("Self-registering file " + path + " failed! Continue installation anyway?",
                        "Error!", platform::kMbYesNo | platform::kMbIconQuestion, answer);
  }
  std::vector<std::string> Called() const {
    std::vector<std::string> called;
    for (const sim::EntryPointCall& call : machine.libraries.Calls()) {
      called.push_back(call.path + " " + call.entryPoint);
    }
    return called;
  }
};

TEST_F(FilesSelfRegistration, RegistersMarkedFilesNewestFirstAndAsksAfterAFailure) {
  machine.libraries.SetResult("C:\\R\\d.dll", "DllRegisterServer", 1);  // S_FALSE fails
  machine.libraries.SetMissing("C:\\R\\c.dll", "DllRegisterServer");    // and so does none
  ExpectFailure("C:\\R\\d.dll", platform::kIdYes);
  ExpectFailure("C:\\R\\c.dll", platform::kIdYes);
  EXPECT_TRUE(Register({{"C:\\R\\a.dll", true}, {"C:\\R\\b.txt", false},
                        {"C:\\R\\c.dll", true}, {"C:\\R\\d.dll", true}}));
  EXPECT_EQ(Called(), std::vector<std::string>({"C:\\R\\d.dll DllRegisterServer",
                                                "C:\\R\\a.dll DllRegisterServer"}));
  // The text file is never loaded. The others bring their imports from their own folder
  // or the system's, never the installer's folder (D:\) or the current one.
  ASSERT_EQ(machine.libraries.Loads().size(), 3u);
  for (const sim::LibraryLoad& load : machine.libraries.Loads()) {
    EXPECT_EQ(load.importFolders,
              platform::kImportsFromLibraryFolder | platform::kImportsFromSystemFolder);
  }
  EXPECT_EQ(machine.libraries.LoadedCount(), 0u);
  EXPECT_EQ(g_setup.selfRegistrations, nullptr);
  EXPECT_EQ(machine.ui.progress.at(0).statusTexts,
            std::vector<std::string>({"Registering DLLs..."}));
}

}  // namespace
