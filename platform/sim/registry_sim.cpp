// The platform's registry operations on the current simulated machine.
#include "platform/registry.h"

#include <string>

#include "platform/sim/machine/sim_machine.h"

namespace platform {
namespace {

constexpr auto kRegistry = &sim::SimMachine::registry;

}  // namespace

Key OpenKey(uint32_t root, const char* subkey, bool allAccess) {
  return sim::CurrentMachine().registry.Open(root, subkey ? subkey : "", allAccess);
}

Key CreateKey(uint32_t root, const char* subkey) {
  return sim::CurrentMachine().registry.Create(root, subkey ? subkey : "");
}

void CloseKey(Key key) {
  if (key == nullptr) return;
  sim::Checked(kRegistry, [&](sim::SimRegistry& registry, std::string* error) {
    return registry.Close(key, error);
  });
}

bool QueryValue(Key key, const char* name, uint32_t* type, void* data, uint32_t* size) {
  return sim::Checked(kRegistry, [&](sim::SimRegistry& registry, std::string* error) {
    return registry.Query(key, name ? name : "", type, data, size, error);
  });
}

bool SetValue(Key key, const char* name, uint32_t type, const void* data, uint32_t size) {
  return sim::Checked(kRegistry, [&](sim::SimRegistry& registry, std::string* error) {
    return registry.Set(key, name ? name : "", type, data, size, error);
  });
}

bool DeleteValue(Key key, const char* name) {
  return sim::Checked(kRegistry, [&](sim::SimRegistry& registry, std::string* error) {
    return registry.DeleteValue(key, name ? name : "", error);
  });
}

bool QueryKeyCounts(Key key, uint32_t* subkeys, uint32_t* values) {
  return sim::Checked(kRegistry, [&](sim::SimRegistry& registry, std::string* error) {
    return registry.Counts(key, subkeys, values, error);
  });
}

bool DeleteKey(uint32_t root, const char* subkey) {
  return subkey != nullptr && sim::CurrentMachine().registry.DeleteKey(root, subkey);
}

}  // namespace platform
