// The platform's private folder and locked file on the current simulated machine.
#include "platform/private_files.h"

#include "platform/sim/machine/sim_machine.h"

namespace platform {

bool CreatePrivateFolder(const char* path) {
  sim::SimMachine& machine = sim::CurrentMachine();
  if (path == nullptr || !machine.files.MakeFolder(path)) return false;
  machine.process.privateFolders.push_back(path);
  return true;
}

File OpenLockedForReading(const char* path) {
  sim::SimMachine& machine = sim::CurrentMachine();
  if (path == nullptr) return nullptr;
  std::vector<uint8_t>& planted = machine.process.replaceBeforeLock;
  if (!planted.empty()) {
    machine.files.PutFile(path, planted);
    planted.clear();
  }
  return machine.files.Open(path);
}

}  // namespace platform
