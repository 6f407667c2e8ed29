// The simulated Windows on which the stub's logic runs in native tests: one machine at
// a time, installed by the test, made of parts that each model one area of the system.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_user.h"

namespace sim {

struct SimMachine {
  explicit SimMachine(std::filesystem::path root) : files(std::move(root)) {}

  SimFileSystem files;
  SimUser user;
  SimProcess process;

  // Faults of the program seen by the machine (a prompt the script did not expect, a
  // handle used after closing...). Tests assert that there are none.
  std::vector<std::string> errors;

  void ReportError(const std::string& error) { errors.push_back(error); }
};

// The machine that the platform operations act on. Fails loudly when none is installed.
SimMachine& CurrentMachine();

// Installs a machine for the life of the scope; the previous one comes back after it.
class SimMachineScope {
 public:
  explicit SimMachineScope(SimMachine& machine);
  ~SimMachineScope();
  SimMachineScope(const SimMachineScope&) = delete;
  SimMachineScope& operator=(const SimMachineScope&) = delete;

 private:
  SimMachine* previous_;
};

}  // namespace sim
