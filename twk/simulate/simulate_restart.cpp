// Starting the simulated Windows again.
#include "twk/simulate/simulate_restart.h"

#include "platform/registry.h"
#include "platform/sim/machine/sim_machine.h"

namespace {

constexpr uint32_t kRegExpandText = 2;  // REG_EXPAND_SZ, which Windows runs as well

}  // namespace

std::vector<std::string> RestartWindows(sim::SimMachine& machine, std::ostream& out) {
  const std::vector<std::string> problems = machine.Restart();
  for (const std::string& problem : problems) out << "at the start: " << problem << "\n";
  return problems;
}

std::vector<ProcessStep> RunRunOnceEntries(sim::SimMachine& machine, std::ostream& out) {
  std::vector<ProcessStep> steps;
  for (const sim::SimRegistryValue& value : machine.registry.ValuesOf(kRunOnceKeyPath)) {
    const std::string commandLine = machine.registry.Text(kRunOnceKeyPath, value.name);
    machine.registry.RemoveValue(kRunOnceKeyPath, value.name);
    out << "\n== run once \"" << value.name << "\"";
    if (value.type != platform::kRegText && value.type != kRegExpandText) {
      out << ": not a text value, not run\n";
      continue;
    }
    out << "\n";
    for (ProcessStep& step :
         RunCommandLine(machine, commandLine, machine.system.SystemFolder(), out)) {
      steps.push_back(std::move(step));
    }
  }
  return steps;
}
