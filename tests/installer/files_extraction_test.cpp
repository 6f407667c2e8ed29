// Extracting file entries from hand-made packages: the overwrite questions and their
// answers, files in use, failures, and the records each file leaves.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/next_boot.h"
#include "installer/file_extraction.h"
#include "installer/file_version.h"
#include "package/file_entry.h"
#include "platform/message_box.h"
#include "runtime/setup_state.h"
#include "tests/installer/flow_test_support.h"
#include "tests/installer/install_test_support.h"
#include "twk/build/build_blocks.h"
#include "twk/build/package_writer.h"

namespace {

using flow_test::Bytes;
using flow_test::Records;

constexpr uint64_t kTime = 0x01D5000012345678ull;
constexpr char kSharedDlls[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

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

class FilesExtraction : public flow_test::FlowTest {
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
  const Entry lib{"{OurProgramDir}\\sub\\lib.dll", {Bytes(3000, 'a'), Bytes(10, 'b')}, true};
  const Entry text{"C:\\Prog\\a.txt", {Bytes{'h', 'i'}}};
  EXPECT_EQ(Extract(FileList({lib, text})), Records({"C:\\Prog\\sub\\lib.dll\t", "C:\\Prog\\a.txt"}));
  EXPECT_EQ(results, std::vector<bool>({true, true, false}));
  Bytes expected(3000, 'a');
  expected.insert(expected.end(), 10, 'b');
  EXPECT_EQ(machine.files.FileBytes("C:\\Prog\\sub\\lib.dll"), expected);
  EXPECT_TRUE(machine.files.LastWriteTime("C:\\Prog\\sub\\lib.dll") == Time(kTime));
  ASSERT_NE(g_setup.selfRegistrations, nullptr);
  EXPECT_STREQ(g_setup.selfRegistrations->path, "C:\\Prog\\a.txt");
  EXPECT_STREQ(g_setup.selfRegistrations->next->path, "C:\\Prog\\sub\\lib.dll");
  const sim::ProgressRecord& dialog = machine.ui.progress.at(0);
  EXPECT_EQ(dialog.overallBar.steps, 3u);
  EXPECT_EQ(std::count_if(dialog.events.begin(), dialog.events.end(),
                          [](const sim::ProgressEvent& event) {
                            return event.kind == sim::ProgressEvent::Kind::kShow;
                          }),
            1);  // only the file of two blocks shows its bar

  // The same shared file again, with the same time: asked, replaced, counted twice.
  ResetSetupState();
  ReplaceSetupText(&g_setup.programFolder, "C:\\Prog");
  machine.ui.answers.OverwritePress(117, "C:\\Prog\\sub\\lib.dll", 1010);
  EXPECT_EQ(Extract(FileList({lib})), Records({"C:\\Prog\\sub\\lib.dll\t"}));
  const sim::SimRegistryValue* count = machine.registry.Value(kSharedDlls, "C:\\Prog\\sub\\lib.dll");
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->data, Bytes({2, 0, 0, 0}));
}

TEST_F(FilesExtraction, OverwriteQuestionsAndTheirAnswers) {
  const uint16_t disk[4] = {1, 10, 0, 0};
  machine.files.PutFile("C:\\O\\v.dll", install_test::VersionedProgram(disk, false));
  machine.files.SetLastWriteTimeOf("C:\\O\\v.dll", Time(kTime - 1000));
  for (const char* newer : {"C:\\O\\n1", "C:\\O\\n2", "C:\\O\\n3"}) PutOld(newer, kTime + 1000);
  for (const char* same : {"C:\\O\\s1", "C:\\O\\s2", "C:\\O\\s3"}) PutOld(same, kTime);
  const Bytes data{'n', 'e', 'w'};
  const std::vector<Entry> entries = {
      {"C:\\O\\v.dll", {data}, false, {{1, 9, 0, 0}}}, {"C:\\O\\n1", {data}},
      {"C:\\O\\n2", {data}}, {"C:\\O\\n3", {data}}, {"C:\\O\\s1", {data}, true},
      {"C:\\O\\s2", {data}, true}, {"C:\\O\\s3", {data}, true}};
  const std::vector<std::pair<int, std::string>> asked = {
      {116, "C:\\O\\v.dll"}, {116, "C:\\O\\n1"}, {116, "C:\\O\\n2"},
      {117, "C:\\O\\s1"}, {117, "C:\\O\\s2"}, {117, "C:\\O\\s3"}};
  const int answers[] = {1008, 1009, 1010, 2, 1009, 1008};
  for (size_t i = 0; i < asked.size(); ++i) {
    machine.ui.answers.OverwritePress(asked[i].first, asked[i].second, answers[i]);
  }
  EXPECT_EQ(Extract(FileList(entries)),
            Records({"C:\\O\\v.dll", "C:\\O\\n2", "C:\\O\\n3", "C:\\O\\s3\t"}));
  EXPECT_EQ(machine.ui.overwrites.size(), asked.size());
  for (const char* kept : {"C:\\O\\n1", "C:\\O\\s1", "C:\\O\\s2"}) {
    EXPECT_EQ(machine.files.FileBytes(kept), Bytes({'o', 'l', 'd'})) << kept;
  }
  EXPECT_EQ(machine.files.FileBytes("C:\\O\\n3"), data);
  EXPECT_TRUE(g_setup.succeeded);

  // Cancel in the newer-file question ends the run before the file's blocks.
  ResetSetupState();
  PutOld("C:\\O\\n4", kTime + 1);
  machine.ui.answers.OverwritePress(116, "C:\\O\\n4", 2);
  EXPECT_EQ(Extract(FileList({{"C:\\O\\n4", {data}}, {"C:\\O\\later", {data}}})), Records());
  EXPECT_EQ(results, std::vector<bool>({false}));
  EXPECT_TRUE(g_setup.cancelled);
  EXPECT_EQ(machine.files.FileBytes("C:\\O\\n4"), Bytes({'o', 'l', 'd'}));
  EXPECT_EQ(machine.ui.progress.back().overallBar.steps, 0u);
}

TEST_F(FilesExtraction, TargetsInUseWaitBesideThemForTheNextStart) {
  PutOld("C:\\U\\a.dll", kTime);
  machine.files.MarkInUse("C:\\U\\a.dll");
  const Bytes data{'n', 'e', 'w'};
  EXPECT_EQ(Extract(FileList({{"C:\\U\\a.dll", {data}}, {"C:\\U\\b.txt", {data}}})),
            Records({"C:\\U\\a.dll", "C:\\U\\b.txt"}));
  EXPECT_EQ(machine.files.FileBytes("C:\\U\\a.dll.NewTemp"), data);
  EXPECT_EQ(machine.files.FileBytes("C:\\U\\a.dll"), Bytes({'o', 'l', 'd'}));
  ASSERT_EQ(machine.system.bootMoves.size(), 1u);
  EXPECT_EQ(machine.system.bootMoves[0].from, "C:\\U\\a.dll.NewTemp");
  EXPECT_EQ(machine.system.bootMoves[0].to, "C:\\U\\a.dll");
  ASSERT_NE(g_setup.selfRegistrations, nullptr);
  EXPECT_STREQ(g_setup.selfRegistrations->path, "C:\\U\\b.txt");
  EXPECT_EQ(g_setup.selfRegistrations->next, nullptr);
  EXPECT_TRUE(RestartNeeded());

}

TEST_F(FilesExtraction, FailuresAreReportedAndABegunFileIsStillRecorded) {
  machine.files.PutFile("C:\\F", {});
  ExpectError("Could not create target directory.");
  EXPECT_EQ(Extract(FileList({{"C:\\F\\x.txt", {Bytes{'x'}}}})), Records());
  EXPECT_EQ(results, std::vector<bool>({false}));

  // A damaged second block: the first block stays written, the corrupt flag is set.
  ResetSetupState();
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

}  // namespace
