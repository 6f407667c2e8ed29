// The simulated program's own process: its module path, its end, the handles it handed
// to processes it started or waited for, the private folders it made, and the processes
// it started.
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
  // It inherits the handles made inheritable.
  bool inheritsHandles = false;
};

struct SimProcess {
  std::string modulePath = "C:\\SETUP.EXE";  // what GetModulePath reports

  // Handles inherited from the process that started this one (whoever drives the machine
  // hands them over): the only ones it may wait for.
  std::vector<uint32_t> inheritedHandles;

  // Records of the running process.
  std::vector<uint32_t> handedHandles;  // made inheritable, in order
  std::vector<uint32_t> waitedHandles;  // waited for, in order
  std::vector<std::string> privateFolders;
  std::vector<StartedProcess> started;

  // Faults a test plants.
  bool failStartProcess = false;
  bool failInheritableHandle = false;
  // Another program puts these bytes in place of the next file the process opens locked,
  // just before it does (as one that watched for the file would).
  std::vector<uint8_t> replaceBeforeLock;

  // The process ended: the handles it made or inherited are gone. The other records stay
  // for whoever drives the machine to read.
  void End() {
    handedHandles.clear();
    inheritedHandles.clear();
  }
};

}  // namespace sim
