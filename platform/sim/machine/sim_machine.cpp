// The current simulated machine, and the folders every machine has.
#include "platform/sim/machine/sim_machine.h"

#include <stdexcept>

namespace sim {
namespace {

SimMachine* g_current = nullptr;

constexpr char kCurrentVersionKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

}  // namespace

SimMachine::SimMachine(std::filesystem::path root) : files(std::move(root)) {
  registry.PutText(kCurrentVersionKey, "ProgramFilesDir", "C:\\Program Files");
  MakeSystemFolders();
}

void SimMachine::MakeSystemFolders() {
  files.PutFolder(system.windowsFolder);
  files.PutFolder(system.SystemFolder());
  files.PutFolder(system.tempFolder);
  for (const auto& folder : system.shellFolders) {
    if (!folder.second.empty()) files.PutFolder(folder.second);
  }
  const std::string programFiles = registry.Text(kCurrentVersionKey, "ProgramFilesDir");
  if (!programFiles.empty()) files.PutFolder(programFiles);
}

void SimMachine::SetFamily(Family family) {
  system.ntFamily = family == Family::kNt;
  MakeSystemFolders();
}

SimMachine& CurrentMachine() {
  if (g_current == nullptr) {
    throw std::logic_error("a platform operation ran with no simulated machine installed");
  }
  return *g_current;
}

SimMachineScope::SimMachineScope(SimMachine& machine) : previous_(g_current) {
  g_current = &machine;
}

SimMachineScope::~SimMachineScope() { g_current = previous_; }

}  // namespace sim
