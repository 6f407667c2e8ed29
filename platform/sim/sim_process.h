// The simulated program's own process: its module path, and its end.
#pragma once

#include <stdint.h>

#include <string>

namespace sim {

// Thrown by platform::ExitProcessNow so that a test (or a simulated run) sees the exit
// code where a real process would simply end.
struct SimulatedExit {
  uint32_t code;
};

struct SimProcess {
  std::string modulePath = "C:\\SETUP.EXE";  // what GetModulePath reports
};

}  // namespace sim
