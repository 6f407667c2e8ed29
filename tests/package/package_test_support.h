// Packages assembled byte by byte, and a simulated machine with the installation file
// at D:\SETUP.EXE, for the package tests.
#pragma once

#include <gtest/gtest.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/sim/machine/sim_machine.h"
#include "tests/support/package_bytes.h"

namespace package_test {

using test_files::BlockRecordOf;
using test_files::Bytes;
using test_files::Text;

Bytes Le16(uint16_t value);
Bytes Le32(uint32_t value);
Bytes Concat(std::initializer_list<Bytes> parts);
Bytes StringRecord(const std::string& text);
// The 18-byte record of "abc" as the format documents it.
Bytes AbcRecord();

constexpr char kInstallationPath[] = "D:\\SETUP.EXE";
constexpr uint32_t kStubSize = 0x600;

// The exact texts of the package stream's prompts.
std::string NextDiskText(const std::string& fileName);
std::string DamagedText(const std::string& fileName);
extern const char kReadErrorText[];

class PackageTest : public ::testing::Test {
 protected:
  PackageTest();
  ~PackageTest() override;

  // Volume 0: a stub of kStubSize bytes, the volume length word, then `package`.
  void PutInstallation(const Bytes& package);
  // Volume `number`: a volume length word (a value no package byte uses), then `bytes`.
  void PutVolume(int number, const Bytes& bytes);
  // Opens volume 0 and reads `count` bytes from the package.
  Bytes OpenAndRead(uint32_t count);
  // The prompts shown match the script in full and the machine saw no fault.
  void ExpectScriptDone();

  test_files::ScratchFolder root_;
  sim::SimMachine machine;

 private:
  sim::SimMachineScope scope_;
};

}  // namespace package_test
