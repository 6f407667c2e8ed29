// A simulated machine in a fresh sandbox folder, installed for the test.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/machine/sim_machine.h"

namespace platform_test {

inline std::filesystem::path FreshRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "twk-platform-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

class PlatformTest : public ::testing::Test {
 protected:
  PlatformTest() : root_(FreshRoot()), machine(root_), scope_(machine) {}
  ~PlatformTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  std::string Text(const std::string& path) {
    const std::vector<uint8_t> bytes = machine.files.FileBytes(path);
    return std::string(bytes.begin(), bytes.end());
  }

  std::filesystem::path root_;
  sim::SimMachine machine;

 private:
  sim::SimMachineScope scope_;
};

}  // namespace platform_test
