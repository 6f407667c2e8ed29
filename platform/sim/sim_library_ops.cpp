// The platform's library operations on the current simulated machine.
#include "platform/library.h"

#include <string>

#include "platform/sim/sim_machine.h"

namespace platform {

Library LoadLibraryAt(const char* path) {
  sim::SimMachine& machine = sim::CurrentMachine();
  return path ? machine.libraries.Load(machine.files, path) : nullptr;
}

bool CallEntryPoint(Library library, const char* name, int32_t* result) {
  sim::SimMachine& machine = sim::CurrentMachine();
  std::string error;
  int32_t got = 0;
  const bool ok = machine.libraries.Call(library, name ? name : "", &got, &error);
  if (!error.empty()) machine.ReportError(error);
  if (ok && result != nullptr) *result = got;
  return ok;
}

void FreeLibraryHandle(Library library) {
  if (library == nullptr) return;
  sim::SimMachine& machine = sim::CurrentMachine();
  std::string error;
  machine.libraries.Free(library, &error);
  if (!error.empty()) machine.ReportError(error);
}

}  // namespace platform
