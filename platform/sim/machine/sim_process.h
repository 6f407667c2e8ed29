// The simulated program's own process: its module path, its end, the named mutexes it
// owns or waited for, and the processes it started.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace sim {

// Thrown by platform::ExitProcessNow so that a test (or a simulated run) sees the exit
// code where a real process would simply end.
struct SimulatedExit {
  uint32_t code;
};

// One CreateProcess: the command line as given and the current folder of the new process.
// The simulation does not run it; whoever drives the machine (twk simulate, a test) does.
struct StartedProcess {
  std::string commandLine;
  std::string workingFolder;
  // The starting process waits for it to end and takes its exit code (on this machine,
  // where one process runs at a time, the wait returns at once with 0).
  bool waited = false;
};

struct SimProcess {
  std::string modulePath = "C:\\SETUP.EXE";  // what GetModulePath reports

  // Records of the running process.
  std::vector<std::string> ownedMutexes;   // created owned; released when it ends
  std::vector<std::string> waitedMutexes;  // waited for, in order
  std::vector<StartedProcess> started;

  // Faults a test plants.
  bool failStartProcess = false;
  bool failCreateMutex = false;

  // The process ended: the mutexes it owned are released. The other records stay for
  // whoever drives the machine to read.
  void End() { ownedMutexes.clear(); }
};

}  // namespace sim
