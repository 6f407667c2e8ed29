// A simulated machine in a fresh sandbox folder, installed for the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/machine/sim_machine.h"
#include "tests/support/test_files.h"

namespace platform_test {

inline std::vector<uint8_t> Bytes(const std::string& text) { return test_files::Text(text); }

class PlatformTest : public ::testing::Test {
 protected:
  PlatformTest() : machine(root_), scope_(machine) {}

  std::string Text(const std::string& path) {
    const std::vector<uint8_t> bytes = machine.files.FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
  }

  test_files::ScratchFolder scratch_;
  std::filesystem::path root_ = scratch_.path();
  sim::SimMachine machine;

 private:
  sim::SimMachineScope scope_;
};

}  // namespace platform_test
