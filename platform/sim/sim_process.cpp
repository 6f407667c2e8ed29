// The platform's process operations on the current simulated machine.
#include "platform/process.h"

#include <string.h>

#include <string>

#include "platform/sim/sim_machine.h"

namespace platform {

bool GetModulePath(char* buffer, uint32_t size) {
  if (size == 0) return false;
  const std::string& path = sim::CurrentMachine().process.modulePath;
  if (path.empty() || path.size() >= size) {
    buffer[0] = '\0';
    return false;
  }
  memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

void ExitProcessNow(uint32_t code) { throw sim::SimulatedExit{code}; }

}  // namespace platform
