// The registry: keys under the three roots the installer uses, and their values.
#pragma once

#include <stdint.h>

namespace platform {

// The predefined roots, by the numbers the uninstall log's key list keeps.
constexpr uint32_t kRootClasses = 0x80000000u;
constexpr uint32_t kRootCurrentUser = 0x80000001u;
constexpr uint32_t kRootLocalMachine = 0x80000002u;

// Value types.
constexpr uint32_t kRegText = 1;    // REG_SZ
constexpr uint32_t kRegBinary = 3;  // REG_BINARY
constexpr uint32_t kRegNumber = 4;  // REG_DWORD

using Key = void*;  // an open key; nullptr = none

// Opens an existing key for reading (KEY_READ) or with all access; nullptr when it is
// missing or cannot be opened.
Key OpenKey(uint32_t root, const char* subkey, bool allAccess);
// Creates (or opens) a key: empty class, non-volatile, all access. Missing keys above
// it are created too, as RegCreateKeyEx does. nullptr on failure.
Key CreateKey(uint32_t root, const char* subkey);
void CloseKey(Key key);

// Reads a value; `name` "" is the key's default value. On entry *size is the room in
// `data`; on true it is the value's size and *type its type.
bool QueryValue(Key key, const char* name, uint32_t* type, void* data, uint32_t* size);
// Writes a value of `size` bytes; for kRegText the size counts the terminating zero.
bool SetValue(Key key, const char* name, uint32_t type, const void* data, uint32_t size);
bool DeleteValue(Key key, const char* name);

// RegQueryInfoKey: the numbers of subkeys and values.
bool QueryKeyCounts(Key key, uint32_t* subkeys, uint32_t* values);
// Deletes a key that has no subkeys.
bool DeleteKey(uint32_t root, const char* subkey);

}  // namespace platform
