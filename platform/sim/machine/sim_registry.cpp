// The registry of the simulated Windows: keys, values and open keys.
#include "platform/sim/machine/sim_registry.h"

#include <string.h>

#include <stdexcept>

namespace sim {
namespace {

struct RootNames {
  uint32_t root;
  const char* name;
  const char* shortName;
};

constexpr RootNames kRoots[] = {
    {platform::kRootClasses, "HKEY_CLASSES_ROOT", "HKCR"},
    {platform::kRootCurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {platform::kRootLocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
};

std::string Upper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::vector<std::string> SplitNames(const std::string& subkey) {
  std::vector<std::string> names;
  std::string current;
  for (char c : subkey + "\\") {
    if (c != '\\') {
      current += c;
    } else if (!current.empty()) {
      names.push_back(current);
      current.clear();
    }
  }
  return names;
}

}  // namespace

SimRegistry::SimRegistry() {
  for (const RootNames& root : kRoots) {
    roots_[root.root] = std::make_unique<SimRegistryKey>();
    roots_[root.root]->name = root.name;
  }
}

const char* SimRegistry::RootName(uint32_t root) {
  for (const RootNames& known : kRoots) {
    if (known.root == root) return known.name;
  }
  return nullptr;
}

bool SimRegistry::RootOfName(const std::string& name, uint32_t* root) {
  for (const RootNames& known : kRoots) {
    if (Upper(name) == known.name || Upper(name) == known.shortName) {
      *root = known.root;
      return true;
    }
  }
  return false;
}

SimRegistry::Path SimRegistry::Split(const std::string& path) {
  std::vector<std::string> names = SplitNames(path);
  Path split;
  if (names.empty() || !RootOfName(names[0], &split.root)) {
    throw std::invalid_argument("not a registry path: " + path);
  }
  split.names.assign(names.begin() + 1, names.end());
  return split;
}

SimRegistry::Path SimRegistry::Under(uint32_t root, const std::string& subkey) {
  Path path;
  path.root = root;
  path.names = SplitNames(subkey);
  return path;
}

SimRegistryKey* SimRegistry::Find(const Path& path) const {
  auto root = roots_.find(path.root);
  if (root == roots_.end()) return nullptr;
  SimRegistryKey* key = root->second.get();
  for (const std::string& name : path.names) {
    auto sub = key->subkeys.find(Upper(name));
    if (sub == key->subkeys.end()) return nullptr;
    key = sub->second.get();
  }
  return key;
}

SimRegistryKey* SimRegistry::Make(const Path& path) {
  auto root = roots_.find(path.root);
  if (root == roots_.end()) return nullptr;
  SimRegistryKey* key = root->second.get();
  for (const std::string& name : path.names) {
    std::unique_ptr<SimRegistryKey>& sub = key->subkeys[Upper(name)];
    if (!sub) {
      sub = std::make_unique<SimRegistryKey>();
      sub->name = name;
    }
    key = sub.get();
  }
  return key;
}

bool SimRegistry::Denied(const Path& path) const {
  for (const Path& denied : denied_) {
    if (denied.root != path.root || denied.names.size() > path.names.size()) continue;
    bool below = true;
    for (size_t i = 0; i < denied.names.size() && below; ++i) {
      below = Upper(denied.names[i]) == Upper(path.names[i]);
    }
    if (below) return true;
  }
  return false;
}

// ---- Test set-up and inspection ----

void SimRegistry::PutText(const std::string& path, const std::string& name,
                          const std::string& text) {
  SimRegistryKey* key = Make(Split(path));
  std::vector<uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  key->values[Upper(name)] = SimRegistryValue{name, platform::kRegText, data};
}

void SimRegistry::PutNumber(const std::string& path, const std::string& name, uint32_t number) {
  SimRegistryKey* key = Make(Split(path));
  std::vector<uint8_t> data(4);
  for (int i = 0; i < 4; ++i) data[i] = static_cast<uint8_t>(number >> (8 * i));
  key->values[Upper(name)] = SimRegistryValue{name, platform::kRegNumber, data};
}

bool SimRegistry::HasKey(const std::string& path) const { return Find(Split(path)) != nullptr; }

const SimRegistryValue* SimRegistry::Value(const std::string& path,
                                           const std::string& name) const {
  SimRegistryKey* key = Find(Split(path));
  if (key == nullptr) return nullptr;
  auto value = key->values.find(Upper(name));
  return value == key->values.end() ? nullptr : &value->second;
}

std::vector<SimRegistryValue> SimRegistry::ValuesOf(const std::string& path) const {
  std::vector<SimRegistryValue> values;
  SimRegistryKey* key = Find(Split(path));
  if (key == nullptr) return values;
  for (const auto& entry : key->values) values.push_back(entry.second);
  return values;
}

bool SimRegistry::RemoveValue(const std::string& path, const std::string& name) {
  SimRegistryKey* key = Find(Split(path));
  return key != nullptr && key->values.erase(Upper(name)) != 0;
}

std::string SimRegistry::Text(const std::string& path, const std::string& name) const {
  const SimRegistryValue* value = Value(path, name);
  if (value == nullptr) return "";
  std::string text(value->data.begin(), value->data.end());
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

// ---- Platform operations ----

platform::Key SimRegistry::NewHandle(const Path& path, bool allAccess) {
  const uintptr_t handle = nextHandle_++;
  handles_[handle] = Handle{path, allAccess};
  return reinterpret_cast<platform::Key>(handle);
}

SimRegistry::Handle* SimRegistry::FindHandle(platform::Key key, const char* operation,
                                             std::string* error) {
  auto it = handles_.find(reinterpret_cast<uintptr_t>(key));
  if (it != handles_.end()) return &it->second;
  *error = std::string(operation) + " on a registry key that is not open";
  return nullptr;
}

platform::Key SimRegistry::Open(uint32_t root, const std::string& subkey, bool allAccess) {
  const Path path = Under(root, subkey);
  if (Find(path) == nullptr || (allAccess && Denied(path))) return nullptr;
  return NewHandle(path, allAccess);
}

platform::Key SimRegistry::Create(uint32_t root, const std::string& subkey) {
  const Path path = Under(root, subkey);
  // Like RegCreateKeyEx, missing keys above the last one are made too.
  if (Denied(path) || Make(path) == nullptr) return nullptr;
  return NewHandle(path, true);
}

bool SimRegistry::Close(platform::Key key, std::string* error) {
  if (handles_.erase(reinterpret_cast<uintptr_t>(key)) == 0) {
    *error = "CloseKey on a registry key that is not open";
    return false;
  }
  return true;
}

bool SimRegistry::Query(platform::Key key, const std::string& name, uint32_t* type, void* data,
                        uint32_t* size, std::string* error) {
  Handle* handle = FindHandle(key, "QueryValue", error);
  SimRegistryKey* found = handle ? Find(handle->path) : nullptr;
  if (found == nullptr) return false;
  auto value = found->values.find(Upper(name));
  if (value == found->values.end()) return false;
  const std::vector<uint8_t>& bytes = value->second.data;
  if (type != nullptr) *type = value->second.type;
  if (size == nullptr) return data == nullptr;
  const uint32_t room = *size;
  *size = static_cast<uint32_t>(bytes.size());
  if (data == nullptr) return true;
  if (room < bytes.size()) return false;  // ERROR_MORE_DATA: *size tells what is needed
  if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
  return true;
}

bool SimRegistry::Set(platform::Key key, const std::string& name, uint32_t type,
                      const void* data, uint32_t size, std::string* error) {
  Handle* handle = FindHandle(key, "SetValue", error);
  SimRegistryKey* found = handle ? Find(handle->path) : nullptr;
  if (found == nullptr || !handle->allAccess || Denied(handle->path)) return false;
  if (data == nullptr && size != 0) {
    *error = "SetValue of " + std::to_string(size) + " bytes from no data";
    return false;
  }
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  found->values[Upper(name)] =
      SimRegistryValue{name, type, std::vector<uint8_t>(bytes, bytes + size)};
  return true;
}

bool SimRegistry::DeleteValue(platform::Key key, const std::string& name, std::string* error) {
  Handle* handle = FindHandle(key, "DeleteValue", error);
  SimRegistryKey* found = handle ? Find(handle->path) : nullptr;
  if (found == nullptr || !handle->allAccess || Denied(handle->path)) return false;
  return found->values.erase(Upper(name)) != 0;
}

bool SimRegistry::Counts(platform::Key key, uint32_t* subkeys, uint32_t* values,
                         std::string* error) {
  Handle* handle = FindHandle(key, "QueryKeyCounts", error);
  SimRegistryKey* found = handle ? Find(handle->path) : nullptr;
  if (found == nullptr) return false;
  if (subkeys != nullptr) *subkeys = static_cast<uint32_t>(found->subkeys.size());
  if (values != nullptr) *values = static_cast<uint32_t>(found->values.size());
  return true;
}

bool SimRegistry::DeleteKey(uint32_t root, const std::string& subkey) {
  Path path = Under(root, subkey);
  SimRegistryKey* key = Find(path);
  if (path.names.empty() || key == nullptr || !key->subkeys.empty() || Denied(path)) {
    return false;
  }
  const std::string last = Upper(path.names.back());
  path.names.pop_back();
  Find(path)->subkeys.erase(last);
  return true;
}

}  // namespace sim
