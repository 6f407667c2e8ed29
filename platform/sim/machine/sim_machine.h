// The simulated Windows on which the stub's logic runs in native tests: one machine at
// a time, installed by the test, made of parts that each model one area of the system.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/sim/machine/sim_file_system.h"
#include "platform/sim/machine/sim_libraries.h"
#include "platform/sim/machine/sim_process.h"
#include "platform/sim/machine/sim_registry.h"
#include "platform/sim/machine/sim_system.h"
#include "platform/sim/machine/sim_ui.h"
#include "platform/sim/machine/sim_user.h"

namespace sim {

enum class Family { kNt, k9x };

struct SimMachine {
  // A machine whose drives live in `root`, with the Windows, system, temporary and
  // shell folders made, and "ProgramFilesDir" set to C:\Program Files (made too).
  explicit SimMachine(std::filesystem::path root);

  SimFileSystem files;
  SimUser user;
  SimProcess process;
  SimRegistry registry;
  SimSystem system;
  SimLibraries libraries;
  SimUi ui;  // the background window, the wizard, the progress and overwrite dialogs

  // Faults of the program seen by the machine (a prompt the script did not expect, a
  // handle used after closing...). Tests assert that there are none.
  std::vector<std::string> errors;

  void ReportError(const std::string& error) { errors.push_back(error); }

  // Switches the family (NT or 9x) and makes the family's system folder.
  void SetFamily(Family family);
  // Makes the folders that a Windows machine always has.
  void MakeSystemFolders();

  // Starts Windows again: files in use are released; the NT family's next-boot moves
  // and then the WININIT.INI [rename] entries (deletion for "NUL"; the file is then
  // renamed WININIT.BAK) are carried out, in the order they were recorded. Returns one
  // line per step that could not be done (a missing file...). `onRestart` runs last:
  // the place for the run-once entries.
  std::vector<std::string> Restart();
  std::function<void(SimMachine&)> onRestart;

  // The machine's state beside its drives in the root: registry.txt (the registry's
  // text form) and machine.txt (family, folders, next-boot moves, shell opens, restart
  // requests, files in use and short names set by a test). Files, times and the
  // read-only attribute are on the drives already. LoadState keeps the defaults for
  // whatever the root does not hold; it throws std::runtime_error for a damaged file.
  // SaveState writes each file with `write` (twk's writer, which follows no link planted
  // at the name), or in place without one; a failed write throws std::runtime_error.
  using FileWriter = std::function<void(const std::filesystem::path&, const std::string&)>;
  void SaveState(const FileWriter& write = nullptr) const;
  void LoadState();
};

// The machine that the platform operations act on. Fails loudly when none is installed.
SimMachine& CurrentMachine();

// Runs `operation` on one part of the current machine (`part` names it:
// &SimMachine::files, &SimMachine::registry) and records the fault of the program that
// it reports, if any, so that a misused handle fails the test instead of passing unseen.
template <typename Part, typename Operation>
bool Checked(Part SimMachine::*part, Operation operation) {
  SimMachine& machine = CurrentMachine();
  std::string error;
  const bool ok = operation(machine.*part, &error);
  if (!error.empty()) machine.ReportError(error);
  return ok;
}

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
