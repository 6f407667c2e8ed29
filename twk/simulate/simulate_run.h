// One run of the stub's logic on a simulated Windows: the installation file placed on a
// drive of the machine, the package offset taken from it, the program entry called.
#pragma once

#include <stdint.h>

#include <filesystem>
#include <string>

namespace sim {
struct SimMachine;
}

enum class MachineFamily { kAsBefore, kNt, k9x };

// Loads the machine's state kept in its root (the registry's text form and its settings;
// the defaults of a new machine where the root holds none) and switches its family when
// `family` says so. Throws CommandError when the state files are damaged.
void LoadMachine(sim::SimMachine& machine, MachineFamily family);
// Saves the state for the next run. Throws CommandError when it cannot be written.
void SaveMachine(const sim::SimMachine& machine);

// The Windows path under which the program at `program` runs on the machine whose drive
// folders lie in `root`. A program inside a drive folder of the root (ROOT/C/..., as an
// installed UNINST.EXE) runs in place; any other is copied, with the volumes beside it,
// to D:\ as from a CD, replacing what was there. Throws CommandError when the program
// cannot be read or copied.
std::string PlaceProgram(const std::filesystem::path& program, const std::filesystem::path& root);

// Makes this process's package offset word the one that the program at `hostPath`
// carries after its marker, as if this process were that program. Throws CommandError
// (an input error) when the file is no installer or maintenance program.
void UsePackageOffsetOf(const std::string& hostPath);

// How the simulated process ended.
struct ProgramRun {
  int exitCode = 0;
  bool exitedEarly = false;  // the program ended the process itself (ExitProcessNow)
  uint32_t logRecordsPassedOver = 0;  // the uninstaller's, from the setup state
};

// Runs the program entry on `machine`, which must be the current machine, as the program
// at `modulePath` (a Windows path on the machine) with `commandTail`. The setup state is
// reset before and after, so that every run starts as a fresh process; the package
// offset word is taken from the program file.
ProgramRun RunSimulatedProgram(sim::SimMachine& machine, const std::string& modulePath,
                               const std::string& commandTail);
