// The package stream over the installation file and its volumes: what is read, which
// files are asked for, and what the user is asked.
#include <gtest/gtest.h>

#include <string>

#include "runtime/package_offset.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "runtime/volume_name.h"
#include "tests/package/package_test_support.h"
#include "tests/platform/test_pe_image.h"

namespace package_test {
namespace {

using platform::kIdCancel;
using platform::kIdOk;
using platform::kIdRetry;

constexpr uint32_t kNextDiskFlags = platform::kMbOkCancel | platform::kMbIconWarning;
constexpr uint32_t kDamagedFlags = platform::kMbRetryCancel | platform::kMbIconError;
constexpr uint32_t kReadErrorFlags = platform::kMbRetryCancel | platform::kMbIconWarning |
                                     platform::kMbTopmost | platform::kMbSetForeground;

platform::Window const kProgressDialog = reinterpret_cast<platform::Window>(0x1234);

class PackageStreamTest : public PackageTest {
 protected:
  // Expects the process to end with `code` during `run`.
  template <typename Run>
  void ExpectExit(uint32_t code, Run run) {
    try {
      run();
      ADD_FAILURE() << "the process did not end";
    } catch (const sim::SimulatedExit& exit) {
      EXPECT_EQ(exit.code, code);
    }
  }
};

TEST_F(PackageStreamTest, PackageInVolumeZeroEndsThereWithItsStringRecords) {
  std::string longest(255, 'x');
  longest.back() = 'z';
  PutInstallation(Concat({StringRecord(""), StringRecord(longest), StringRecord("end")}));
  machine.files.PutFile("D:\\SETUP.001", Le32(0));  // there, but must not be touched

  ASSERT_TRUE(OpenVolume());
  EXPECT_EQ(std::string(ReadStringRecord()), "");
  EXPECT_EQ(std::string(ReadStringRecord()), longest);
  EXPECT_EQ(g_setup.stringRecord[255], '\0');
  // The last read ends exactly at the end of the file.
  EXPECT_EQ(std::string(ReadStringRecord()), "end");
  EXPECT_EQ(g_setup.volumeCounter, 1);
  EXPECT_FALSE(machine.files.WasAskedFor("D:\\SETUP.001"));
  ExpectScriptDone();
}

TEST_F(PackageStreamTest, ReadStraddlesVolumesWithoutLosingOrRepeatingBytes) {
  machine.process.modulePath = "d:\\Setup.Exe";  // the file is SETUP.EXE: case is ignored
  PutInstallation({1, 2, 3});
  PutVolume(1, {4});
  PutVolume(2, {5, 6, 7, 8, 9});

  EXPECT_EQ(OpenAndRead(8), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(g_setup.volumeCounter, 3);
  EXPECT_EQ(g_setup.volumeStartOffset, 0u);
  uint8_t last = 0;
  EXPECT_EQ(ReadPackage(&last, 1), 1);
  EXPECT_EQ(last, 9);
  ExpectScriptDone();
}

// A signing tool pads the first file of a volume set and appends its certificate table:
// neither is package data, and the package goes on in the next volume where the length
// word says the file ended as built (or, when the word says nothing sensible, where the
// table begins).
TEST_F(PackageStreamTest, TheSignatureOfTheFirstVolumeIsNotPackageData) {
  const struct {
    const char* what;
    Bytes package;
    bool wordKept;
  } cases[] = {
      {"padded, the word as twk build writes it", {1, 2, 3}, true},
      {"not padded, the word zero", {1, 2, 3, 4}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetSetupState();
    PutInstallation(c.package);
    Bytes file = machine.files.FileBytes(kInstallationPath);
    if (!c.wordKept) std::fill_n(file.begin() + kStubSize, 4, 0);
    test_pe::Sign(&file);
    machine.files.PutFile(kInstallationPath, file);
    PutVolume(1, {5, 6, 7});
    Bytes expected = c.package;
    expected.insert(expected.end(), {5, 6, 7});
    EXPECT_EQ(OpenAndRead(static_cast<uint32_t>(expected.size())), expected);
    CloseVolume();
  }
  ExpectScriptDone();
}

TEST_F(PackageStreamTest, MissingVolumeIsAskedForByFileNameAndTheReadGoesOn) {
  PutInstallation({1, 2});
  PutVolume(1, {3, 4});
  machine.files.HideUntilAsked("D:\\SETUP.001", 2);
  machine.user.ExpectRepeated(NextDiskText("SETUP.001"), "Next disk, please...", kNextDiskFlags,
                              kIdOk, 2);
  g_setup.ownerWindow = kProgressDialog;

  EXPECT_EQ(OpenAndRead(4), (Bytes{1, 2, 3, 4}));
  ASSERT_EQ(machine.user.Shown().size(), 2u);
  EXPECT_EQ(machine.user.Shown()[0].owner, kProgressDialog);
  ExpectScriptDone();
}

TEST_F(PackageStreamTest, CancelForAMissingOrDamagedVolumeEndsTheProcessWithCode1) {
  PutInstallation({1, 2});
  machine.user.Expect(NextDiskText("SETUP.001"), "Next disk, please...", kNextDiskFlags,
                      kIdCancel);
  uint8_t bytes[4];
  ASSERT_TRUE(OpenVolume());
  ExpectExit(1, [&] { ReadPackage(bytes, 4); });

  machine.files.PutFile("D:\\SETUP.001", {});
  machine.user.Expect(DamagedText("SETUP.001"), "File Damaged", kDamagedFlags, kIdCancel);
  ResetSetupState();
  ASSERT_TRUE(OpenVolume());
  ExpectExit(1, [&] { ReadPackage(bytes, 4); });
  EXPECT_EQ(g_setup.packageFile, nullptr);
  ExpectScriptDone();
}

TEST_F(PackageStreamTest, VolumeShorterThanItsLengthWordIsReportedDamaged) {
  PutInstallation({1, 2});
  machine.files.PutFile("D:\\SETUP.001", {0xA5, 0xA5});
  // Retry after a good disk went in reopens the volume from its start.
  machine.user.Expect(DamagedText("SETUP.001"), "File Damaged", kDamagedFlags, kIdRetry);
  machine.user.Expect(DamagedText("SETUP.001"), "File Damaged", kDamagedFlags, kIdRetry,
                      [&] { PutVolume(1, {3, 4}); });

  EXPECT_EQ(OpenAndRead(4), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(g_setup.volumeCounter, 2);
  ExpectScriptDone();
}

TEST_F(PackageStreamTest, ReadErrorIsRetriedOrCancelled) {
  PutInstallation({1, 2, 3, 4, 5, 6});
  const uint32_t package = kStubSize + 4;
  machine.files.FailReadAt(kInstallationPath, package + 1, 2);
  machine.files.FailReadAt(kInstallationPath, package + 5);
  machine.user.ExpectRepeated(kReadErrorText, "Critical Error!", kReadErrorFlags, kIdRetry, 2);
  machine.user.Expect(kReadErrorText, "Critical Error!", kReadErrorFlags, kIdCancel);
  g_setup.ownerWindow = kProgressDialog;

  EXPECT_EQ(OpenAndRead(4), (Bytes{1, 2, 3, 4}));
  EXPECT_FALSE(g_setup.cancelled);
  EXPECT_EQ(std::string(ReadStringRecord()), "");  // length 5, then the read fails
  EXPECT_TRUE(g_setup.cancelled);
  for (const sim::ShownPrompt& shown : machine.user.Shown()) EXPECT_EQ(shown.owner, nullptr);
  ExpectScriptDone();
}

// Looking ahead takes only what the open volume has and never asks anything: the next
// disk, or a place that cannot be read, is left to the read that reaches it.
TEST_F(PackageStreamTest, BufferedReadingLooksAheadOnlyWithinTheVolumeAndSilently) {
  PutInstallation({1, 2, 3, 4});
  PutVolume(1, {5, 6});
  ASSERT_TRUE(OpenVolume());
  ASSERT_TRUE(StartBufferedReading());
  const uint8_t* bytes = nullptr;
  ASSERT_TRUE(PeekPackage(3, &bytes));
  EXPECT_EQ(Bytes(bytes, bytes + 3), (Bytes{1, 2, 3}));
  TakePeekedPackage(1);
  EXPECT_FALSE(PeekPackage(4, &bytes)) << "the next volume is not opened";
  EXPECT_EQ(g_setup.volumeCounter, 1);
  Bytes rest(5);
  EXPECT_EQ(ReadPackage(rest.data(), 5), 5);
  EXPECT_EQ(rest, (Bytes{2, 3, 4, 5, 6}));
  EXPECT_EQ(g_setup.volumeCounter, 2);

  // A look ahead that fails asks nothing; the read of the place asks as before.
  ResetSetupState();
  PutInstallation({1, 2, 3, 4});
  machine.files.FailReadAt(kInstallationPath, kStubSize + 4 + 2, 2);
  machine.user.Expect(kReadErrorText, "Critical Error!", kReadErrorFlags, kIdRetry);
  ASSERT_TRUE(OpenVolume());
  ASSERT_TRUE(StartBufferedReading());
  EXPECT_FALSE(PeekPackage(1, &bytes));
  Bytes all(4);
  EXPECT_EQ(ReadPackage(all.data(), 4), 4);
  EXPECT_EQ(all, (Bytes{1, 2, 3, 4}));
  ExpectScriptDone();
}

TEST_F(PackageStreamTest, OpenFailsWithoutAPackageOrAModulePath) {
  PutInstallation({1});
  machine.process.modulePath = std::string(300, 'x');
  EXPECT_FALSE(OpenVolume());
  machine.process.modulePath = kInstallationPath;
  EXPECT_TRUE(OpenVolume());
  ResetSetupState();
  g_packageOffsetMarker[kPackageMarkerLength] = 0;
  g_packageOffsetMarker[kPackageMarkerLength + 1] = 0;
  EXPECT_EQ(PackageOffset(), 0u);
  EXPECT_FALSE(OpenVolume());
  ExpectScriptDone();
}

TEST(VolumeNameTest, SuffixReplacesEverythingFromTheLastDotOfThePath) {
  char path[32];
  ASSERT_TRUE(BuildVolumePath("D:\\SETUP.EXE", 12, path, sizeof path));
  EXPECT_STREQ(path, "D:\\SETUP.012");
  ASSERT_TRUE(BuildVolumePath("D:\\v1.2\\SETUP.EXE", 1, path, sizeof path));
  EXPECT_STREQ(path, "D:\\v1.2\\SETUP.001");
  ASSERT_TRUE(BuildVolumePath("D:\\v1.2\\SETUP", 1, path, sizeof path));
  EXPECT_STREQ(path, "D:\\v1.001");
  ASSERT_TRUE(BuildVolumePath("D:\\SETUP", 1000, path, sizeof path));
  EXPECT_STREQ(path, "D:\\SETUP.1000");
  EXPECT_FALSE(BuildVolumePath("D:\\SETUP", 1, path, 12));  // needs 13 bytes
  EXPECT_STREQ(FileNamePart("D:\\v1.2\\SETUP.001"), "SETUP.001");
  EXPECT_STREQ(FileNamePart("SETUP.001"), "SETUP.001");
}

}  // namespace
}  // namespace package_test
