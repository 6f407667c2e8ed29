// The platform's library operations on the current simulated machine.
#include "platform/library.h"

#include <string>

#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

constexpr auto kLibraries = &sim::SimMachine::libraries;

}  // namespace

Library LoadLibraryAt(const char* path, uint32_t importFolders) {
  sim::SimMachine& machine = sim::CurrentMachine();
  return path ? machine.libraries.Load(machine.files, path, importFolders) : nullptr;
}

bool CallEntryPoint(Library library, const char* name, int32_t* result) {
  int32_t got = 0;
  const bool ok = sim::Checked(kLibraries, [&](sim::SimLibraries& libraries, std::string* error) {
    return libraries.Call(library, name ? name : "", &got, error);
  });
  if (ok && result != nullptr) *result = got;
  return ok;
}

void FreeLibraryHandle(Library library) {
  if (library == nullptr) return;
  sim::Checked(kLibraries, [&](sim::SimLibraries& libraries, std::string* error) {
    return libraries.Free(library, error);
  });
}

}  // namespace platform
