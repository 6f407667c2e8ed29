// The processes of one simulated session, run one after the other: a program and every
// process it starts, as Windows runs the uninstaller's copy once the first process has
// ended.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "twk/simulate/simulate_run.h"

namespace sim {
struct SimMachine;
}

struct ProcessStep {
  std::string modulePath;  // the program file, a Windows path on the machine
  std::string tail;        // the command-line tail it was given
  ProgramRun run;
};

// Runs the program at `modulePath` with `commandTail` on `machine` (the current machine),
// then each command line it or a later process started, in the order started, with the
// current folder each was started with. Every started process is announced on `out`
// before it runs. A started program that is not one of ours is announced and passed
// over. Ends with a machine error after 16 processes, as a program that keeps starting
// itself would never end. Returns the processes that ran, in order.
std::vector<ProcessStep> RunProcesses(sim::SimMachine& machine, const std::string& modulePath,
                                      const std::string& commandTail, std::ostream& out);

// Runs a command line as Windows starts it (the program found as CreateProcess finds it,
// the tail as the program's start-up code cuts it), in `workingFolder`, and whatever it
// starts. A line naming no file is announced and passed over.
std::vector<ProcessStep> RunCommandLine(sim::SimMachine& machine, const std::string& commandLine,
                                        const std::string& workingFolder, std::ostream& out);
