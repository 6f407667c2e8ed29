// Packages assembled byte by byte, and the simulated machine of the package tests.
#include "tests/package/package_test_support.h"

#include <stdio.h>

#include "base/little_endian.h"
#include "package/format.h"
#include "runtime/package_offset.h"
#include "runtime/package_stream.h"
#include "runtime/setup_state.h"

namespace package_test {
Bytes Le16(uint16_t value) {
  Bytes bytes(2);
  StoreLe16(bytes.data(), value);
  return bytes;
}

Bytes Le32(uint32_t value) {
  Bytes bytes(4);
  StoreLe32(bytes.data(), value);
  return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes StringRecord(const std::string& text) {
  return Concat({Bytes{static_cast<uint8_t>(text.size())}, Text(text)});
}

Bytes AbcRecord() {
  return {0x08, 0x00, 0x24, 0x3D, 0x2A, 0x26, 0x02, 0xDC, 0x79,
          0xAD, 0x80, 0xA0, 0x01, 0x2C, 0x70, 0x0A, 0x31, 0x6C};
}

std::string NextDiskText(const std::string& fileName) {
  return "Please insert the disk containing '" + fileName + "' into the drive and select OK.";
}

std::string DamagedText(const std::string& fileName) {
  return "The file '" + fileName +
         "' appears to be damaged or incomplete, or there was an error reading it. You may "
         "attempt to retry this operation; if this fails several times, please obtain a new "
         "copy, or contact the author of the program for assistance.";
}

const char kReadErrorText[] =
    "There was a problem reading the disk information. Please ensure that the disk is "
    "properly seated in the drive. If this error continues to appear, the disk may be damaged.";

PackageTest::PackageTest() : machine(root_.path()), scope_(machine) {
  machine.process.modulePath = kInstallationPath;
  ResetSetupState();
  StoreLe32(reinterpret_cast<uint8_t*>(g_packageOffsetMarker) + kPackageMarkerLength, kStubSize);
}

PackageTest::~PackageTest() {
  ResetSetupState();
  EXPECT_EQ(machine.files.OpenFileCount(), 0u);
}

void PackageTest::PutInstallation(const Bytes& package) {
  Bytes stub(kStubSize, 0x90);
  uint32_t end = static_cast<uint32_t>(kStubSize + 4 + package.size());
  machine.files.PutFile(kInstallationPath, Concat({stub, Le32(end), package}));
}

void PackageTest::PutVolume(int number, const Bytes& bytes) {
  char name[32];
  snprintf(name, sizeof name, "D:\\SETUP.%03d", number);
  machine.files.PutFile(name, Concat({Le32(0xA5A5A5A5u), bytes}));
}

Bytes PackageTest::OpenAndRead(uint32_t count) {
  EXPECT_TRUE(OpenVolume());
  Bytes bytes(count);
  EXPECT_EQ(ReadPackage(bytes.data(), count), static_cast<int32_t>(count));
  return bytes;
}

void PackageTest::ExpectScriptDone() {
  EXPECT_EQ(machine.user.PendingCount(), 0u);
  EXPECT_TRUE(machine.errors.empty()) << machine.errors.front();
}

}  // namespace package_test
