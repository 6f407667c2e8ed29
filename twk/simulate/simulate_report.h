// What `twk simulate` tells about a run: every prompt as it is shown, and afterwards
// what the run changed on the machine.
#pragma once

#include <stdint.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/machine/sim_user.h"

namespace sim {
struct SimMachine;
}

// A message box as the transcript shows it: caption, owner, icon and buttons, the text
// and the button pressed.
std::string DescribePrompt(const sim::ShownPrompt& prompt, const sim::SimMachine& machine);

struct FileState {
  uint64_t size = 0;
  int64_t modified = 0;  // the host's modification time, in nanoseconds
  uint64_t hash = 0;     // of the bytes
};

// The drives of a machine and its registry at one moment.
struct MachineSnapshot {
  std::map<std::string, FileState> files;  // by Windows path, as spelt on disk
  std::vector<std::string> folders;        // Windows paths
  std::string registry;                    // the registry's text form
};

MachineSnapshot TakeSnapshot(const sim::SimMachine& machine);

// What changed between two snapshots.
struct MachineChanges {
  std::vector<std::string> filesWritten;  // new, or with other bytes or time
  std::vector<std::string> filesRemoved;
  std::vector<std::string> foldersMade;
  std::vector<std::string> foldersRemoved;
  std::vector<std::string> keysAdded;     // registry keys, by full name
  std::vector<std::string> keysChanged;   // a value added, changed or removed
  std::vector<std::string> keysRemoved;
};

MachineChanges CompareSnapshots(const MachineSnapshot& before, const MachineSnapshot& after);

// How far the machine's records (next-boot moves, shell opens, restart requests) went
// before a run, so that the summary shows only the run's own.
struct RunMarks {
  size_t bootMoves = 0;
  size_t shellOpens = 0;
  int restartRequests = 0;
};

RunMarks MarkMachine(const sim::SimMachine& machine);

// The summary printed after a run: the exit code, the changes, what waits for the next
// start, what was opened, and every fault of the program the machine saw.
void PrintRunSummary(std::ostream& out, int exitCode, const MachineChanges& changes,
                     const sim::SimMachine& machine, const RunMarks& marks);
