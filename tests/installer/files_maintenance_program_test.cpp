// Writing FINALIZE.EXE and UNINST.EXE: the stub copy, the trailer, the log records and
// the Add/Remove Programs entry, and what a program that cannot be written leaves.
#include <gtest/gtest.h>

#include <string>

#include "base/little_endian.h"
#include "base/pe_image.h"
#include "installer/maintenance_program.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"
#include "tests/installer/install_test_support.h"

namespace {

using install_test::Bytes;

constexpr char kEntry[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prod";

class FilesMaintenanceProgram : public install_test::FlowTest {
 protected:
  FilesMaintenanceProgram() {
    ReplaceSetupText(&g_setup.title, "Title");
    ReplaceSetupText(&g_setup.bottomText, "Bottom");
    ReplaceSetupText(&g_setup.productKeyName, "Prod");
  }
  // The installation file: the stub of PackageOffset() bytes and a package after it.
  Bytes PutInstallation(size_t stubLength) {
    Bytes file(stubLength + 300);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 7);
    machine.files.PutFile("D:\\SETUP.EXE", file);
    return Bytes(file.begin(), file.begin() + std::min<size_t>(stubLength, PackageOffset()));
  }
  static Bytes Trailer(uint8_t mode) {
    return {0, 0, 0, 0, mode, 5, 'T', 'i', 't', 'l', 'e', 6, 'B', 'o', 't', 't', 'o', 'm',
            4, 'P', 'r', 'o', 'd'};
  }
};

TEST_F(FilesMaintenanceProgram, ProgramsAreTheStubAndTheTrailerAndTheUninstallerTheLog) {
  Bytes expected = PutInstallation(PackageOffset());
  Bytes trailer = Trailer(2);
  expected.insert(expected.end(), trailer.begin(), trailer.end());
  EXPECT_TRUE(WriteMaintenanceProgram("C:\\Prog\\New\\FINALIZE.EXE", false));
  EXPECT_EQ(machine.files.FileBytes("C:\\Prog\\New\\FINALIZE.EXE"), expected);
  EXPECT_EQ(g_setup.uninstallLog, nullptr);
  EXPECT_FALSE(machine.registry.HasKey(kEntry));

  expected[expected.size() - trailer.size() + 4] = 1;  // the mode byte
  EXPECT_TRUE(WriteMaintenanceProgram("C:\\Prog\\UNINST.EXE", true));
  EXPECT_EQ(WriteLogRecord("C:\\Prog\\FINALIZE.EXE"), 21);
  EXPECT_EQ(WriteLogRecord(std::string(300, 'x').c_str()), 256);
  platform::CloseFile(g_setup.uninstallLog);
  g_setup.uninstallLog = nullptr;
  EXPECT_EQ(WriteLogRecord("late"), -1);

  const Bytes bytes = machine.files.FileBytes("C:\\Prog\\UNINST.EXE");
  ASSERT_EQ(bytes.size(), expected.size() + 21 + 256);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin()));
  EXPECT_EQ(UninstallLog("C:\\Prog\\UNINST.EXE"),
            install_test::Records({"C:\\Prog\\FINALIZE.EXE", std::string(255, 'x')}));
  EXPECT_EQ(machine.registry.Text(kEntry, "DisplayName"), "Prod");
  EXPECT_EQ(machine.registry.Text(kEntry, "UninstallString"), "\"C:\\Prog\\UNINST.EXE\"");
  EXPECT_EQ(machine.registry.Text(kEntry, "QuietUninstallString"), "\"C:\\Prog\\UNINST.EXE\" /S");
}

// The PE headers of a stub, as a signing tool leaves them: PE32 or PE32+, a checksum of
// the signed file and a certificate table after the package.
constexpr uint32_t kPeAt = 0x80;
constexpr uint32_t kOptionalAt = kPeAt + 24;
constexpr uint32_t kChecksumAt = kOptionalAt + 64;
uint32_t CertificateEntryAt(bool wide) { return kOptionalAt + (wide ? 144 : 128); }

void MakeSignedHeaders(Bytes* file, bool wide) {
  uint8_t* head = file->data();
  head[0] = 'M';
  head[1] = 'Z';
  StoreLe32(head + 0x3C, kPeAt);
  memcpy(head + kPeAt, "PE\0\0", 4);
  StoreLe16(head + kPeAt + 20, wide ? 240 : 224);
  StoreLe16(head + kOptionalAt, wide ? 0x20B : 0x10B);
  StoreLe32(head + kOptionalAt + (wide ? 108 : 92), 16);
  StoreLe32(head + kChecksumAt, 0x12345678);
  StoreLe32(head + CertificateEntryAt(wide), static_cast<uint32_t>(file->size() + 8));
  StoreLe32(head + CertificateEntryAt(wide) + 4, 0x500);
}

// The image checksum as the format describes it, summed by 32-bit words with the
// checksum field left out: a second way to the same number.
uint32_t ReferenceChecksum(Bytes file) {
  StoreLe32(file.data() + kChecksumAt, 0);
  const size_t length = file.size();
  file.resize((length + 3) & ~size_t{3}, 0);
  uint64_t sum = 0;
  for (size_t i = 0; i < file.size(); i += 4) {
    sum += LoadLe32(file.data() + i);
    sum = (sum & 0xFFFFFFFFu) + (sum >> 32);
  }
  sum = (sum & 0xFFFF) + ((sum >> 16) & 0xFFFF) + (sum >> 32);
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum & 0xFFFF) + static_cast<uint32_t>(length);
}

TEST_F(FilesMaintenanceProgram, CopiesOfASignedStubHaveNoCertificateEntryAndARightChecksum) {
  for (const bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "PE32+" : "PE32");
    Bytes installer(PackageOffset() + 301, 0x5A);
    MakeSignedHeaders(&installer, wide);
    machine.files.PutFile("D:\\SETUP.EXE", installer);

    EXPECT_TRUE(WriteMaintenanceProgram("C:\\Prog\\FINALIZE.EXE", false));
    EXPECT_TRUE(WriteMaintenanceProgram("C:\\Prog\\UNINST.EXE", true));
    WriteLogRecord("C:\\Prog\\FINALIZE.EXE");  // an odd number of bytes on the way
    WriteLogRecord("");
    CloseUninstallLog();
    for (const char* path : {"C:\\Prog\\FINALIZE.EXE", "C:\\Prog\\UNINST.EXE"}) {
      SCOPED_TRACE(path);
      const Bytes copy = machine.files.FileBytes(path);
      ASSERT_GT(copy.size(), PackageOffset());
      EXPECT_EQ(LoadLe32(copy.data() + CertificateEntryAt(wide)), 0u);
      EXPECT_EQ(LoadLe32(copy.data() + CertificateEntryAt(wide) + 4), 0u);
      EXPECT_EQ(LoadLe32(copy.data() + kChecksumAt), ReferenceChecksum(copy));
      // Nothing else of the stub changes.
      Bytes expected(installer.begin(), installer.begin() + PackageOffset());
      memcpy(expected.data() + kChecksumAt, copy.data() + kChecksumAt, 4);
      memset(expected.data() + CertificateEntryAt(wide), 0, 8);
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), copy.begin()));
    }
  }
}

TEST_F(FilesMaintenanceProgram, HeadersThatAreNoneOrCutShortAreLeftAlone) {
  Bytes file(4096, 0x5A);
  MakeSignedHeaders(&file, false);
  const Bytes signedFile = file;
  Bytes cut(file.begin(), file.begin() + CertificateEntryAt(false) + 7);
  EXPECT_EQ(ClearSignatureFields(cut.data(), static_cast<uint32_t>(cut.size())), 0u);
  EXPECT_TRUE(std::equal(cut.begin(), cut.end(), signedFile.begin()));
  // The optional header declares itself too short to hold the certificate entry.
  StoreLe16(file.data() + kPeAt + 20, 128);
  EXPECT_EQ(ClearSignatureFields(file.data(), 4096), 0u);
  // The header offset points past the bytes at hand.
  file = signedFile;
  StoreLe32(file.data() + 0x3C, 0xFFFFFFF0u);
  EXPECT_EQ(ClearSignatureFields(file.data(), 4096), 0u);
  file = signedFile;
  file[kPeAt + 1] = 'X';
  EXPECT_EQ(ClearSignatureFields(file.data(), 4096), 0u);
  file = signedFile;
  EXPECT_EQ(ClearSignatureFields(file.data(), 4096), kChecksumAt);
}

TEST_F(FilesMaintenanceProgram, AProgramThatCannotBeWrittenIsReportedAndRemoved) {
  // The running file ends inside its stub: the copy must stop and leave nothing behind.
  PutInstallation(PackageOffset() / 2 - 300);
  machine.user.Expect("Could not write the file C:\\Prog\\UNINST.EXE.", "Error!",
                      platform::kMbOk | platform::kMbIconError, platform::kIdOk);
  EXPECT_FALSE(WriteMaintenanceProgram("C:\\Prog\\UNINST.EXE", true));
  EXPECT_FALSE(machine.files.Exists("C:\\Prog\\UNINST.EXE"));
  EXPECT_FALSE(machine.registry.HasKey(kEntry));
  EXPECT_EQ(g_setup.uninstallLog, nullptr);
  EXPECT_FALSE(g_setup.succeeded);

  // A folder that cannot be made has already spoken through its own message.
  machine.files.PutFile("C:\\Blocked", {});
  EXPECT_FALSE(WriteMaintenanceProgram("C:\\Blocked\\FINALIZE.EXE", false));
}

}  // namespace
