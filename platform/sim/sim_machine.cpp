// The current simulated machine.
#include "platform/sim/sim_machine.h"

#include <stdexcept>

namespace sim {
namespace {

SimMachine* g_current = nullptr;

}  // namespace

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
