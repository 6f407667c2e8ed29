// The registry of the simulated Windows, in memory: keys under the three roots, their
// values, the keys the program holds open, and a text form that a run saves and loads.
//
// Key and value names are compared without regard to case and keep the spelling they
// were created with. The text form is stable (keys and values sorted without regard to
// case, every key listed, even without values) so that two dumps of the same registry
// are the same bytes:
//
//   ; comment lines and blank lines are ignored
//   [HKEY_LOCAL_MACHINE\Software\Maker\Product]
//   @=sz:"the default value"
//   "Count"=dword:00000002
//   "Data"=hex:0a,00,ff
//   "Path"=sz:"C:\\Program Files\\Product"
//   "Odd"=hex(1):41,42        (any type or bytes the forms above cannot carry)
//
// In quoted text a backslash, '"' and bytes below 0x20 or from 0x7F up are escaped (\\,
// \", \xHH); in key names, which hold no backslash, such bytes and '%' are written %HH.
// "sz:" is used for a text value whose bytes end with its only zero byte. A root is
// listed only when it holds values itself.
#pragma once

#include <stdint.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace sim {

struct SimRegistryValue {
  std::string name;  // as created; "" is the default value
  uint32_t type;
  std::vector<uint8_t> data;
};

struct SimRegistryKey {
  std::string name;  // as created
  std::map<std::string, std::unique_ptr<SimRegistryKey>> subkeys;  // by upper-cased name
  std::map<std::string, SimRegistryValue> values;                  // by upper-cased name
};

class SimRegistry {
 public:
  SimRegistry();

  // Test set-up and inspection. `path` is "HKEY_LOCAL_MACHINE\Software\X" (the short
  // root names HKLM, HKCU and HKCR work too).
  void PutText(const std::string& path, const std::string& name, const std::string& text);
  void PutNumber(const std::string& path, const std::string& name, uint32_t number);
  bool HasKey(const std::string& path) const;
  // The value, or nullptr.
  const SimRegistryValue* Value(const std::string& path, const std::string& name) const;
  // A text value without its terminating zero; "" when missing.
  std::string Text(const std::string& path, const std::string& name) const;
  // The values of a key in the order of the text form; empty when the key is missing.
  std::vector<SimRegistryValue> ValuesOf(const std::string& path) const;
  // Deletes a value, as Windows itself does (a run-once entry before its command runs).
  // False when it is missing.
  bool RemoveValue(const std::string& path, const std::string& name);
  // Opening the key or any key below it with all access, creating keys in it, and
  // writing or deleting in it fail, as for a user without the rights.
  void DenyWrites(const std::string& path) { denied_.push_back(Split(path)); }
  size_t OpenKeyCount() const { return handles_.size(); }

  // The text form, and reading it back (the registry is replaced). Load throws
  // std::runtime_error naming the line of anything it cannot read.
  std::string Dump() const;
  void Load(const std::string& text);

  // The platform operations. A handle that is not open is a fault of the program,
  // reported through `error`.
  platform::Key Open(uint32_t root, const std::string& subkey, bool allAccess);
  platform::Key Create(uint32_t root, const std::string& subkey);
  bool Close(platform::Key key, std::string* error);
  bool Query(platform::Key key, const std::string& name, uint32_t* type, void* data,
             uint32_t* size, std::string* error);
  bool Set(platform::Key key, const std::string& name, uint32_t type, const void* data,
           uint32_t size, std::string* error);
  bool DeleteValue(platform::Key key, const std::string& name, std::string* error);
  bool Counts(platform::Key key, uint32_t* subkeys, uint32_t* values, std::string* error);
  bool DeleteKey(uint32_t root, const std::string& subkey);

  // Root numbers and their names.
  static const char* RootName(uint32_t root);  // nullptr for an unknown root
  static bool RootOfName(const std::string& name, uint32_t* root);

 private:
  // A key's place: the root's number, then its names from the root down.
  struct Path {
    uint32_t root = 0;
    std::vector<std::string> names;
  };
  struct Handle {
    Path path;
    bool allAccess;
  };

  static Path Split(const std::string& path);
  static Path Under(uint32_t root, const std::string& subkey);
  SimRegistryKey* Find(const Path& path) const;
  SimRegistryKey* Make(const Path& path);
  bool Denied(const Path& path) const;
  Handle* FindHandle(platform::Key key, const char* operation, std::string* error);
  platform::Key NewHandle(const Path& path, bool allAccess);

  std::map<uint32_t, std::unique_ptr<SimRegistryKey>> roots_;
  std::map<uintptr_t, Handle> handles_;
  uintptr_t nextHandle_ = 0x1000;
  std::vector<Path> denied_;
};

}  // namespace sim
