// The flow tests' machine: an installation file at D:\SETUP.EXE, made by hand (a stub and
// raw package bytes) or built from a script, and a reader for the uninstall log.
#pragma once

#include <gtest/gtest.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/handles.h"
#include "platform/sim/machine/sim_machine.h"

namespace flow_test {

using Bytes = std::vector<uint8_t>;
using Records = std::vector<std::string>;
using Files = std::vector<std::pair<std::string, Bytes>>;

// Each line as a string record, then the empty record that ends a list.
Bytes ListBytes(const Records& lines);

// Every test ends by checking that the program caused no fault on the machine and that
// every scripted answer was used.
class FlowTest : public ::testing::Test {
 protected:
  FlowTest();
  ~FlowTest() override;

  // Opens `package` as the package stream and runs `work` as a progress dialog's worker
  // with an uninstall log open; the records it logged.
  Records RunPhase(const Bytes& package, const std::function<void(platform::Window)>& work);
  // Builds D:\SETUP.EXE from `script` and its source `files`, and runs it on a fresh
  // setup state that `before` may change first.
  void BuildAndRun(const std::string& script, const Files& files = {},
                   const std::function<void()>& before = nullptr);
  // The uninstall log carried by the maintenance program at `path`.
  Records UninstallLog(const std::string& path);
  sim::SimMachine machine;

 private:
  sim::SimMachineScope scope_;
  std::string hostDir_;
};

}  // namespace flow_test
