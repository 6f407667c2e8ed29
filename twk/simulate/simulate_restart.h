// What the simulated Windows does when it starts again after the installer's work:
// the recorded next-boot operations, then the run-once entries.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "twk/simulate/simulate_processes.h"

namespace sim {
struct SimMachine;
}

// HKEY_LOCAL_MACHINE's run-once key, whose entries Windows runs once at its next start.
constexpr char kRunOnceKeyPath[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Carries out the next-boot moves and deletions (SimMachine::Restart) and prints a line
// for each that could not be done. Returns those lines.
std::vector<std::string> RestartWindows(sim::SimMachine& machine, std::ostream& out);

// Runs the run-once entries as Windows does at its start: each value is deleted before
// its command line runs (so a failing program is not run again at every start), in the
// order of the key's values, with the system folder as current folder. Returns the
// processes that ran.
std::vector<ProcessStep> RunRunOnceEntries(sim::SimMachine& machine, std::ostream& out);
